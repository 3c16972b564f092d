// The EASE loudspeaker files of the exchange: the input read as an EASE 3
// loudspeaker file (.xld) and as an EASE 2 one (.exp). What a read gives is
// written and reads back to the same text; every loudspeaker read holds
// finite figures and a type name without quotes, and is placed on a
// type of its name with gains within -50 .. 0 dB and powers within the
// type's rating.
#include <cmath>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "design/model/ease_exchange.h"
#include "framework/core/text_lines.h"
#include "fuzz/fuzz_check.h"

namespace {

using SpeakerReader = EaseSpeakerImport (*)(const std::vector<std::string>&, uint32_t);
using SpeakerWriter = std::string (*)(std::span<const ExchangeSpeaker>);

constexpr float kRatedPower = 100;
// The room of a read: enough for the limit to cut long inputs short.
constexpr uint32_t kRoom = 50;

EaseSpeakerImport gRead;

bool Finite(std::span<const float> values) {
  for (float v : values)
    if (!std::isfinite(v)) return false;
  return true;
}

void CheckReadSpeakers() {
  FuzzRequire(gRead.speakers.size() <= kRoom, "a read keeps to its room");
  for (const ExchangeSpeaker& s : gRead.speakers) {
    const Loudspeaker& l = s.speaker;
    FuzzRequire(Finite(l.position) && Finite(l.power) && Finite(l.intensity) &&
                    Finite(std::array{l.delay, l.horizontal, l.vertical, l.rotation, l.nominalPower}),
                "a loudspeaker read holds finite figures");
    FuzzRequire(s.typeName.find('"') == std::string::npos, "a type name read ends at its quote");
    FuzzRequire(l.on == 1 && l.polarity == 1, "a loudspeaker read is on with polarity +");
  }
}

// Every name is a type of the database, rated 100 W in every band.
int LoadAnyType(std::string_view name, SpeakerTypeTable& table, int slot) {
  SpeakerTypePtr type = AllocSpeakerType();
  if (!type) return 0;
  type->SetTypeName(name);
  for (int b = 0; b < kBandCount; ++b) {
    type->SetRatedPower(b, kRatedPower);
    type->SetSensitivity(b, 90);
  }
  table.types[size_t(slot)] = std::move(type);
  return 1;
}

// The loudspeaker side of the project emptied: no objects, no types.
void EmptyProject() {
  ResetObjectStore();
  ClearSpeakerTypeTable(gSpeakerModel.types);
}

// Places what was read into an empty project and checks the placed gains
// and powers.
void CheckPlacedSpeakers() {
  EmptyProject();
  for (ExchangeSpeaker& s : gRead.speakers) {
    if (AddImportedSpeaker(s, {LoadAnyType, nullptr}) != 1) continue;
    const Loudspeaker& l = s.speaker;
    for (int b = 0; b < kBandCount; ++b) {
      FuzzRequire(l.eqGain[size_t(b)] >= kBandOffGain && l.eqGain[size_t(b)] <= 0, "a placed gain lies within -50..0");
      FuzzRequire(l.power[size_t(b)] >= 0 && l.power[size_t(b)] <= kRatedPower, "a placed power keeps to the rating");
    }
  }
  EmptyProject();
}

void CheckLayout(FuzzInput input, SpeakerReader readSpeakers, SpeakerWriter format) {
  gRead = EaseSpeakerImport{};
  auto read = [readSpeakers](FuzzInput bytes) {
    gRead = readSpeakers(SplitTextLines(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())),
                         kRoom);
    ShowEaseReadMessages(gRead.refusal, gRead.leftOut, gRead.limitReached);
    CheckReadSpeakers();
    return gRead.refusal == nullptr;
  };
  auto write = [format] {
    const std::string text = format(gRead.speakers);
    return FuzzBytes(text.begin(), text.end());
  };
  CheckReadWriteRead(input, read, write);
  CheckPlacedSpeakers();
  gRead = EaseSpeakerImport{};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetUpFuzzRun();
  const FuzzInput input(data, size);
  CheckLayout(input, ReadSpeakersEase3, FormatSpeakersEase3);
  CheckLayout(input, ReadSpeakersEase2, FormatSpeakersEase2);
  return 0;
}
