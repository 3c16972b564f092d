// The project file (.KPR) of the design program and the older project
// format it still reads, plus the reading of another project's room and
// auxiliary objects for Import Room Geometry and Insert File.
//
// A project file is, little-endian, in this order: the 102-byte
// ProjectHeader; the 16 stored layers (384 bytes); one packed object record
// per model object (48-byte header, data, vertices, 4-byte items; word 1
// non-zero on every record but the last; objects on the shape layer 3
// without their last two vertices, the unit vectors (1,0,0) and (0,0,1) that
// the reader appends again), ending with the settings object (kind 33, state
// 224, layer 0, the 742 plot-header bytes as data); the speaker-type section
// (i16 count, sealed records whose +196 names the shape's list position or
// -1); the material section (i16 count 0..200, 256-byte records); and, only
// while a calculation result is held, the map-file block.
//
// The older format ("KORVANE V1.27  ") has the same header and layers, 40-byte
// object headers and 2-byte items (op = v & 3, index = v >> 2), the same
// type and material sections, and no result block.
//
// Reading never touches the live model until the whole file was read: the
// reader parses into a ProjectModel and only a complete one replaces the
// model. A file is refused only when its structure cannot be followed (a
// short read, a count out of range); one damaged object costs only itself:
// loudspeakers with a damaged block, without a type or past the 5000th, and
// a damaged settings object are left out (the user is told how many), items
// naming a vertex their object lacks are dropped, and a type whose shape
// cannot be a symbol (or whose symbols would take too much) gets the default
// symbol. The view, menu, panel and title updates that follow a read are the
// shell's.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "design/model/absorber_database.h"
#include "design/model/project.h"
#include "design/model/speaker_type.h"
#include "framework/core/byte_codec.h"
#include "framework/model/graphic_object.h"
#include "framework/model/layers.h"
#include "framework/model/packed_object.h"
#include "framework/model/plot_header.h"

inline constexpr char kProjectMagic[] = "KORVANE V2.80  ";
inline constexpr char kOldProjectMagic[] = "KORVANE V1.27  ";
// The part of the magic every project version shares; the four characters
// behind it are the version.
inline constexpr char kProjectMagicPrefix[] = "KORVANE V";
constexpr int kFirstCurrentProjectVersion = 200;  // version x 100

constexpr size_t kProjectHeaderSize = 102;
constexpr size_t kProjectMagicSize = 16;

// The settings object that ends the object records.
constexpr uint32_t kSettingsObjectState = 224;

inline constexpr char kInvalidFileFormatMessage[] = "Invalid file format !";
inline constexpr char kCantLocateFileMessage[] = "Can\xB4t locate file";
inline constexpr char kCantWriteFileMessage[] = "Can\xB4t write file -write protection?";
// Shown once after a read that left out objects it could not load; %u is
// their number.
inline constexpr char kObjectsLeftOutMessage[] = "Invalid objects not loaded : %u";
// Shows kObjectsLeftOutMessage for `count` objects; nothing for none.
void ShowObjectsLeftOut(uint32_t count);
// Shown once after a read that reset loudspeaker types whose records failed
// their check, followed by the types: their names, or "type <n>" (counted
// from 1) for one whose name cannot be read.
inline constexpr char kSpeakerTypesResetMessage[] = "Damaged loudspeaker types reset : ";

// Object colours that a read sets by layer.
constexpr uint32_t kRoomColour = 0;        // layer 0
constexpr uint32_t kAudienceColour = 21;   // layer 1
constexpr uint32_t kAuxiliaryColour = 14;  // layer 7, for inserted objects

// The 102-byte header. Offsets: 0 magic char[16]; 16 i8 reverberation
// method; 17-19 reserved; 20 i16 view mode; 22 f32 snap step; 26 u16 snap
// on; 28 f32 node-snap width; 32 u16 node snap on; 34 f32[7] measured RT;
// 62 f32 grid size; 66-89 reserved; 90 CalcOptions (six 16-bit words).
// Reserved bytes are written as zeros and never read.
struct ProjectHeader {
  std::string magic;
  int8_t reverbMethod = 0;
  int16_t viewMode = 0;
  float snapStep = 0;
  uint16_t snapOn = 0;
  float nodeSnapWidth = 0;
  uint16_t nodeSnapOn = 0;
  std::array<float, kRt60BandCount> measuredRt{};
  float gridSize = 0;
  CalcOptions calcOptions;
};

bool ReadProjectHeader(ByteReader& reader, ProjectHeader& header);
bool WriteProjectHeader(ByteWriter& writer, const ProjectHeader& header);
// The header a save writes for `state`.
ProjectHeader ProjectHeaderOf(const ProjectState& state);
// Takes the header's settings into `state`, except the two snap switches,
// which keep what they were.
void ApplyProjectHeader(const ProjectHeader& header, ProjectState& state);
// The version x 100 (truncated) of a header starting "KORVANE V", read from
// the four characters behind it (0 when they are no number); -1 for any
// other magic.
int ProjectFileVersion(const ProjectHeader& header);

// A project read from a file that is not yet the live model.
struct ProjectModel {
  ProjectHeader header;
  LayerTable layers;   // the 16 stored records; the others as new
  ObjectList objects;  // owned: freed with the model unless taken
  PlotHeaderBlock plotHeader;
  SpeakerTypeTable types;
  MaterialTable materials;
  // The bytes behind the materials of a current-format file, where a result
  // block may stand.
  std::vector<uint8_t> resultBlock;
  // Objects the file holds but the model cannot: loudspeakers with a damaged
  // block, without a type or past the 5000th, and a damaged settings object.
  uint32_t objectsLeftOut = 0;
  // Types whose records failed their check: they are in `types`, reset.
  std::vector<DamagedSpeakerType> typesReset;

  ProjectModel();
  ~ProjectModel();
  ProjectModel(const ProjectModel&) = delete;
  ProjectModel& operator=(const ProjectModel&) = delete;
};

enum class ProjectReadResult {
  kOk,
  kBadFormat,  // short, inconsistent or out of range
  kNoMemory,   // an allocation failed (a record's failure has shown its message)
};

// Parses the rest of a project whose header, already read and checked, is
// `header`: `reader` stands right behind it. Types link their shapes into
// `model.objects`, or to `defaultSymbol`. On failure `model` holds nothing
// of the file.
ProjectReadResult ReadProjectModel(ByteReader& reader, const ProjectHeader& header, PackedLayout layout,
                                   GraphicObject* defaultSymbol, ProjectModel& model);

// Makes a read project the live model: the model of a new project
// (ClearProjectModel) with the snap switches as they were, the file's layers
// (with layers 3, 4, 6 and 8 hidden), objects, plot-header texts, types,
// materials and header settings, `path` as the project path, every
// loudspeaker's symbol rebuilt from its type, an empty undo ring and a
// cleared modified mark. The result block is the caller's.
void CommitProjectModel(ProjectModel& model, const std::string& path);

// Parses a project of any version (versions below 2.00 as
// ParseOldProjectFile does) from the start of `reader` into `model`. 1 when
// read, after telling the user how many objects were left out and which
// types were reset, if any; 0 after "Invalid file format !" (or a memory
// message).
int ParseProject(ByteReader& reader, ProjectModel& model);
// ParseProject of the file at `path`; 0 after "Can´t locate file" too.
int ParseProjectFile(const std::string& path, ProjectModel& model);
// Parses a "KORVANE V1.27  " project; an unopenable file ends silently.
int ParseOldProjectFile(const std::string& path, ProjectModel& model);

// Saves the project: the path gets ".KPR" unless it ends so in any case;
// the file (WriteProjectFile, then `writeTrailer` when given) is written in
// full beside the target, the old file is copied to "<name>_old.KPR" beside
// it (both through symbolic links, to the file the link names), and only
// then is the new file put in its place. 1 when saved (the path becomes the
// project path, its folder the last project folder and the mark is
// cleared); 0 after "Can´t write file -write protection?", with the system's
// reason as a second line where it gave one, and with the old file, its
// backup and the mark as they were. A write-protected project or backup is
// refused (SafeFileWriter).
int SaveProjectFile(const std::string& path, const std::function<bool(ByteWriter&)>& writeTrailer);
// Writes the project's model, types, materials and settings to `writer`.
bool WriteProjectFile(ByteWriter& writer);

// The path with ".KPR" appended unless its last four characters are ".KPR"
// in any case.
std::string ForceProjectExtension(const std::string& path);
// The path without its ".KPR" ending (in any case), plus "_old.KPR".
std::string ProjectBackupPath(const std::string& path);

// The room and auxiliary objects of another project (layer 0 or 7, none of
// the state bits 0xE0), for Import Room Geometry (layer 0) and Insert File
// (layer 7): each on `layer` with state 8 (selected), colour 14 on layer 7
// and 0 otherwise, material items set to material 0. `objects` receives
// them in the order they go before the model's first object (the last read
// first). 1 when read (perhaps none); -1 for a project older than 2.00
// (silently); 0 after "Can´t locate file" or "Invalid file format !", with
// nothing read.
int ReadProjectObjects(const std::string& path, uint32_t layer, ObjectList& objects);
// The same from the start of `reader` (no "Can´t locate file").
int ReadProjectObjects(ByteReader& reader, uint32_t layer, ObjectList& objects);
