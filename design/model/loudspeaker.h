// The loudspeaker side of a design: the 152-byte block that each placed
// loudspeaker object carries as its data, the project's loudspeaker types and
// limits, band power and intensity, the 3D symbol built from a type's shape,
// the aiming angles read back from a symbol and the purge of unused types.
// The balloon-code conversions are in balloon_codes.h.
//
// A loudspeaker object's data block is the stored block itself: code reads it
// with ReadLoudspeaker, changes the decoded copy and writes it back with
// WriteLoudspeaker (or lets BuildSpeakerSymbol do so).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "design/model/balloon_codes.h"
#include "design/model/speaker_type.h"
#include "framework/model/graphic_object.h"

constexpr size_t kLoudspeakerSize = 152;
constexpr int kMaxLoudspeakers = 5000;

// Symbol colours: switched on, switched off.
constexpr uint32_t kSpeakerColourOn = 12;
constexpr uint32_t kSpeakerColourOff = 0;

// A band whose equaliser gain is at or below this is off.
constexpr float kBandOffGain = -50.0f;

// The longest delay a user may give a loudspeaker, ms: its "%3.3f" text
// fits the delay fields, and out to there the stored float holds the
// microsecond they show. A delay is never negative: the sound would arrive
// before it leaves.
constexpr double kMaxTypedDelay = 10000;
bool IsTypedDelay(double ms);

// Stored offsets of the block.
constexpr size_t kSpeakerName = 0;           // char[11]
constexpr size_t kSpeakerGroup = 11;         // char[11]
constexpr size_t kSpeakerOn = 22;            // u16, 1 = on
constexpr size_t kSpeakerPolarity = 24;      // i16, +1 / -1
constexpr size_t kSpeakerNominalPower = 26;  // f32, W
constexpr size_t kSpeakerEqGain = 30;        // f32[7], dB
constexpr size_t kSpeakerPower = 58;         // f32[7], W
constexpr size_t kSpeakerIntensity = 86;     // f32[7]
constexpr size_t kSpeakerDelay = 114;        // f32, ms
constexpr size_t kSpeakerPosition = 118;     // f32[3], m
constexpr size_t kSpeakerHorizontal = 130;   // f32, rad
constexpr size_t kSpeakerVertical = 134;     // f32, rad
constexpr size_t kSpeakerRotation = 138;     // f32, rad
constexpr size_t kSpeakerTypeIndex = 142;    // i16
constexpr size_t kSpeakerObjectSlot = 144;   // u32, written as 0
constexpr size_t kSpeakerReserved = 148;     // u8[4], written as 0

// The decoded block, with the values of a newly created loudspeaker.
struct Loudspeaker {
  std::string name;   // up to 10 characters
  std::string group;  // up to 10 characters
  uint16_t on = 1;
  int16_t polarity = 1;  // applied by the calculations, never folded into `intensity`
  float nominalPower = 1.0f;
  std::array<float, kBandCount> eqGain{};
  std::array<float, kBandCount> power{};      // electrical input power per band, W (derived)
  std::array<float, kBandCount> intensity{};  // on-axis intensity factor per band (derived)
  float delay = 0;                            // ms
  std::array<float, 3> position{};            // acoustic centre, m
  float horizontal = 0;                       // azimuth, rad, counter-clockwise from +x
  float vertical = 0;                         // elevation, rad, positive upwards
  float rotation = 0;                         // about the loudspeaker's own axis, rad
  int16_t typeIndex = 0;                      // into the project's SpeakerTypeTable
  // The loudspeaker's own object; the stored slot +144 never holds it.
  GraphicObject* object = nullptr;

  bool IsOn() const { return on == 1; }
};

// ---- The block codec ----

// False, leaving `speaker` alone, unless the block is exactly 152 bytes.
// The object link is not touched.
bool DecodeLoudspeaker(std::span<const uint8_t> block, Loudspeaker& speaker);
// Writes every field at its offset; +144 and the reserved bytes are 0.
void EncodeLoudspeaker(const Loudspeaker& speaker, std::span<uint8_t, kLoudspeakerSize> block);

// A placed loudspeaker: an object on the loudspeaker layer with a 152-byte block.
bool IsLoudspeakerObject(const GraphicObject* object);
// Decodes the object's block and links the result to the object; false when
// the object is no loudspeaker.
bool ReadLoudspeaker(GraphicObject* object, Loudspeaker& speaker);
// Encodes `speaker` into the object's block; false when the object is no
// loudspeaker.
bool WriteLoudspeaker(const Loudspeaker& speaker, GraphicObject* object);

// ---- The loudspeaker model ----

struct SpeakerModelState {
  SpeakerTypeTable types;
  int32_t speakerLimit = kMaxLoudspeakers;
  // The default loudspeaker symbol, the shape of every type without its own.
  // Loaded once at start-up and never freed by this model.
  GraphicObject* defaultSymbol = nullptr;
  bool setUp = false;
};
extern SpeakerModelState gSpeakerModel;

// Frees every type and empties the table, sets the loudspeaker limit and
// marks the model set up. Loudspeaker objects and the default symbol are
// left alone (a new project empties the object list; ClearProjectModel
// resets the rest of the project).
int ResetSpeakerModel();

// "Maximum amount of speakers is 5000" under "Sorry!".
void ShowSpeakerLimitMessage();
// How many more loudspeakers the limit leaves room for.
uint32_t SpeakerRoom();
// Whether `adding` more loudspeakers stay within the limit.
bool WithinSpeakerLimit(uint32_t adding);

// The loudspeaker's type in the project, null when its index names none.
SpeakerType* SpeakerTypeOf(const Loudspeaker& speaker);

// Frees the loudspeakers of `model` that name no type of `types` (a purge of
// an older version could leave one) and those past the 5000th in list
// order; returns how many. The project reader leaves them out so.
uint32_t DropInvalidSpeakers(ObjectList& model, const SpeakerTypeTable& types);

// Recomputes `power` and `intensity` from the gains and the type. Polarity
// is not part of the intensity.
void UpdateSpeakerBandPower(Loudspeaker& speaker, const SpeakerType& type);

// ---- The symbol ----

// A symbol's items name its vertices by 16-bit indexes, so a shape of more
// vertices than they can name cannot be a symbol.
constexpr uint32_t kMaxSymbolVertices = 65536;
// Every loudspeaker's symbol is a copy of its type's shape: what the symbols
// of one model may take together (bytes of vertices and items).
constexpr uint64_t kSymbolMemoryBudget = uint64_t(256) << 20;

// Before any symbol of `model` is built from `types`: gives the default
// symbol to every type whose shape cannot be a symbol and, while the symbols
// of all loudspeakers would take more than kSymbolMemoryBudget, to the type
// whose symbols take the most. The shapes themselves stay where they are.
void BoundSpeakerShapes(const ObjectList& model, SpeakerTypeTable& types, GraphicObject* defaultSymbol);

// Moves the unturned shape's vertices to `position` and turns them about it:
// first by the rotation (about x), then by the vertical angle (about y), then
// by the horizontal angle (about z), each pass only for |angle| > 1e-6 and
// stored back as floats after each pass.
void PlaceSymbolVertices(std::span<ObjectVertex> vertices, const std::array<float, 3>& position, float horizontal,
                         float vertical, float rotation);

// Builds the loudspeaker's symbol into `object` (a new object when isNew,
// else a rebuild of its symbol) from its type's shape, or the default symbol
// for a type without one, stores the loudspeaker's block in the object and
// links both ways; the object goes to the head of the model list. 1 on
// success. 0 when no shape is at hand or the object is no loudspeaker
// (nothing changes), or when memory runs out ("Insufficient Memory"; the
// object is freed and the link cleared).
int BuildSpeakerSymbol(Loudspeaker& speaker, GraphicObject* object, bool isNew);

// The screen side of a symbol rebuild, set by the drawing code: `erase`
// takes the old symbol off the screen before a rebuild (selection toggled,
// drawn in the background colour), `draw` draws the new one. Without them
// nothing is drawn.
struct SpeakerSymbolHooks {
  void (*erase)(GraphicObject* object) = nullptr;
  void (*draw)(GraphicObject* object) = nullptr;
};
extern SpeakerSymbolHooks gSpeakerSymbolHooks;

struct SpeakerAngles {
  float horizontal = 0, vertical = 0, rotation = 0;
};
// The angles of a symbol at `position` from its two reference points (the
// axis point and the up point, one unit from the position).
SpeakerAngles AnglesFromReferencePoints(const std::array<float, 3>& position, ObjectVertex axisPoint,
                                        ObjectVertex upPoint);
// Sets the three angles of a loudspeaker object's block from its symbol;
// anything else is left alone.
void SpeakerAnglesFromSymbol(GraphicObject* object);

// ---- Types ----

// Frees the types that no loudspeaker of the model uses and their shapes
// (never the default symbol, nor a shape that a kept type shares), closes
// the gaps and renumbers every loudspeaker's type index; every type left
// without a shape gets the default symbol.
void PurgeUnusedSpeakerTypes();
