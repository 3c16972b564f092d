#include "design/acoustics/map_file.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>

#include "design/acoustics/calc_faces.h"
#include "design/acoustics/level_map.h"
#include "framework/core/file_dialog_state.h"
#include "framework/core/services.h"

namespace {

constexpr int16_t kFirstPhaseMode = 1, kLastPhaseMode = 3;
constexpr int16_t kMaxLevelCode = 32767;  // read back as signed

bool Finite(std::initializer_list<float> values) {
  return std::all_of(values.begin(), values.end(), [](float v) { return std::isfinite(v); });
}

void WriteBandValues(ByteWriter& w, const std::array<float, kBandCount>& values, size_t count = kBandCount) {
  for (size_t b = 0; b < count; ++b) w.F32(values[b]);
}

bool ReadBandValues(ByteReader& r, std::array<float, kBandCount>& values, size_t count = kBandCount) {
  for (size_t b = 0; b < count; ++b)
    if (!r.F32(values[b])) return false;
  return true;
}

bool ReadFace(ByteReader& r, MappingFace& face) {
  uint32_t objectSlot = 0;
  ObjectVertex& n = face.normal;
  return r.U32(objectSlot) && r.F32(n.x) && r.F32(n.y) && r.F32(n.z) && r.F32(face.planeConstant) && r.F32(face.minX) &&
         r.F32(face.maxX) && r.F32(face.minY) && r.F32(face.maxY) && r.F32(face.maxZ) && n.z != 0 &&
         Finite({n.x, n.y, n.z, face.planeConstant, face.minX, face.maxX, face.minY, face.maxY, face.maxZ});
}

bool ReadPoint(ByteReader& r, int16_t faceCount, GridPoint& p) {
  if (!(r.F32(p.x) && r.F32(p.y) && r.F32(p.z)) || !Finite({p.x, p.y, p.z})) return false;
  for (float& level : p.level) {
    int16_t code = 0;
    if (!r.I16(code)) return false;
    level = LevelFromCode(code);
  }
  for (float& time : p.time) {
    uint16_t code = 0;
    if (!r.U16(code)) return false;
    time = code;
  }
  return r.U16(p.face) && p.face < faceCount;
}

// Reads the single points behind the grid: none at the end of the block,
// else a count and as many indexes. A list that cannot be this grid's (a
// count outside 0..100, or an index past the grid: an older writer left the
// list of another grid behind) is read as an empty one; only a list cut
// short fails.
bool ReadSinglePoints(ByteReader& r, uint32_t pointCount, SinglePointList& list, bool& present) {
  present = r.Remaining() != 0;
  if (!present) return true;
  int32_t count = 0;
  if (!r.I32(count)) return false;
  list = SinglePointList{.pointCount = pointCount};
  if (count < 0 || count > kMaxSinglePoints) return true;
  bool onGrid = true;
  for (int32_t i = 0; i < count; ++i) {
    if (!r.U16(list.indices[size_t(i)])) return false;
    onGrid = onGrid && list.indices[size_t(i)] < pointCount;
  }
  if (onGrid) list.count = count;
  return true;
}

// The longest 8 kHz arrival over the points.
float MaxBand6Time(const std::vector<GridPoint>& points) {
  float longest = 0;
  for (const GridPoint& p : points)
    if (p.time[6] < kNoArrivalMs) longest = std::max(longest, p.time[6]);
  return longest;
}

// The block behind the header into `result` and `list`.
bool ReadMapBody(ByteReader& r, MapResult& result, SinglePointList& list, bool& listPresent) {
  int16_t faceCount = 0;
  float half = 0;
  if (!r.I16(faceCount) || faceCount < 0 || !r.I16(result.phaseMode) || result.phaseMode < kFirstPhaseMode ||
      result.phaseMode > kLastPhaseMode || !r.F32(half) || !(half > 0 && std::isfinite(2 * half)))
    return false;
  for (uint16_t& word : result.counts.words)
    if (!r.U16(word)) return false;
  if (uint64_t(faceCount) * kMapFaceRecordSize > r.Remaining()) return false;
  result.faces.faces.resize(size_t(faceCount));
  for (MappingFace& face : result.faces.faces)
    if (!ReadFace(r, face)) return false;

  MapGrid& grid = result.grid;
  grid.spacing = 2 * half;
  uint32_t pointCount = 0;
  uint16_t band6LowBytes = 0;  // half of a float: taken again from the points
  BandRanges& ranges = grid.ranges;
  if (!r.U32(pointCount) || pointCount > kMaxGridPoints || !ReadBandValues(r, ranges.minLevel) ||
      !ReadBandValues(r, ranges.maxLevel) || !ReadBandValues(r, ranges.minTime) ||
      !ReadBandValues(r, ranges.maxTime, kBandCount - 1) || !r.U16(band6LowBytes) ||
      uint64_t(pointCount) * kMapPointRecordSize > r.Remaining())
    return false;
  grid.points.resize(pointCount);
  for (GridPoint& p : grid.points)
    if (!ReadPoint(r, faceCount, p)) return false;
  ranges.maxTime[6] = MaxBand6Time(grid.points);
  return ReadSinglePoints(r, pointCount, list, listPresent);
}

bool ReadMapHeader(ByteReader& r, std::array<uint8_t, kMapHeaderSize>& header) {
  return r.Bytes(header.data(), header.size()) && IsMapFileHeader(header);
}

}  // namespace

uint16_t LevelCode(float level) {
  if (!(level > kSilentLevel)) return 0;
  const double code = std::trunc(100.0 * std::log10(double(level)));
  return uint16_t(std::min(code, double(kMaxLevelCode)));
}

float LevelFromCode(int16_t code) {
  float level = float(std::pow(10.0, code / 100.0));
  // The nearest float may lie just below 10^(code / 100), and the code taken
  // from it again one lower: the next float up gives the code back.
  if (LevelCode(level) < code) level = std::nextafter(level, std::numeric_limits<float>::infinity());
  return level;
}

uint16_t TimeCode(float ms) {
  if (!(ms > 0)) return 0;
  return uint16_t(std::min(std::trunc(double(ms)), double(kMaxStoredTimeMs)));
}

int WriteMapFile(ByteWriter& w, const std::string& description) {
  const MapResult& result = gLevelMap.result;
  const MapGrid& grid = result.grid;
  std::array<uint8_t, kMapHeaderSize> header{};
  WriteTextField(std::span(header).subspan(0, kMapMagicSize), kMapFileMagic);
  WriteTextField(std::span(header).subspan(kMapMagicSize, kMapDescriptionLength + 1), description);
  w.Bytes(header.data(), header.size());

  w.I16(result.faces.Count());
  w.I16(result.phaseMode);
  w.F32(grid.HalfSpacing());
  for (uint16_t word : result.counts.words) w.U16(word);
  for (const MappingFace& face : result.faces.faces) {
    w.U32(0);
    for (float v : {face.normal.x, face.normal.y, face.normal.z, face.planeConstant, face.minX, face.maxX, face.minY,
                    face.maxY, face.maxZ})
      w.F32(v);
  }

  w.U32(grid.PointCount());
  WriteBandValues(w, grid.ranges.minLevel);
  WriteBandValues(w, grid.ranges.maxLevel);
  WriteBandValues(w, grid.ranges.minTime);
  WriteBandValues(w, grid.ranges.maxTime, kBandCount - 1);
  w.U16(uint16_t(std::bit_cast<uint32_t>(grid.ranges.maxTime[6])));
  for (const GridPoint& p : grid.points) {
    w.F32(p.x);
    w.F32(p.y);
    w.F32(p.z);
    for (float level : p.level) w.U16(LevelCode(level));
    for (float time : p.time) w.U16(TimeCode(time));
    w.U16(p.face);
  }

  // A list that belongs to a grid of another point count may name points
  // this grid lacks, which would make the reader refuse the whole block.
  const SinglePointList& list = gLevelMap.singlePoints;
  if (list.count > 0 && list.pointCount == grid.PointCount()) {
    const int32_t count = std::min(list.count, kMaxSinglePoints);
    w.I32(count);
    for (int32_t i = 0; i < count; ++i) w.U16(list.indices[size_t(i)]);
  }
  return w.ok() ? 1 : 0;
}

int IsMapFileHeader(std::span<const uint8_t, kMapHeaderSize> header) {
  const auto description = header.subspan(kMapMagicSize, kMapDescriptionSize);
  return ReadTextField(header.subspan(0, kMapMagicSize)) == kMapFileMagic &&
         std::find(description.begin(), description.end(), uint8_t(0)) != description.end();
}

std::string MapFileDescription(std::span<const uint8_t, kMapHeaderSize> header) {
  return ReadTextField(header.subspan(kMapMagicSize, kMapDescriptionSize));
}

int ReadMapFile(ByteReader& reader, const DesignTables& design) {
  WaitCursorScope wait;
  MapResult result;
  SinglePointList list;
  bool listPresent = false;
  if (!ReadMapBody(reader, result, list, listPresent)) return 0;
  gLevelMap.result = std::move(result);
  if (listPresent) gLevelMap.singlePoints = list;
  PrepareActiveSpeakers(gReceiverEngine.activeSpeakers, *design.model, *design.types);
  BuildCalcFaceTable(gCalcFaceTable, *design.model, *design.materials);
  return 1;
}

int SaveMapFile(const std::string& chosenPath, const std::string& description) {
  const std::string path = ForceExtension(chosenPath, kMapExtension);
  SafeFileWriter writer(path);
  if (!writer.IsOpen()) {
    ShowMessage("Can\xB4t write file to disk", nullptr, kMsgOk);
    return 0;
  }
  if (!WriteMapFile(writer, description) || !writer.Commit()) {
    ShowMessage("Couldn\xB4t write file to disk", "Disk full !", kMsgOk);
    return 0;
  }
  gLevelMap.description = description;
  return 1;
}

int LoadMapFile(const std::string& path, const DesignTables& design) {
  FileReader reader(path);
  std::array<uint8_t, kMapHeaderSize> header{};
  if (!reader.IsOpen()) {
    ShowMessage("Error reading data", nullptr, kMsgOk);
    return 0;
  }
  if (!ReadMapHeader(reader, header)) {
    ShowMessage("Not a valid map file", nullptr, kMsgOk);
    return 0;
  }
  const std::string description = MapFileDescription(header);
  if (ShowMessage(description.c_str(), "Description :", kMsgOkCancel) != kIdOk) return 0;
  if (!ReadMapFile(reader, design)) {
    ShowMessage("Error reading data", nullptr, kMsgOk);
    return 0;
  }
  gLevelMap.resultPresent = 1;
  gProject.calcOptions.phaseMode = gLevelMap.result.phaseMode;
  gLevelMap.description = description;
  return 1;
}

bool ReadMapFileBlock(ByteReader& reader, const DesignTables& design) {
  std::array<uint8_t, kMapHeaderSize> header{};
  if (!ReadMapHeader(reader, header) || !ReadMapFile(reader, design)) return false;
  gLevelMap.description = MapFileDescription(header);
  gLevelMap.resultPresent = 1;
  return true;
}

bool WriteMapFileBlock(ByteWriter& writer) { return WriteMapFile(writer, gLevelMap.description) == 1; }
