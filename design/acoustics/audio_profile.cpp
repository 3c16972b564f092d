#include "design/acoustics/audio_profile.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "framework/core/file_dialog_state.h"
#include "framework/core/services.h"
#include "framework/core/text_lines.h"

namespace {

constexpr int kAnalysisFrequencies = 3 * kBandCount;  // 100 Hz to about 8674 Hz
constexpr double kLowestAnalysisFrequency = 100.0;
constexpr double kAnalysisStep = 1.25;
constexpr double kTwoPi = 6.28319;

template <typename Visit>
void ForEachRayPath(const ObjectList& model, Visit&& visit) {
  for (const GraphicObject* object = model.first; object; object = object->next)
    if (RayPathReflectionCount(object) >= 0) visit(object);
}

double WeightedBandSum(const GraphicObject* path, const ProfileBandRecord& weights) {
  double sum = 0;
  for (int b = 0; b < kBandCount; ++b) sum += RayPathLevel(path, b) * double(weights[size_t(b)]);
  return sum;
}

// The impulse of a path without its level.
ProfileImpulse PathImpulse(const GraphicObject* path, const RayResults& results) {
  ProfileImpulse impulse;
  impulse.time = std::max(RayPathTime(path) - results.earliestArrival, 0.0f);
  const ObjectVertex& target = path->vertices[path->vertexCount - 1];
  const ObjectVertex& before = path->vertices[path->vertexCount - 2];
  impulse.direction = {target.x - before.x, target.y - before.y, target.z - before.z};
  return impulse;
}

void WriteImpulseRecord(ByteWriter& writer, const ProfileImpulse& impulse) {
  writer.F32(impulse.time);
  writer.F32(impulse.level);
  writer.Zeros(kProfileDirectionOffset - 8);
  writer.F32(impulse.direction.x);
  writer.F32(impulse.direction.y);
  writer.F32(impulse.direction.z);
}

void WriteBandRecord(ByteWriter& writer, const ProfileBandRecord& values) {
  writer.F32(0.0f);
  for (float v : values) writer.F32(v);
  writer.Zeros(kProfileRecordSize - kProfileBandValuesOffset - 4 * values.size());
}

int WriteProfileFile(const std::string& path, const AudioProfile& profile) {
  SafeFileWriter writer(path);
  if (!writer.IsOpen() || !WriteAudioProfileFile(writer, profile) || !writer.Commit()) {
    ShowMessage("Can\xB4t write file to disk", nullptr, kMsgOk);
    return 0;
  }
  return 1;
}

}  // namespace

bool IsAudioProfileHeader(std::span<const uint8_t> header) {
  const size_t length = std::strlen(kAudioProfileMagic);
  return header.size() >= length && std::memcmp(header.data(), kAudioProfileMagic, length) == 0;
}

bool ReadAudioProfileFile(ByteReader& reader, AudioProfile& profile) {
  std::array<uint8_t, kProfileHeaderSize> header{};
  if (!reader.Bytes(header.data(), header.size()) || !IsAudioProfileHeader(header)) return false;
  const int32_t count = LoadI32(&header[kProfileCountOffset]);
  if (count < 0 || uint64_t(count) * kProfileRecordSize > reader.Remaining()) return false;

  AudioProfile read;
  read.description = ReadTextField(std::span(header).subspan(kProfileMagicSize, kProfileDescriptionSize))
                         .substr(0, kProfileDescriptionLength);
  read.listenAngle = LoadF32(&header[kProfileListenAngleOffset]);
  read.impulses.resize(size_t(count));
  std::array<uint8_t, kProfileRecordSize> record{};
  for (ProfileImpulse& impulse : read.impulses) {
    reader.Bytes(record.data(), record.size());
    const uint8_t* p = record.data();
    impulse.time = LoadF32(p);
    impulse.level = LoadF32(p + 4);
    impulse.direction = {LoadF32(p + kProfileDirectionOffset), LoadF32(p + kProfileDirectionOffset + 4),
                         LoadF32(p + kProfileDirectionOffset + 8)};
  }
  while (read.bandRecords.size() < kTemporaryProfileBandRecords && reader.Remaining() >= kProfileRecordSize) {
    reader.Bytes(record.data(), record.size());
    ProfileBandRecord& values = read.bandRecords.emplace_back();
    for (int b = 0; b < kBandCount; ++b) values[size_t(b)] = LoadF32(&record[kProfileBandValuesOffset + 4 * size_t(b)]);
  }
  if (!reader.ok()) return false;
  profile = std::move(read);
  return true;
}

bool WriteAudioProfileFile(ByteWriter& writer, const AudioProfile& profile) {
  std::array<uint8_t, kProfileHeaderSize> header{};
  WriteTextFieldFull(std::span(header).subspan(0, kProfileMagicSize), kAudioProfileMagic);
  WriteTextField(std::span(header).subspan(kProfileMagicSize, kProfileDescriptionSize), profile.description);
  StoreI32(&header[kProfileCountOffset], int32_t(profile.impulses.size()));
  StoreF32(&header[kProfileListenAngleOffset], profile.listenAngle);
  writer.Bytes(header.data(), header.size());
  for (const ProfileImpulse& impulse : profile.impulses) WriteImpulseRecord(writer, impulse);
  for (const ProfileBandRecord& values : profile.bandRecords) WriteBandRecord(writer, values);
  return writer.ok();
}

BandResponse ComputeBandResponse(const ObjectList& model) {
  std::array<double, kAnalysisFrequencies> omega{}, c{}, s{};
  for (int k = 0; k < kAnalysisFrequencies; ++k)
    omega[size_t(k)] = kTwoPi * kLowestAnalysisFrequency * std::pow(kAnalysisStep, k);
  ForEachRayPath(model, [&](const GraphicObject* path) {
    const double seconds = RayPathTime(path) / 1000.0;
    for (int b = 0; b < kBandCount; ++b) {
      const double level = RayPathLevel(path, b);
      for (int k = 3 * b; k < 3 * b + 3; ++k) {
        c[size_t(k)] += std::cos(seconds * omega[size_t(k)]) * level;
        s[size_t(k)] += std::sin(seconds * omega[size_t(k)]) * level;
      }
    }
  });

  BandResponse band;
  std::array<double, kBandCount> h{};
  for (int b = 0; b < kBandCount; ++b) {
    for (int k = 3 * b; k < 3 * b + 3; ++k) h[size_t(b)] += std::hypot(c[size_t(k)], s[size_t(k)]);
    h[size_t(b)] /= 3;
  }
  const double largest = *std::max_element(h.begin(), h.end());
  if (!(largest > 0)) return band;
  double sum = 0;
  for (double& value : h) sum += value /= largest;
  for (int b = 0; b < kBandCount; ++b) {
    band.response[size_t(b)] = float(h[size_t(b)]);
    band.weights[size_t(b)] = float(h[size_t(b)] / sum);
  }
  ForEachRayPath(model, [&](const GraphicObject* path) {
    band.largestWeightedSum = std::max(band.largestWeightedSum, WeightedBandSum(path, band.weights));
  });
  return band;
}

AudioProfile StoredAudioProfile(const ObjectList& model, const RayResults& results, const std::string& description,
                                float listenAngle) {
  AudioProfile profile;
  profile.description = description.substr(0, kProfileDescriptionLength);
  profile.listenAngle = listenAngle;
  const double reference = std::pow(10.0, results.highestLevel / 10.0);
  ForEachRayPath(model, [&](const GraphicObject* path) {
    ProfileImpulse impulse = PathImpulse(path, results);
    float largest = RayPathLevel(path, 0);
    for (int b = 1; b < kBandCount; ++b) largest = std::max(largest, RayPathLevel(path, b));
    impulse.level = float(largest / reference);
    profile.impulses.push_back(impulse);
  });
  profile.bandRecords.push_back(ComputeBandResponse(model).response);
  return profile;
}

AudioProfile TemporaryAudioProfile(const ObjectList& model, const RayResults& results) {
  const BandResponse band = ComputeBandResponse(model);
  AudioProfile profile;
  ForEachRayPath(model, [&](const GraphicObject* path) {
    ProfileImpulse impulse = PathImpulse(path, results);
    const double sum = WeightedBandSum(path, band.weights);
    impulse.level = band.largestWeightedSum > 0 ? float(sum / band.largestWeightedSum) : 0.0f;
    profile.impulses.push_back(impulse);
  });
  ProfileBandRecord times{}, ratios{};
  for (int b = 0; b < kBandCount; ++b) {
    times[size_t(b)] = results.reverberationTime[size_t(b)];
    ratios[size_t(b)] =
        float(std::pow(10.0, (results.reverberantLevel[size_t(b)] - results.earlyLevel[size_t(b)]) / 10.0));
  }
  profile.bandRecords = {band.response, times, ratios};
  return profile;
}

float ParseListenAngle(const std::string& text) {
  double angle = 0;
  ReadTypedNumber(text, angle);
  return float(angle);
}

int StoreAudioProfile(const std::string& path, const ObjectList& model, const RayResults& results,
                      const std::string& description, const std::string& listenAngleText) {
  return WriteProfileFile(ForceExtension(path, kAudioProfileExtension),
                          StoredAudioProfile(model, results, description, ParseListenAngle(listenAngleText)));
}

std::string TemporaryProfilePath(uint32_t tick) {
  std::error_code error;
  std::filesystem::path folder = std::filesystem::temp_directory_path(error);
  if (error) folder = "/tmp";
  return (folder / ("korvane_" + std::to_string(tick) + ".tmp")).string();
}

int WriteTemporaryProfile(const std::string& path, const ObjectList& model, const RayResults& results) {
  return WriteProfileFile(path, TemporaryAudioProfile(model, results));
}
