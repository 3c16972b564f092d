// The audio profile (.KAP): the reflection paths of one search as a list of
// impulses (arrival time, relative level, direction of arrival) with a few
// band records, which the auralisation filters a recording with. The
// impulse-response window stores one ("APF") and writes a temporary one to
// hear the point at once ("RTA"); both are written from the RayPath objects
// of the model in list order (sorted by time) and the search's RayResults.
//
// Layout, little-endian:
//   0    char[40] magic "KORVANE AUDIO X-FORMER FILE V2.00", NUL-padded
//   40   char[80] description, up to 79 characters and a NUL
//   120  i32      number of impulse records N
//   124  f32      listen angle, degrees (0 when none was given)
//   128  4 bytes  zero
//   132  N x 44   impulse records:
//                 +0  f32 time, ms after the search's earliest arrival (0 when earlier)
//                 +4  f32 relative level
//                 +8  24 bytes zero
//                 +32 f32 x, y, z of the path's last segment (target minus
//                     its last reflection point, or minus the source): where
//                     the sound arrives from, not normalised
//   then 44-byte band records: +0 f32 0, +4 seven f32 band values (125 Hz
//   to 8 kHz), +32 zero. A stored profile has one, the band response H_b;
//   a temporary profile three: H_b, the reverberation time of each band
//   (s), and 10^((Lr_b - Ld_b) / 10).
//
// The relative level of a stored profile is a path's largest band level over
// the search's highest (10^(highest dB / 10)); of a temporary profile the
// path's weighted band sum (weights w_b of the band response) over the
// largest such sum of all paths.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "design/acoustics/ray_paths.h"
#include "framework/core/byte_codec.h"

inline constexpr char kAudioProfileMagic[] = "KORVANE AUDIO X-FORMER FILE V2.00";
inline constexpr char kAudioProfileExtension[] = ".KAP";
constexpr size_t kProfileMagicSize = 40;
constexpr size_t kProfileDescriptionSize = 80;
constexpr size_t kProfileDescriptionLength = 79;  // characters
constexpr size_t kProfileHeaderSize = 132;
constexpr size_t kProfileCountOffset = 120;
constexpr size_t kProfileListenAngleOffset = 124;
constexpr size_t kProfileRecordSize = 44;
constexpr size_t kProfileDirectionOffset = 32;
constexpr size_t kProfileBandValuesOffset = 4;
// Band records of each form.
constexpr size_t kStoredProfileBandRecords = 1;
constexpr size_t kTemporaryProfileBandRecords = 3;

using ProfileBandRecord = std::array<float, kBandCount>;

struct ProfileImpulse {
  float time = 0;   // ms
  float level = 0;  // relative
  ObjectVertex direction;
};

// A profile as its file holds it.
struct AudioProfile {
  std::string description;
  float listenAngle = 0;  // degrees
  std::vector<ProfileImpulse> impulses;
  // The band records behind the impulses, in file order (at most three are read).
  std::vector<ProfileBandRecord> bandRecords;
};

// Whether the 132 bytes begin with the magic.
bool IsAudioProfileHeader(std::span<const uint8_t> header);

// Reads a whole profile: the header (magic, description cut to 79
// characters), all N impulses and then up to three band records, as many as
// follow whole. False, leaving `profile` alone, for a wrong magic, a
// negative N or impulses that do not all lie in the input.
bool ReadAudioProfileFile(ByteReader& reader, AudioProfile& profile);
bool WriteAudioProfileFile(ByteWriter& writer, const AudioProfile& profile);

// ---- From the paths ----

// The band response of the paths, from 21 analysis frequencies f_k = 100 x
// 1.25^k Hz, three per band (k = 3b + j): H_b = the mean over its three of
// |sum over the paths of level_b e^(i t w_k)|, t the arrival time in seconds
// and w_k = 6.28319 f_k, divided by the largest H_b; the weights w_b = H_b /
// the sum of the seven; and the largest weighted sum of a path's band levels.
// All 0 without paths.
struct BandResponse {
  ProfileBandRecord response{};
  ProfileBandRecord weights{};
  double largestWeightedSum = 0;
};
BandResponse ComputeBandResponse(const ObjectList& model);

// The stored profile of the RayPath objects of `model`, one band record.
AudioProfile StoredAudioProfile(const ObjectList& model, const RayResults& results, const std::string& description,
                                float listenAngle);
// The temporary profile, three band records, no description or angle.
AudioProfile TemporaryAudioProfile(const ObjectList& model, const RayResults& results);

// The listen angle typed into its prompt (ReadTypedNumber, text_lines.h:
// "30,5" is 30.5); 0 when it is no number.
float ParseListenAngle(const std::string& text);

// The save dialog and the prompts of storing a profile.
inline constexpr char kProfileSaveFilter[] = "Korvane Audioprofile|*.KAP|";
inline constexpr char kListenAnglePrompt[] = "Listen angle [ \xB0 ] :";
inline constexpr char kProfileDescriptionPrompt[] = "Description :";

// "APF" behind its dialog and prompts: `path` gets ".KAP" unless it ends so
// in any case, and the stored profile is written beside it and put in its
// place only when complete. 1 when saved; 0 after "Can´t write file to disk",
// with any old file as it was.
int StoreAudioProfile(const std::string& path, const ObjectList& model, const RayResults& results,
                      const std::string& description, const std::string& listenAngleText);

// The temporary profile of "RTA": "<temporary folder>/korvane_<tick>.tmp".
std::string TemporaryProfilePath(uint32_t tick);
// Writes the temporary profile to `path`. 1 when written; 0 after "Can´t
// write file to disk".
int WriteTemporaryProfile(const std::string& path, const ObjectList& model, const RayResults& results);
