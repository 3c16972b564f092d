// The map file (.KMF): a level and time result stored on disk, and the same
// block at the end of a project file that holds a result.
//
// Layout, little-endian:
//   0    char[32]  magic "KORVANE MAP FILE V2.80", NUL-padded
//   32   char[96]  description: up to 80 characters and a NUL, the rest 0
//   128  i16       mapping-face count F
//   130  i16       phase relations mode (1..3)
//   132  f32       half the grid spacing, m
//   136  u16[8]    active loudspeakers per band (BandSpeakerCounts)
//   152  F x 40    faces: u32 0 (no object on disk), f32 nx, ny, nz, plane
//                  constant, min x, max x, min y, max y, max z
//   +0   114       u32 point count N (at most 64000); f32[7] min level,
//                  f32[7] max level, f32[7] min time, f32[6] max time of
//                  bands 0..5, the two low-order bytes of band 6's max time
//   +114 N x 42    points: f32 x, y, z; u16[7] level codes
//                  trunc(100 log10(level)), 0 for levels up to 1.0; u16[7]
//                  times trunc(ms) within 0..65535; u16 face index
//   then, only when there are single points of this grid: i32 n (1..100),
//   n x u16 point indexes.
//
// Readers check every count and index and replace the held result only
// when the whole block was read; the max time of band 6, which the block
// holds only half of, is taken again from the points read. A single-point
// list that cannot be the grid's (more than 100 points, or points the grid
// lacks) is dropped, and the grid read without it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "design/model/design_tables.h"
#include "framework/core/byte_codec.h"

inline constexpr char kMapFileMagic[] = "KORVANE MAP FILE V2.80";
constexpr size_t kMapHeaderSize = 128;
constexpr size_t kMapMagicSize = 32;
constexpr size_t kMapDescriptionSize = 96;
constexpr size_t kMapDescriptionLength = 80;  // characters
constexpr size_t kMapFaceRecordSize = 40;
constexpr size_t kMapGridHeaderSize = 114;
constexpr size_t kMapPointRecordSize = 42;
constexpr uint32_t kMaxStoredTimeMs = 65535;

inline constexpr char kMapExtension[] = ".KMF";

// Level and time codes of the point records. A level read from a code is
// written as that code again.
uint16_t LevelCode(float level);
float LevelFromCode(int16_t code);
uint16_t TimeCode(float ms);

// Writes the result of gLevelMap (faces, grid, loudspeaker counts, phase
// mode, and the single points when they belong to its grid) as a whole
// block with `description`. 1 when every write completed, 0 at the first
// that did not.
int WriteMapFile(ByteWriter& writer, const std::string& description);

// 1 when the header starts with the magic and its description ends within
// its field.
int IsMapFileHeader(std::span<const uint8_t, kMapHeaderSize> header);
// The header's description.
std::string MapFileDescription(std::span<const uint8_t, kMapHeaderSize> header);

// Reads the rest of a block behind its 128-byte header into gLevelMap: the
// faces, the grid, the phase mode, the loudspeaker counts and, when the block
// has them, the single points (without, the list stays as it was). Then
// rebuilds the engine's active loudspeakers and the calculation faces from
// `design`. 1 on success; 0 for a short or inconsistent block, with
// gLevelMap as it was. The result-present flag is the caller's; so is the
// current phase mode, which stays the project's when a project reads its
// block.
int ReadMapFile(ByteReader& reader, const DesignTables& design);

// Calculate/Save Calculation behind its dialogs: `path` gets ".KMF" unless
// it ends so in any case, and the block is written beside it and put in
// its place only when complete. 1 when saved; 0 after "Can´t write file to
// disk" (not opened) or "Couldn´t write file to disk" / "Disk full !",
// with any old file as it was.
int SaveMapFile(const std::string& path, const std::string& description);

// Calculate/Load Calculation behind its dialog: checks the header ("Not a
// valid map file"), shows the description under "Description :" with OK
// and Cancel, and on OK reads the result ("Error reading data" when it
// cannot, keeping the result held before). 1 when read: the flag is 1, the
// result's phase mode the current one and its description the result's; 0
// otherwise.
int LoadMapFile(const std::string& path, const DesignTables& design);

// The block at the end of a project file. Reading answers whether a result
// was read (header and rest), taking its description and setting the
// result-present flag; writing appends the held result with its
// description.
bool ReadMapFileBlock(ByteReader& reader, const DesignTables& design);
bool WriteMapFileBlock(ByteWriter& writer);
