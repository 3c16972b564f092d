// The ray file (.KRF): the RayPath objects of one reflection-path search,
// stored when its windows close so that Load Ray File can show them again.
//
// Layout, little-endian:
//   0    char[32] magic "KORVANE RAY FILE V1.10", NUL-padded
//   32   char[80] description, up to 79 characters and a NUL
//   112  f64      mean free path estimate of the search, m
//   120  8 bytes  zero
//   128  the RayPath objects in the object form of project files: the
//        48-byte header (its "next" word non-zero while another path
//        follows, 0 on the last), the data block, the vertices (12 bytes
//        each), the items (4 bytes each)
//
// The reader takes only what the search writes: objects on the ray-path
// layer of kind 1 with n + 2 vertices and n + 2 items (a start, then a line
// to each further vertex), n + 2 at most 52, finite vertices, and a data
// block of 62 + 2 (n + 2) bytes whose n agrees. Anything else, or a file that
// ends before the path whose "next" is 0, is not a ray file, and nothing of
// it is kept. The paths keep the file's order; their times and levels are
// recomputed from the current model when the windows link them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/core/byte_codec.h"
#include "framework/model/graphic_object.h"

inline constexpr char kRayFileMagic[] = "KORVANE RAY FILE V1.10";
inline constexpr char kRayFileExtension[] = ".KRF";
constexpr size_t kRayFileHeaderSize = 128;
constexpr size_t kRayFileMagicSize = 32;
constexpr size_t kRayFileDescriptionSize = 80;
constexpr size_t kRayFileDescriptionLength = 79;  // characters
constexpr size_t kRayFileMeanFreePathOffset = 112;
// The most nodes (n + 2) a stored path may have.
constexpr uint32_t kMaxRayFileNodes = 52;

inline constexpr char kStoreRayFileQuestion[] = "Store ray calculation to file ?";
// The save and open dialogs of ray files.
inline constexpr char kRayFileSaveFilter[] = "Korvane Ray File|*.krf|";
inline constexpr char kRayFileOpenFilter[] = "*.Korvane Ray File|*.krf|";
inline constexpr char kRayFileDefault[] = "*.KRF";
inline constexpr char kRayFileDescriptionPrompt[] = "Description :";
inline constexpr char kNotRayFileMessage[] = "Not a valid ray file";

// Whether `model` holds a RayPath, so that a ray file can be offered.
bool HasRayPaths(const ObjectList& model);

// Writes the header and every RayPath of `model` in list order; false at the
// first write that fails.
bool WriteRayFile(ByteWriter& writer, const ObjectList& model, const std::string& description, double meanFreePath);

struct RayFileContents {
  std::string description;
  double meanFreePath = 0;  // m; 0 when the file's is not finite
  OwnedObjectList paths;
};
// Reads a whole ray file into `contents`; false, leaving it alone, when the
// file is not a ray file as above.
bool ReadRayFileContents(ByteReader& reader, RayFileContents& contents);

// Storing behind the question, the save dialog and the description prompt:
// `path` gets ".KRF" unless it ends so in any case, and the file is written
// beside it and put in its place only when complete. 1 when saved; 0 after
// "Can´t write file to disk", with any old file as it was.
int StoreRayFile(const std::string& path, const ObjectList& model, const std::string& description, double meanFreePath);

// Load Ray File behind its dialog: reads the file ("Not a valid ray file",
// also for one that cannot be opened), shows its description under
// "Description :" with OK and Cancel, and on OK appends the paths to the end
// of `model` and sets `meanFreePath`. 1 when paths were read; 0 with
// `model` and `meanFreePath` as they were.
int ReadRayFile(const std::string& path, ObjectList& model, double& meanFreePath);
