// Test-side writers of the speaker-import formats, built from the formats'
// byte offsets and keywords independently of the importers, and a scratch
// folder to write them into.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "design/model/speaker_type.h"
#include "tests/support/le_bytes.h"

namespace import_fixtures {

namespace fs = std::filesystem;

// ---- AcoustaCadd ----

struct SpkHeader {
  char maker = 'A';
  char component = 'C';
  std::array<int16_t, 7> sensitivityCodes{};  // S = code / 500 + 130
  int16_t powerCode = 16255;                  // 1 W
  int16_t couplingCode = 12900;               // G = 0 dB
  std::array<float, 7> directivityIndex{};    // dB
};

inline std::vector<uint8_t> SpkBytes(const SpkHeader& h) {
  Bytes b;
  b.u8(uint8_t(h.maker)).zeros(21).u8(uint8_t(h.component)).zeros(24);  // to 47
  for (int16_t code : h.sensitivityCodes) b.u16(uint16_t(code)).zeros(2);
  b.zeros(5).u16(uint16_t(h.powerCode)).u16(uint16_t(h.couplingCode)).zeros(4);  // 80, 82, to 88
  for (float di : h.directivityIndex) b.f32(di);
  return b.zeros(256 - 116).b;
}

// 36 rows of 72 levels in hundredths of a dB, row-major.
using AcoustaCaddLevels = std::array<int16_t, 36 * 72>;

inline std::vector<uint8_t> AcoustaCaddBalloonBytes(const AcoustaCaddLevels& levels) {
  Bytes b;
  b.zeros(151);
  for (int16_t level : levels) b.u16(uint16_t(level));
  return b.b;
}

// ---- EASE ----

struct Ease2Record {
  std::string typeName = "TYPE1";
  std::string brand = "BRAND";
  std::array<uint16_t, 7> sensitivity10{};
  std::array<uint16_t, 7> power{};
  std::array<uint8_t, 7> impedance{};
  // Per band, 19 vertical angles of 19 horizontal points, quarter dB.
  std::array<std::array<uint8_t, 19 * 19>, 7> attenuation{};
};

inline std::vector<uint8_t> Ease2Bytes(const Ease2Record& r) {
  Bytes b;
  b.text(r.typeName, 10).text(r.brand, 20).zeros(518);  // to 548
  for (size_t band = 0; band < 7; ++band) {
    b.u16(r.sensitivity10[band]).u16(0).u16(r.power[band]).zeros(2).u8(r.impedance[band]).zeros(15);  // to 572
    b.b.insert(b.b.end(), r.attenuation[band].begin(), r.attenuation[band].end());
    b.zeros(band < 6 ? 508 - 24 - 361 : 4096 - 3981);
  }
  return b.b;
}

struct Ease3Band {
  float directivityIndex = 0, sensitivity = 0, efficiency = 0, power = 0, impedance = 0;
};

inline std::vector<uint8_t> Ease3SpeakerBytes(const std::string& typeName, const std::string& brand,
                                              const std::array<Ease3Band, 7>& bands, size_t size = 188 + 21 * 492) {
  Bytes b;
  b.zeros(30).text(typeName, 16).text(brand, 20).zeros(122);  // to 188
  for (const Ease3Band& band : bands) {
    b.zeros(492).zeros(4).f32(band.directivityIndex).f32(band.sensitivity).f32(band.efficiency);
    b.f32(band.power).f32(band.impedance).zeros(492 - 24).zeros(492);
  }
  b.b.resize(size);
  return b.b;
}

// Per band 72 columns of 37 attenuations in hundredths of a dB, column after
// column.
using Ease3Attenuations = std::array<std::array<int16_t, 72 * 37>, 7>;

inline std::vector<uint8_t> Ease3BalloonBytes(const Ease3Attenuations& bands) {
  Bytes b;
  b.zeros(5394);
  for (const auto& band : bands) {
    b.zeros(5364).zeros(36);
    for (int16_t v : band) b.u16(uint16_t(v));
    b.zeros(5364);
  }
  return b.b;
}

// ---- Text formats ----

// Lines joined with `lineEnd` after each.
inline std::string JoinLines(const std::vector<std::string>& lines, const std::string& lineEnd = "\n") {
  std::string text;
  for (const std::string& line : lines) text += line + lineEnd;
  return text;
}

// A line of numbers, "%g" separated by blanks.
inline std::string NumberLine(const std::vector<float>& numbers) {
  std::string line;
  char text[32];
  for (float v : numbers) {
    std::snprintf(text, sizeof text, "%s%g", line.empty() ? "" : " ", double(v));
    line += text;
  }
  return line;
}

// A GDF band section: the keywords, then one table line per theta row
// (`rows` lines of 37 values), each value given by `value`(theta, phi).
template <typename Value>
std::vector<std::string> GdfSection(const std::string& frequency, bool full, float sensitivity, int rows, Value value) {
  std::vector<std::string> lines = {
      "# Frequency Band Section",
      std::string("Sphere Size: ") + (full ? "Full" : "Half"),
      "Frequency (Hz): " + frequency,
      "Sensitivity (1W-1M): " + NumberLine({sensitivity}),
      "Impedance: 8",
      "MaxPower (W): 100",
      "Phi Inc: 5",
      "Theta Inc: 5",
  };
  for (int theta = 0; theta < rows; ++theta) {
    std::vector<float> row;
    for (int phi = 0; phi < 37; ++phi) row.push_back(value(theta, phi));
    lines.push_back(NumberLine(row));
  }
  return lines;
}

inline std::vector<std::string> GdfHeader() {
  return {"Device Name: GDF1", "Manufacturer: Maker", "File Notes: A note"};
}

// The KNF header lines.
inline std::vector<std::string> KnfHeader() {
  return {"Device Class: L", "Device Name: KNF1", "Manufacturer: Maker", "Remark: Measured outdoors"};
}

// The drive of a KNF band section, as written.
struct KnfDrive {
  std::string voltage = "2.83", impedance = "8", distance = "2";
};

// A KNF band section with `step` and `sphere` ("FULL", "HALF", "QUARTER"):
// the keywords, then the table lines, each column's numbers given by
// `value`(line, number).
template <typename Value>
std::vector<std::string> KnfSection(int frequency, const std::string& sphere, int step, Value value,
                                    const KnfDrive& drive = {}) {
  const int reach = sphere == "FULL" ? 360 : sphere == "HALF" ? 180 : 90;
  const int lines = sphere == "FULL" ? reach / step : reach / step + 1;
  std::vector<std::string> text = {
      "FREQUENCY: " + std::to_string(frequency), "SPHERE SIZE: " + sphere,
      "INCREMENT: " + std::to_string(step),      "Ueff: " + drive.voltage,
      "IMPEDANCE: " + drive.impedance,           "DISTANCE: " + drive.distance,
  };
  for (int line = 0; line < lines; ++line) {
    std::vector<float> numbers;
    for (int n = 0; n <= 180 / step; ++n) numbers.push_back(value(line, n));
    text.push_back(NumberLine(numbers));
  }
  return text;
}

inline std::vector<std::string> Concat(std::vector<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// ---- Reading records back ----

// The codes of one balloon column of `band`, rows 0 to 36.
inline std::vector<uint8_t> Column(const SpeakerType& r, int band, int column) {
  std::vector<uint8_t> codes;
  for (int row = 0; row < 37; ++row) codes.push_back(r.BalloonCode(band, row, column));
  return codes;
}

// ---- A scratch folder per test ----

class ImportFolder : public ::testing::Test {
 protected:
  fs::path dir_ = fs::temp_directory_path() / ("korvane_imports_" + std::to_string(::getpid()));
  void SetUp() override { fs::create_directories(dir_); }
  void TearDown() override { fs::remove_all(dir_); }

  // Writes `bytes` at `name` (folders are made) and returns its path.
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    const fs::path path = dir_ / name;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path.string();
  }
  std::string Write(const std::string& name, const std::string& text) {
    return Write(name, std::vector<uint8_t>(text.begin(), text.end()));
  }
};

}  // namespace import_fixtures
