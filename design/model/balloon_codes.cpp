#include "design/model/balloon_codes.h"

#include <array>
#include <cmath>

namespace {

constexpr double kPi = 3.141592654;
constexpr int kAxisRows = 18;  // the row at 90 degrees: rows below pair upwards, the others downwards
constexpr double kQFloor = 1.0;
constexpr double kNoDivisionByZero = 1e-12;
constexpr double kLowestStoredQ = 0.1;
constexpr double kEfficiencyReference = 109.0;  // dB at 1 W / 1 m of a 100 % efficient point source
constexpr double kSilentRatioDb = -45.0;

// 5 x dB + 225 rounded to the nearest (halves to even) and clamped.
uint8_t CodeOfLevel(double level) {
  if (!(level > 0.0)) return 0;
  if (level >= 255.0) return 255;
  return uint8_t(std::nearbyint(level));
}

// The zone weights w(i), rounded to 8 decimals.
const std::array<double, kBalloonRows - 1>& ZoneWeights() {
  static const std::array<double, kBalloonRows - 1> weights = [] {
    std::array<double, kBalloonRows - 1> w{};
    const double step = 5.0 * kPi / 180.0;
    for (size_t i = 0; i < w.size(); ++i)
      w[i] = std::round((std::cos(step * double(i)) - std::cos(step * double(i + 1))) * 1e8) / 1e8;
    return w;
  }();
  return weights;
}

bool ClampToStored(double value, double lowest, int16_t& stored) {
  if (!std::isfinite(value)) return false;
  const double truncated = std::trunc(value);
  stored = int16_t(truncated < lowest ? lowest : truncated > INT16_MAX ? INT16_MAX : truncated);
  return true;
}

}  // namespace

double AttenuationCodeToDb(int code) { return (code - 225) / 5.0; }

double AttenuationCodeToFactor(int code) { return std::pow(10.0, AttenuationCodeToDb(code) / 10.0); }

const std::array<double, 256>& AttenuationFactorTable() {
  static const std::array<double, 256> table = [] {
    std::array<double, 256> factors{};
    for (int code = 0; code < 256; ++code) factors[size_t(code)] = AttenuationCodeToFactor(code);
    return factors;
  }();
  return table;
}

uint8_t DbToAttenuationCode(double db) { return CodeOfLevel(db * 5.0 + 225.0); }

uint8_t DbToBalloonCode(float db) { return CodeOfLevel(db * 5.0f + 225.0f); }

uint8_t PowerRatioToBalloonCode(double ratio) {
  double db = kSilentRatioDb;
  if (ratio >= 1.0) db = 10.0 * std::log10(ratio);
  else if (ratio > 0.0) db = -10.0 * std::log10(1.0 / ratio);
  return DbToBalloonCode(float(db));
}

uint8_t AverageBalloonCodes(int a, int b) {
  return PowerRatioToBalloonCode((BalloonCodeToPowerRatio(a) + BalloonCodeToPowerRatio(b)) * 0.5);
}

double PowerMeanOfLevels(double aDb, double bDb) {
  const double larger = std::fmax(aDb, bDb);
  return larger + 10.0 * std::log10((1.0 + std::pow(10.0, -std::fabs(aDb - bDb) / 10.0)) / 2.0);
}

double DirectivityFactor(std::span<const uint8_t, kBalloonBandSize> band) {
  const std::array<double, kBalloonRows - 1>& w = ZoneWeights();
  auto rowPower = [&band](int row) {
    double sum = 0;
    for (int c = 0; c < kBalloonColumns; ++c) sum += AttenuationCodeToFactor(band[size_t(row) * kBalloonColumns + c]);
    return sum;
  };
  double s = 0, a = 0;
  for (int i = 1; i < kBalloonRows - 1; ++i) {
    const int neighbour = i < kAxisRows ? i - 1 : i + 1;
    s += w[size_t(i)];
    a += w[size_t(i)] / kBalloonColumns * (rowPower(i) + rowPower(neighbour));
  }
  const double q = s / (a / 2.0 + kNoDivisionByZero);
  return q < kQFloor ? kQFloor : q;
}

double EfficiencyPercent(double sensitivityDb, int16_t q10) {
  const double q = std::fmax(q10 / 10.0, kLowestStoredQ);
  return 100.0 * std::pow(10.0, (sensitivityDb - 10.0 * std::log10(q) - kEfficiencyReference) / 10.0);
}

bool DirectivityToStored(double q, int16_t& stored) { return ClampToStored(10.0 * q, 1.0, stored); }

bool EfficiencyToStored(double percent, int16_t& stored) { return ClampToStored(10.0 * percent, 0.0, stored); }

bool ImpedanceToStored(double ohms, int16_t& stored) { return ClampToStored(ohms, 0.0, stored); }
