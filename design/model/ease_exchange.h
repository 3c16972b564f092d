// Exchange of room faces and loudspeakers with the text files of EASE 2.x
// and 3.x: faces as vertex lists, loudspeakers as position, aiming, type
// name, delay and per-band levels and powers. Imported faces become room
// faces (layer 0, material 0); imported loudspeakers are linked by type name
// to the project's types or to types loaded from the speaker database.
//
// Every file is text, written with CR LF line ends and read with CR LF or
// LF; numbers are written and read with '.' in every locale
// (framework/core/text_lines.h). Lines beginning with ";" are comments and
// skipped everywhere. A key/value line (EASE 3) is a quote, the key, a quote
// and a comma, then either a quoted value or the numbers; a line's key is
// the text between its opening quote and the next one (or, for a line
// without quotes, the text before its first comma) and is compared without
// regard to case. The layouts, line by line:
//
// EASE 3 faces (.xfc):
//   "Filetype","Faces"
//   "Format",3,0
//   "LengthUnit","m"
//   then per face: "Material","Absorber", one "%f,%f,%f" line (x, y, z) per
//   vertex, and "End".
// EASE 2 faces (.imp written, .exp read): per face exactly ten lines, the
//   vertices as "%f,%f,%f" and then "0" lines up to the tenth; faces of more
//   than ten vertices cannot be stored.
// EASE 3 loudspeakers (.xld):
//   "Filetype","Loudspeakers"
//   "Format",3.0
//   "LengthUnit","m"
//   then per loudspeaker, numbered from 1 in list order:
//   "Label","S<n>"
//   "Position",x,y,z                  "%4.2f" each, m
//   "Ver/Hor/Rot",v,h,r               "%3.1f" each, degrees (see the angles)
//   "Speaker","<type name>"
//   "Delay/Align",delay,0             "%f" each, ms
//   "dB 1m",<21 values>               "%3.1f": 10 log10(intensity factor),
//                                     0 for negative results
//   "Watts",<21 values>               "%5.1f": the electrical power, W
//   The 21 values are the seven bands, each band's value three times.
// EASE 2 loudspeakers (.imp written, .exp read): six lines per loudspeaker:
//   the position "%4.2f,%4.2f,%4.2f"; the angles "%3.1f,%3.1f,%3.1f"
//   (vertical, horizontal, rotation); the type name in a 12-character field
//   (a quote, the name, blanks, a quote in the 12th place); "%f,%f" delay and
//   0; seven levels "%3.1f"; seven powers "%5.1f".
//
// Angles: EASE's vertical is the loudspeaker's vertical angle, EASE's
// horizontal is the horizontal angle + 90 degrees, EASE's rotation the
// rotation; every angle is written and read within -180 .. 180 degrees (a
// whole turn more or less changes no aim). EASE lists a face's vertices in
// the opposite order to the model: every exported face is turned round on a
// copy of its items, every imported face after it is built.
//
// The readers take the lines of a file and return what they read without
// touching the model; the imports then show the readers' messages and link
// the result into the model. A refused file ("EASE3 Header missing !", a
// length unit other than m or ft) gives nothing; otherwise one damaged face
// or loudspeaker costs only itself and the user is told once how many were
// left out.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "design/model/loudspeaker.h"
#include "design/model/speaker_database_index.h"
#include "design/model/speaker_type.h"
#include "framework/model/graphic_object.h"

// File names: the extensions the exports force, and the filters of the
// export (save) and import (open) dialogs.
inline constexpr char kEase3FaceExtension[] = ".xfc";
inline constexpr char kEase2ExportExtension[] = ".imp";
inline constexpr char kEase3SpeakerExtension[] = ".xld";
inline constexpr char kEase3FaceExportFilter[] = "EASE-Import|*.xfc|";
inline constexpr char kEase2ExportFilter[] = "EASE-Import|*.imp|";
inline constexpr char kEase3SpeakerExportFilter[] = "EASE-Import|*.xld|";
inline constexpr char kEase3FaceImportFilter[] = "EASE-Export|*.xfc|";
inline constexpr char kEase2ImportFilter[] = "EASE-Export|*.exp|";
inline constexpr char kEase3SpeakerImportFilter[] = "EASE-Export|*.xld|";

inline constexpr char kEase3HeaderMissingMessage[] = "EASE3 Header missing !";
inline constexpr char kEaseLengthUnitMessage[] = "EASE3 LengthUnit must be m or ft !";
inline constexpr char kEase2FaceTooLargeMessage[] =
    "Discovered face(s) containing > 10 nodes, no export-file generated";
// The question of the loudspeaker imports when no speaker database is
// loaded, under kWarningCaption (OK/Cancel).
inline constexpr char kLoadSpeakerDatabaseFirstMessage[] = "A speaker database must have been loaded first.Load now ?";

// An EASE 2 face takes ten lines; an EASE 3 face at most 359 vertices (the
// import's buffer of 360 items holds them with the material item).
constexpr int kEase2FaceLines = 10;
constexpr int kEase3MaxFaceVertices = 359;

// The key/value line of `key` without its line end: "key", and "value" in
// quotes when the value is not empty; numbers are appended by the caller.
std::string FormatKeyValueLine(std::string_view key, std::string_view value);

// ---- Angles ----

// The three angles of a loudspeaker as EASE writes them: degrees, rounded
// to the tenth they are written with, each within -180 .. 180.
struct EaseAngles {
  double vertical = 0, horizontal = 0, rotation = 0;
};
EaseAngles EaseAnglesOf(const Loudspeaker& speaker);
// Sets the loudspeaker's angles (radians) from EASE's (degrees).
void SetAnglesFromEase(Loudspeaker& speaker, const EaseAngles& angles);

// ---- Faces ----

// The text of the faces of `objects` (those of kind 8 or 16; each closed
// polygon of them is a face, others are passed over). The EASE 2 text is
// false, with `text` unspecified, when a face has more than ten vertices.
std::string FormatFacesEase3(std::span<const GraphicObject* const> objects);
bool FormatFacesEase2(std::span<const GraphicObject* const> objects, std::string& text);

// Writes the faces of `objects` to `path`, its extension forced (".xfc",
// ".imp"; the last four characters compared without regard to case); the
// old file stays until the new one is complete. 1 when written; -1 when
// `objects` is empty (nothing is written); 0 after "Couldn´t write data to
// disk !" (the file cannot be created or written) or, in EASE 2, after
// kEase2FaceTooLargeMessage, leaving no new file.
int ExportFacesEase3(const std::string& path, std::span<const GraphicObject* const> objects);
int ExportFacesEase2(const std::string& path, std::span<const GraphicObject* const> objects);

// What a face reader read.
struct FaceImport {
  // Room faces in file order, in a list of their own: one polygon each
  // (start, material 0, line-to items, close), n vertices and n + 1 items,
  // layer 0, colour 0, kind 8, state 0, turned round from the file's order.
  OwnedObjectList faces;
  // The message of a refused file, which gives no faces; null otherwise.
  const char* refusal = nullptr;
  // Faces of the file left out: fewer than 3 vertices, more than the
  // format holds, or (EASE 3) no "End" before the file ends.
  uint32_t leftOut = 0;
};

// EASE 3: the header runs up to the "LengthUnit" line (refused with
// kEase3HeaderMissingMessage when there is none), whose unit "m" or "ft"
// (in any case) gives the factor to metres (kEaseLengthUnitMessage for any
// other); then each "Material" line opens a face whose vertex lines run to
// its "End". Lines that hold no three numbers are skipped.
FaceImport ReadFacesEase3(const std::vector<std::string>& lines);
// EASE 2: a line "0" closes the face being read, the tenth vertex closes it
// at once; lines that hold no three numbers are skipped.
FaceImport ReadFacesEase2(const std::vector<std::string>& lines);

// Shows what an import tells the user after reading: the refusal, or else
// "Maximum amount of speakers is 5000" when the limit cut the import short
// and "Invalid objects not loaded : %u" when anything was left out.
void ShowEaseReadMessages(const char* refusal, uint32_t leftOut, bool limitReached = false);

// Puts the read faces at the head of `model`, one after another in file
// order (so the last face read ends up first), and marks the project
// modified when there was any.
void InsertImportedFaces(FaceImport& read, ObjectList& model);

// Reads the face file at `path` and inserts its faces into `model` as
// above, after ShowEaseReadMessages. 1 when read (perhaps no face); -1 when
// the file cannot be opened (silently); 0 when it was refused (after the
// message, "Invalid file format !" for a file too large to be a face file),
// with `model` as it was.
int ImportFacesEase3(const std::string& path, ObjectList& model);
int ImportFacesEase2(const std::string& path, ObjectList& model);

// ---- Loudspeakers ----

// A loudspeaker as the files carry it: its record and its type's name.
// Read ones have the file's position, angles, delay and band powers (and,
// from EASE 2, intensity factors), on 1, polarity 1 and their largest band
// power as the nominal power.
struct ExchangeSpeaker {
  Loudspeaker speaker;
  std::string typeName;
};

// The loudspeakers of `model` (loudspeaker objects in list order) with the
// names of their types in `types` (empty for an index naming none).
std::vector<ExchangeSpeaker> ExchangeSpeakersOf(const ObjectList& model, const SpeakerTypeTable& types);

std::string FormatSpeakersEase3(std::span<const ExchangeSpeaker> speakers);
std::string FormatSpeakersEase2(std::span<const ExchangeSpeaker> speakers);

// Writes the loudspeakers of `model` to `path` with its extension forced
// (".xld", ".imp") as the face exports do. 1 when written; -1 when the
// model holds no loudspeaker (nothing is written); 0 after "Couldn´t write
// data to disk !" (the file cannot be created or written).
int ExportSpeakersEase3(const std::string& path, const ObjectList& model, const SpeakerTypeTable& types);
int ExportSpeakersEase2(const std::string& path, const ObjectList& model, const SpeakerTypeTable& types);

// What a loudspeaker reader read.
struct EaseSpeakerImport {
  std::vector<ExchangeSpeaker> speakers;  // in file order
  const char* refusal = nullptr;          // as FaceImport's
  uint32_t leftOut = 0;                   // loudspeakers whose lines do not hold what they must
  bool limitReached = false;              // a loudspeaker of the file found no room
};

// At most `room` loudspeakers are read; more set limitReached.
// EASE 3: each "Label" line opens a loudspeaker that runs to the next one;
// its "Position", "Ver/Hor/Rot", "Speaker", "Delay/Align" and "Watts"
// lines must be there (the middle value of each "Watts" triple is the band
// power), the "dB 1m" line is not read. The type name is the quoted value
// up to its closing quote, whole: a name longer than a type's names matches
// no type rather than another one cut to it. A "LengthUnit" line of
// "ft" converts the positions behind it to metres; another unit than "m"
// refuses the file.
EaseSpeakerImport ReadSpeakersEase3(const std::vector<std::string>& lines, uint32_t room);
// EASE 2: six lines a loudspeaker (blank lines skipped too); the type name
// is the whole field from the second character of its line up to its
// closing quote, without the blanks that pad it; the levels give the
// intensity factors 10^(level / 10). An incomplete last group ends the
// import.
EaseSpeakerImport ReadSpeakersEase2(const std::vector<std::string>& lines, uint32_t room);

// How an imported loudspeaker finds its type.
struct SpeakerImportLinks {
  // Loads a type from the selected speaker database: IndexTypeLoader of it
  // into the project's model list.
  SpeakerTypeLoader loadType;
  // The Edit Loudspeaker dialog, shown when the loudspeaker's type cannot
  // be found: 1 on OK, with `typeName` the type the user picked and the
  // loudspeaker as the user left it; 0 on Cancel.
  std::function<int(Loudspeaker& speaker, std::string& typeName)> pickType;
};

// Links one read loudspeaker to the type of its name in the project's types
// (gSpeakerModel.types), loading it from the database when the project does
// not have it, and places it: on 1, equaliser gains of 10 log10(power /
// rated power) per band (a band without power -50 dB, off; at most 0 dB, at
// least -50 dB), band powers and intensities recomputed from the type, the
// symbol built at the head of the model list, the project marked modified.
// When the type cannot be linked the pickType dialog opens once; after its
// OK the loudspeaker is linked to the picked type, and gains the dialog
// changed are the user's (otherwise they are derived as above). 1 when
// placed (`imported` then holds the placed loudspeaker and its object); 0
// when the user cancelled, after "Loudspeaker not available in database"
// (or "Maximum amount of loudspeaker types is 500") when the picked type
// cannot be linked either, or after a memory message.
int AddImportedSpeaker(ExchangeSpeaker& imported, const SpeakerImportLinks& links);

// Reads the loudspeaker file at `path` with room for the loudspeakers the
// project's limit leaves, shows ShowEaseReadMessages and hands each read
// loudspeaker to AddImportedSpeaker. 1 when read (perhaps nothing placed);
// -1 when the file cannot be opened (silently); 0 when it was refused
// (after its message), with the model as it was.
int ImportSpeakersEase3(const std::string& path, const SpeakerImportLinks& links);
int ImportSpeakersEase2(const std::string& path, const SpeakerImportLinks& links);
