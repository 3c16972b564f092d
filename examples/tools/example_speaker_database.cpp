// Builds the example speaker database from its readable description.
//
//   example_speaker_database <speakers.txt> <output.KSB>
//
// Every "type" of the description becomes one record of a V140 database,
// in the description's order: brand, type name and comment, the per-band
// sensitivity, rated power and impedance, a balloon drawn from the beam
// widths (see speakers.txt), the directivity factor Q and the efficiency
// computed from it. The records carry no shape of their own (the design
// program shows them with its default loudspeaker symbol) and no owner
// password. The file is written by the suite's own writer.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "design/model/balloon_codes.h"
#include "design/model/speaker_database.h"
#include "design/model/speaker_type.h"
#include "examples/tools/description_reader.h"
#include "framework/core/byte_codec.h"
#include "framework/core/text_encoding.h"

namespace {

constexpr double kDegree = 3.141592654 / 180;
constexpr uint16_t kAllBands = 0x7F;

struct TypeDescription {
  std::string name, brand, comment;
  std::array<std::vector<double>, 6> bands;  // sensitivity, power, impedance, horizontal, vertical, rear
};
constexpr const char* kBandKeywords[] = {"sensitivity", "power", "impedance", "horizontal", "vertical", "rear"};

// The level (dB) of a direction `offAxis` degrees from the axis, `around`
// degrees about it (0 horizontal, 90 up), for the given beam widths.
double BalloonLevel(double offAxis, double around, double horizontal, double vertical, double rear) {
  const double h = horizontal / 2, v = vertical / 2;
  const double c = std::cos(around * kDegree), s = std::sin(around * kDegree);
  const double halfWidth = 1.0 / std::sqrt(c * c / (h * h) + s * s / (v * v));
  const double ratio = offAxis / halfWidth;
  return std::max(-6.0 * ratio * ratio, rear);
}

bool BuildRecord(const TypeDescription& d, SpeakerType& type) {
  type.SetTypeName(Utf8ToCp1252(d.name));
  type.SetBrand(Utf8ToCp1252(d.brand));
  type.SetComment(Utf8ToCp1252(d.comment));
  type.SetLayoutFlag(kCurrentSpeakerLayout);
  type.SetComposition(kCompositionComplete);
  type.SetBandSelection(kAllBands);
  for (int band = 0; band < kBandCount; ++band) {
    const auto value = [&](int field) { return d.bands[size_t(field)][size_t(band)]; };
    std::span<uint8_t, kBalloonBandSize> balloon = type.BalloonBand(band);
    for (int row = 0; row < kBalloonRows; ++row)
      for (int column = 0; column < kBalloonColumns; ++column)
        balloon[size_t(row) * kBalloonColumns + column] =
            DbToAttenuationCode(BalloonLevel(row * 5.0, column * 5.0, value(3), value(4), value(5)));
    type.SetSensitivity(band, float(value(0)));
    type.SetRatedPower(band, float(value(1)));
    int16_t q10 = 0, efficiency = 0, impedance = 0;
    if (!DirectivityToStored(DirectivityFactor(balloon), q10) ||
        !EfficiencyToStored(EfficiencyPercent(value(0), q10), efficiency) || !ImpedanceToStored(value(2), impedance))
      return false;
    type.SetDirectivityQ10(band, q10);
    type.SetEfficiency(band, efficiency);
    type.SetImpedance(band, impedance);
  }
  return true;
}

bool ReadDescription(const std::string& path, std::vector<TypeDescription>& types) {
  std::vector<Statement> statements;
  if (!ReadStatements(path, statements)) return false;
  TypeDescription* open = nullptr;
  for (const Statement& s : statements) {
    if (s.keyword == "type") {
      if (open || s.words.size() != 1) return DescriptionError(s, "a type opens with its name, after an end");
      open = &types.emplace_back();
      open->name = s.words[0];
      continue;
    }
    if (!open) return DescriptionError(s, "outside a type");
    if (s.keyword == "end") {
      for (size_t field = 0; field < open->bands.size(); ++field)
        if (open->bands[field].size() != size_t(kBandCount))
          return DescriptionError(s, std::string("seven values of ") + kBandKeywords[field] + " are missing");
      open = nullptr;
    } else if (s.keyword == "brand" && s.words.size() == 1) {
      open->brand = s.words[0];
    } else if (s.keyword == "comment" && s.words.size() == 1) {
      open->comment = s.words[0];
    } else {
      const auto* keyword = std::find(std::begin(kBandKeywords), std::end(kBandKeywords), s.keyword);
      if (keyword == std::end(kBandKeywords)) return DescriptionError(s, "unknown statement");
      std::vector<double>& values = open->bands[size_t(keyword - std::begin(kBandKeywords))];
      if (!s.Numbers(0, values) || values.size() != size_t(kBandCount))
        return DescriptionError(s, "seven values, one per band");
    }
  }
  if (open) {
    std::fprintf(stderr, "%s: type %s has no end\n", path.c_str(), open->name.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <speakers.txt> <output.KSB>\n", argv[0]);
    return 2;
  }
  std::vector<TypeDescription> types;
  if (!ReadDescription(argv[1], types)) return 1;
  SafeFileWriter writer(argv[2]);
  bool ok = writer.IsOpen() && WriteSpeakerDatabaseHeader(writer, int16_t(types.size()));
  const ObjectList noShape;
  for (const TypeDescription& description : types) {
    SpeakerTypePtr type = AllocSpeakerType();
    if (!type || !BuildRecord(description, *type)) {
      std::fprintf(stderr, "%s: the figures of %s do not fit its record\n", argv[1], description.name.c_str());
      return 1;
    }
    ok = ok && WriteSpeakerDatabaseRecord(writer, *type, noShape);
  }
  if (!ok || !writer.Commit()) {
    std::fprintf(stderr, "cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
