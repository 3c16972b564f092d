#include "design/acoustics/cluster_balloon.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "design/acoustics/receiver_engine.h"
#include "design/model/balloon_codes.h"
#include "design/model/loudspeaker.h"
#include "design/model/speaker_database.h"
#include "framework/core/byte_codec.h"
#include "framework/core/geometry.h"
#include "framework/core/services.h"

namespace {

constexpr float kSphereStep = 0.0872665f;  // 5 degrees, rad
// A band counts as played by a loudspeaker of the group from this intensity.
constexpr float kClusterBandIntensity = 1.0f;
// The level of a point is this many times its band result.
constexpr double kLevelScale = 10000.0;

using PointLevels = std::array<double, kBandCount>;

uint16_t ClusterBandMask(const Loudspeaker& speaker) {
  uint16_t mask = 0;
  for (int b = 0; b < kBandCount; ++b)
    if (std::fabs(speaker.intensity[size_t(b)]) >= kClusterBandIntensity) mask = uint16_t(mask | (1u << b));
  return mask;
}

// Reports point k done; true when Cancel was pressed.
bool ReportClusterProgress(uint32_t k, uint32_t& mark, int& percent) {
  if (k <= mark) return false;
  mark += kClusterProgressStep;
  ++percent;
  return ReportProgress(percent, (FormatNumber("%1.1f", percent) + " %").c_str()) != 0;
}

// The balloon, Q, power, sensitivity and efficiency of every band from the
// points' levels and the group's power sums.
void FillClusterRecord(const std::vector<PointLevels>& levels, const PointLevels& power, SpeakerType& record) {
  for (int b = 0; b < kBandCount; ++b) {
    const size_t band = size_t(b);
    const double airLoss = std::pow(AirTransmissionTable[band], kClusterRadius);
    double loudest = 1.0;
    for (const PointLevels& point : levels) loudest = std::max(loudest, point[band]);
    const double loudestDb = 10.0 * std::log10(loudest / airLoss);
    auto code = [&](uint32_t k) {
      return DbToAttenuationCode(10.0 * std::log10(levels[k][band] / airLoss) - loudestDb);
    };

    std::span<uint8_t, kBalloonBandSize> balloon = record.BalloonBand(b);
    for (int c = 0; c < kBalloonColumns; ++c) {
      balloon[size_t(c)] = code(kClusterAxisPoint);
      for (int r = 1; r <= kClusterRings; ++r)
        balloon[size_t(r * kBalloonColumns + c)] = code(uint32_t((r - 1) * kBalloonColumns + c));
      balloon[size_t((kBalloonRows - 1) * kBalloonColumns + c)] = code(kClusterRearPoint);
    }

    int16_t q10 = 10;
    DirectivityToStored(DirectivityFactor(balloon), q10);
    record.SetDirectivityQ10(b, q10);
    record.SetRatedPower(b, float(power[band]));
    const double sensitivity = loudestDb - 10.0 * std::log10(std::max(power[band], 1.0));
    record.SetSensitivity(b, float(sensitivity));
    int16_t efficiency = 0;
    if (sensitivity > 0) EfficiencyToStored(EfficiencyPercent(sensitivity, q10), efficiency);
    record.SetEfficiency(b, efficiency);
  }
}

// The symbol of a loudspeaker as a shape object: without its two reference
// points, relative to `centre`, with only the items that name its kept
// vertices, not selected and without a data block. Null when memory runs out.
GraphicObject* ClusterShapePart(const GraphicObject& symbol, Vec3d centre) {
  const uint32_t vertices = symbol.vertexCount >= 2 ? symbol.vertexCount - 2 : 0;
  const auto named = [vertices](const ObjectItem& item) { return item.index < vertices; };
  const uint32_t items = uint32_t(std::count_if(symbol.items, symbol.items + symbol.itemCount, named));
  GraphicObject* part = CreateObject(0, vertices, items);
  if (!part) return nullptr;
  for (uint32_t i = 0; i < vertices; ++i) part->vertices[i] = ToVertex(ToVec3d(symbol.vertices[i]) - centre);
  std::copy_if(symbol.items, symbol.items + symbol.itemCount, part->items, named);
  part->kind = symbol.kind;
  part->state = symbol.state & ~uint32_t(kStateSelected);
  part->colour = symbol.colour;
  part->layer = symbol.layer;
  return part;
}

}  // namespace

std::vector<Vec3d> ClusterSpherePoints(Vec3d centre) {
  std::vector<Vec3d> points;
  points.reserve(kClusterPointCount);
  for (int i = 0; i < kClusterRings; ++i) {
    const double t = double(float(i + 1) * kSphereStep);
    const double ring = kClusterRadius * std::fabs(std::sin(t));
    for (int j = 0; j < kBalloonColumns; ++j) {
      const double f = double(float(j) * kSphereStep);
      points.push_back(centre + Vec3d{kClusterRadius * std::cos(t), ring * std::cos(f), ring * std::sin(f)});
    }
  }
  points.push_back(centre + Vec3d{kClusterRadius, 0, 0});
  points.push_back(centre - Vec3d{kClusterRadius, 0, 0});
  return points;
}

ClusterRun ComputeClusterBalloon(std::span<const GraphicObject* const> selected, const SpeakerTypeTable& types,
                                 ClusterBalloon& cluster) {
  cluster = ClusterBalloon{};
  ActiveSpeakerTable active;
  PointLevels power{};
  Vec3d sum;
  for (const GraphicObject* object : selected) {
    Loudspeaker speaker;
    if (!IsLoudspeakerObject(object) || !DecodeLoudspeaker({object->data, object->dataSize}, speaker)) continue;
    cluster.loudspeakers.push_back(object);
    sum = sum + Vec3d{speaker.position[0], speaker.position[1], speaker.position[2]};
    for (size_t b = 0; b < kBandCount; ++b) power[b] += speaker.power[b];
    if (speaker.IsOn()) AddActiveSpeaker(active, speaker, ClusterBandMask(speaker), types);
  }
  if (cluster.loudspeakers.empty()) return ClusterRun::kNoLoudspeakers;
  cluster.centre = sum * (1.0 / double(cluster.loudspeakers.size()));

  // Free field: no faces shade the sphere or reflect onto it.
  ReceiverContext context;
  context.speakers = &active;
  context.options = ReceiverOptions{false, false, PhaseRelations::kOctaveBandwidth};
  const std::vector<Vec3d> points = ClusterSpherePoints(cluster.centre);
  std::vector<PointLevels> levels(points.size());
  BeginProgress(kClusterProgressTitle, "", "Cancel");
  uint32_t mark = 0;
  int percent = 0;
  for (uint32_t k = 0; k < points.size(); ++k) {
    CalcPointEchogram(context, points[k]);
    for (size_t b = 0; b < kBandCount; ++b) levels[k][b] = std::max(kLevelScale * context.bands[b].bandResult, 1.0);
    if (ReportClusterProgress(k, mark, percent)) {
      EndProgress();
      return ClusterRun::kCancelled;
    }
  }
  EndProgress();

  SpeakerTypePtr record = AllocSpeakerType();
  if (!record) return ClusterRun::kNoMemory;
  FillClusterRecord(levels, power, *record);
  record->SetLayoutFlag(kCurrentSpeakerLayout);
  record->SetComposition(kCompositionComplete);
  record->SetTypeName(kClusterTypeName);
  record->SetBrand(kClusterBrand);
  cluster.record = std::move(record);
  return ClusterRun::kDone;
}

int WriteClusterDatabase(const ClusterBalloon& cluster, std::string_view description, const std::string& path) {
  if (!cluster.record) return 0;
  SpeakerType record;
  record.bytes = cluster.record->bytes;
  record.SetComment(description.substr(0, kClusterDescriptionLength));

  OwnedObjectList shape;
  bool whole = true;
  for (const GraphicObject* symbol : cluster.loudspeakers) {
    GraphicObject* part = ClusterShapePart(*symbol, cluster.centre);
    if (!part) {
      whole = false;
      break;
    }
    AppendObjectToList(part, shape.list());
  }
  SafeFileWriter writer(path);
  if (!whole || !writer.IsOpen() || !WriteSpeakerDatabaseHeader(writer, 1) ||
      !WriteSpeakerDatabaseRecord(writer, record, shape.list()) || !writer.Commit()) {
    ShowMessage(kWriteFailedMessage, nullptr, kMsgOk);
    return 0;
  }
  return 1;
}
