// The graphic object store: every face, solid, line, text, loudspeaker
// symbol, aim line, ray path and group marker the programs draw is a
// GraphicObject in one doubly linked model list (or in a caller-owned
// ObjectList). Objects own their data block, vertex array and item array.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// Kind values (word 5).
enum ObjectKind : uint32_t {
  kKindLine = 1,
  kKindFace = 8,
  kKindSolid = 16,
  kKindText = 32,
  kKindSettings = 33,
  kKindPrintRegion = 255,
  kKindGroupStart = 0x20000,
  kKindGroupEnd = 0x40000,
};
// Faces and solids: kind & kKindFaceOrSolid.
constexpr uint32_t kKindFaceOrSolid = 24;

// State bits (word 6).
enum ObjectState : uint32_t {
  kStateDuplicate = 1,    // just made by duplication; new audience areas
  kStateChainMember = 2,  // member of a chained group
  kStateChainEnd = 4,     // last object of a chained group
  kStateSelected = 8,
  kStateHidden20 = 0x20,
  kStateHidden40 = 0x40,
  kStateLayerOff = 0x80,  // its layer is switched off
};
// Any of these keeps an object from being drawn or picked.
constexpr uint32_t kStateHiddenMask = 0xE0;

// Path operations of an ObjectItem.
enum ItemOp : uint16_t {
  kOpStart = 0,      // start a polygon or polyline at vertex `index`
  kOpLineTo = 1,     // line to vertex `index`
  kOpClose = 2,      // line to vertex `index`, the last one; the outline closes
  kOpAttribute = 3,  // right after a start: for room faces the material index
};

struct ObjectVertex {
  float x = 0, y = 0, z = 0;
};

struct ObjectItem {
  uint16_t op = 0;
  uint16_t index = 0;
};

// The in-memory object record (native pointers; the stored 32-bit layout is
// written by the packed codec).
struct GraphicObject {
  GraphicObject* previous;
  GraphicObject* next;
  uint8_t* data;
  ObjectVertex* vertices;
  ObjectItem* items;
  uint32_t kind;
  uint32_t state;
  uint32_t colour;  // low 16 bits: palette index of the pen
  uint32_t layer;
  uint32_t vertexCount;
  uint32_t itemCount;
  uint32_t dataSize;
};

// A first/last pair: the model list or a caller's private list.
struct ObjectList {
  GraphicObject* first = nullptr;
  GraphicObject* last = nullptr;
};

// The current object for the projection and geometry routines.
struct ObjectAccessBlock {
  const GraphicObject* object = nullptr;
  ObjectVertex* vertices = nullptr;
  uint32_t vertexCount = 0;
  ObjectItem* items = nullptr;
  uint32_t itemCount = 0;
  // Bytes behind the items of a packed text object (AccessPackedObject only).
  const uint8_t* trailingData = nullptr;
  // Decoded arrays of the packed object the block points at.
  std::vector<ObjectVertex> packedVertices;
  std::vector<ObjectItem> packedItems;
};

struct ObjectStore {
  ObjectList model;
  ObjectAccessBlock access;
};
extern ObjectStore gObjects;

// Frees every object of the model list and clears the access block.
void ResetObjectStore();

// ---- Creation and arrays ----

// A new zero-filled, unlinked object with its blocks; NULL when memory runs
// out (nothing is left allocated and no message is shown).
GraphicObject* CreateObject(uint32_t dataSize, uint32_t vertexCount, uint32_t itemCount);
// The scratch object in which the line and polygon commands collect points.
GraphicObject* CreatePointBufferObject();
// A copy with vertices and items; the data block has the source's size but
// stays zero-filled (callers that need the data copy it themselves).
GraphicObject* CloneObject(const GraphicObject* object);

ObjectVertex* AllocVertexArray(uint32_t count);
ObjectItem* AllocItemArray(uint32_t count);
// Reallocates to newCount entries, zero-filling those past oldCount. A count
// of 0 frees the array and gives NULL. On failure the old array is still
// valid and NULL is returned.
ObjectVertex* ResizeVertexArray(ObjectVertex* array, uint32_t oldCount, uint32_t newCount);
ObjectItem* ResizeItemArray(ObjectItem* array, uint32_t oldCount, uint32_t newCount);

// ---- The model list ----
// NULL objects are ignored; unlinking or freeing an object that is in no
// list leaves the list alone.

void AppendObject(GraphicObject* object);
void InsertObjectBefore(GraphicObject* object, GraphicObject* position);
void UnlinkObject(GraphicObject* object);
void FreeObject(GraphicObject* object);
void FreeAllObjects();
GraphicObject* GetObjectByIndex(int32_t n);
int32_t GetObjectIndex(const GraphicObject* object);

// ---- Private lists ----

void AppendObjectToList(GraphicObject* object, ObjectList& list);
void InsertObjectBeforeInList(GraphicObject* object, GraphicObject* position, ObjectList& list);
void UnlinkObjectFromList(GraphicObject* object, ObjectList& list);
void FreeObjectInList(GraphicObject* object, ObjectList& list);
ObjectList& FreeObjectList(ObjectList& list);
GraphicObject* GetObjectByIndexInList(int32_t n, const ObjectList& list);
int32_t GetObjectIndexInList(const GraphicObject* object, const ObjectList& list);

// A private list that owns its objects: they are freed with it unless they
// were released first. Moving hands the objects over.
class OwnedObjectList {
 public:
  OwnedObjectList() = default;
  ~OwnedObjectList() { FreeObjectList(list_); }
  OwnedObjectList(OwnedObjectList&& other) noexcept : list_(other.Release()) {}
  OwnedObjectList& operator=(OwnedObjectList&& other) noexcept {
    if (this != &other) {
      FreeObjectList(list_);
      list_ = other.Release();
    }
    return *this;
  }
  OwnedObjectList(const OwnedObjectList&) = delete;
  OwnedObjectList& operator=(const OwnedObjectList&) = delete;

  ObjectList& list() { return list_; }
  const ObjectList& list() const { return list_; }
  bool empty() const { return list_.first == nullptr; }
  // Gives up the objects: the caller owns them and this list is empty.
  ObjectList Release() {
    const ObjectList list = list_;
    list_ = ObjectList{};
    return list;
  }

 private:
  ObjectList list_;
};

// ---- Access ----

// Access flags: bit 7 (negative) walks a chained group to its end, bit 64
// fills the access block from the given object.
constexpr int8_t kAccessWalkChain = -128;
constexpr int8_t kAccessFillBlock = 64;
GraphicObject* AccessObject(int8_t flags, GraphicObject* object);
// The same over objects in packed form laid one after another in `packed`
// (an undo snapshot's objects part): the walk moves to the following record.
// Returns the offset of the resulting record, or SIZE_MAX when the record at
// `offset` is not a whole packed object.
size_t AccessPackedObject(int8_t flags, std::span<const uint8_t> packed, size_t offset);

// ---- Sizes and counts ----

// 48 + data size + 12 x vertex count + 4 x item count.
int32_t PackedObjectSize(const GraphicObject* object);
uint32_t LargestSelectedPackedSize();
uint32_t CountObjects();
uint32_t CountObjectsOnLayer(const ObjectList& list, uint32_t layer);
// Of the model list: layer 0 (and how many of them are faces or solids),
// and the audience, loudspeaker and auxiliary layers.
uint32_t CountObjectsOnLayer0(uint32_t* faces);
uint32_t CountObjectsOnLayer1();
uint32_t CountObjectsOnLayer2();
uint32_t CountObjectsOnLayer7();

// ---- Welding ----

// Merges vertices closer than 1 mm (squared distance below 1e-6 m^2), drops
// vertices no item names, zero-length edges, stray attributes, unknown
// operations and polygons that collapse to their start. Returns the object,
// or NULL (leaving the object unchanged) when memory runs out.
GraphicObject* WeldObjectVertices(GraphicObject* object);

// ---- Allocation with the shared out-of-memory message ----

inline constexpr char kOutOfMemoryMessage[] = "Insufficient memory, operation cancelled";
// What the model's larger operations (symbols, overlays, copies) show when
// memory or the copy budget runs out.
inline constexpr char kInsufficientMemoryMessage[] = "Insufficient Memory";
// malloc that shows kOutOfMemoryMessage on failure.
void* CheckedAlloc(size_t size);
