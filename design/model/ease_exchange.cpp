#include "design/model/ease_exchange.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "design/model/project.h"
#include "design/model/project_file.h"
#include "framework/core/byte_codec.h"
#include "framework/core/file_dialog_state.h"
#include "framework/core/geometry.h"
#include "framework/core/services.h"
#include "framework/core/text_encoding.h"
#include "framework/core/text_lines.h"
#include "framework/model/face_geometry.h"
#include "framework/model/layers.h"

namespace {

constexpr char kLineEnd[] = "\r\n";
constexpr double kPi = 3.141592654;
constexpr double kTwoPi = 6.283185308;

// ---- Reading lines ----

bool IsComment(std::string_view line) { return TrimBlanks(line).starts_with(';'); }

// A line split into its key and what follows the key.
struct KeyLine {
  std::string_view key;
  std::string_view rest;
};

KeyLine SplitKeyLine(std::string_view line) {
  line = TrimBlanks(line);
  if (line.starts_with('"')) {
    const size_t close = line.find('"', 1);
    if (close == std::string_view::npos) return {line.substr(1), {}};
    return {line.substr(1, close - 1), line.substr(close + 1)};
  }
  const size_t comma = line.find(',');
  if (comma == std::string_view::npos) return {line, {}};
  return {TrimBlanks(line.substr(0, comma)), line.substr(comma)};
}

bool HasKey(std::string_view line, std::string_view key) { return EqualIgnoringCase(SplitKeyLine(line).key, key); }

// The value behind a key's comma: the text in quotes up to the closing
// quote (or the line's end), else the trimmed text before any quote.
std::string_view ValueOf(std::string_view rest) {
  rest = TrimBlanks(rest);
  if (rest.starts_with(',')) rest = TrimBlanks(rest.substr(1));
  if (!rest.starts_with('"')) return TrimBlanks(rest.substr(0, rest.find('"')));
  rest.remove_prefix(1);
  return rest.substr(0, rest.find('"'));
}

// The type name of an EASE 2 name line: the field after its opening quote up
// to the closing one (or the line's end), without the blanks that pad it.
std::string_view Ease2TypeName(std::string_view line) {
  std::string_view field = TrimBlanks(line).substr(1);
  field = field.substr(0, field.find('"'));
  return field.substr(0, field.find_last_not_of(" \t") + 1);
}

// The numbers of a line, when it holds at least `count` of them.
bool NumbersOf(std::string_view text, size_t count, std::vector<float>& numbers) {
  return ParseNumbers(text, numbers) && numbers.size() >= count;
}

// The factor from a "LengthUnit" value to metres; none for an unknown unit.
std::optional<double> LengthUnitFactor(std::string_view unit) {
  if (EqualIgnoringCase(unit, "m")) return 1.0;
  if (EqualIgnoringCase(unit, "ft")) return ImperialToMetric(1.0, kUnitLength);
  return std::nullopt;
}

std::array<float, 3> ScaledPoint(const std::vector<float>& numbers, double factor) {
  return {float(numbers[0] * factor), float(numbers[1] * factor), float(numbers[2] * factor)};
}

// ---- Writing lines ----

void AppendLine(std::string& text, std::string_view line) {
  text += line;
  text += kLineEnd;
}

// `values` as "%<width>.<precision>f" each, comma-separated, each
// `repeat` times.
template <typename Values>
std::string FixedList(const Values& values, int precision, int width, int repeat = 1) {
  std::string list;
  for (const auto value : values)
    for (int i = 0; i < repeat; ++i) {
      if (!list.empty()) list += ',';
      AppendFixed(list, double(value), precision, width);
    }
  return list;
}

std::string KeyNumbersLine(std::string_view key, std::string_view numbers) {
  return FormatKeyValueLine(key, "") + std::string(numbers);
}

int WriteExchangeFile(const std::string& path, const std::string& text) {
  SafeFileWriter writer(path);
  if (!writer.IsOpen() || !writer.Bytes(text.data(), text.size()) || !writer.Commit()) {
    ShowMessage(kWriteFailedMessage, nullptr, kMsgOk);
    return 0;
  }
  return 1;
}

// ---- Angles ----

// Degrees brought into -180 .. 180.
double ReducedDegrees(double degrees) {
  degrees = std::fmod(degrees, 360.0);
  if (degrees > 180) degrees -= 360;
  else if (degrees <= -180) degrees += 360;
  return degrees;
}

// Radians in degrees as they are written: rounded to the tenth first, so
// that an angle that rounds to 180.0 is not turned into -180.0 on the next
// read and write.
double WrittenDegrees(double radians) { return ReducedDegrees(std::nearbyint(radians * 180 / kPi * 10) / 10); }

// ---- Faces ----

bool IsExportedKind(const GraphicObject* object) {
  return object && (object->kind == kKindFace || object->kind == kKindSolid);
}

// Calls visit(vertices) for every closed polygon of the exported objects,
// with its vertices in EASE order: each polygon is turned round on a copy
// of its object's items.
template <typename Visit>
void ForEachExportedFace(std::span<const GraphicObject* const> objects, Visit&& visit) {
  std::vector<ObjectVertex> vertices;
  for (const GraphicObject* object : objects) {
    if (!IsExportedKind(object)) continue;
    std::vector<ObjectItem> items(object->items, object->items + object->itemCount);
    GraphicObject copy = *object;
    copy.items = items.data();
    for (uint32_t i = 0; i < copy.itemCount; ++i) {
      if (items[i].op != kOpStart) continue;
      ReverseFacePolygon(copy, i);
      vertices.clear();
      if (WalkFaceVertices(copy, i, [&vertices](const ObjectVertex& v) { vertices.push_back(v); }) == FaceWalk::kClosed)
        visit(vertices);
    }
  }
}

void AppendVertexLine(std::string& text, const ObjectVertex& v) {
  AppendLine(text, FixedList(std::array<float, 3>{v.x, v.y, v.z}, 6, 0));
}

// The room face of `vertices` (at least 3), turned round; null when memory
// runs out.
GraphicObject* CreateRoomFace(const std::vector<ObjectVertex>& vertices) {
  const uint32_t n = uint32_t(vertices.size());
  GraphicObject* face = CreateObject(0, n, n + 1);
  if (!face) return nullptr;
  std::copy(vertices.begin(), vertices.end(), face->vertices);
  face->items[0] = {kOpStart, 0};
  face->items[1] = {kOpAttribute, 0};
  for (uint32_t i = 1; i + 1 < n; ++i) face->items[i + 1] = {kOpLineTo, uint16_t(i)};
  face->items[n] = {kOpClose, uint16_t(n - 1)};
  face->layer = kRoomLayer;
  face->colour = kRoomColour;
  face->kind = kKindFace;
  face->state = 0;
  ReverseFacePolygon(*face, 0);
  return face;
}

// Collects the vertices of one face of a file.
class FaceCollector {
 public:
  FaceCollector(FaceImport& read, size_t maxVertices) : read_(read), maxVertices_(maxVertices) {}

  bool empty() const { return vertices_.empty(); }
  size_t size() const { return vertices_.size(); }
  // Keeps the vertex of a line that holds three numbers.
  void AddLine(std::string_view line, double factor) {
    if (!NumbersOf(line, 3, numbers_)) return;
    const std::array<float, 3> p = ScaledPoint(numbers_, factor);
    if (vertices_.size() <= maxVertices_) vertices_.push_back({p[0], p[1], p[2]});
  }
  // Ends the face: created when it has 3 to maxVertices vertices, else left
  // out. False when memory ran out, which ends the import.
  bool Close() {
    const bool fits = vertices_.size() >= 3 && vertices_.size() <= maxVertices_;
    GraphicObject* face = fits ? CreateRoomFace(vertices_) : nullptr;
    vertices_.clear();
    if (!fits) ++read_.leftOut;
    if (face) AppendObjectToList(face, read_.faces.list());
    return !fits || face;
  }

 private:
  FaceImport& read_;
  size_t maxVertices_;
  std::vector<ObjectVertex> vertices_;
  std::vector<float> numbers_;
};

using FaceReader = FaceImport (*)(const std::vector<std::string>&);

int ImportFaces(const std::string& path, ObjectList& model, FaceReader readFaces) {
  std::vector<std::string> lines;
  switch (ReadTextLines(path, lines)) {
    case TextFileResult::kNotOpened: return -1;
    case TextFileResult::kTooLarge: ShowMessage(kInvalidFileFormatMessage, nullptr, kMsgOk); return 0;
    case TextFileResult::kRead: break;
  }
  FaceImport read = readFaces(lines);
  ShowEaseReadMessages(read.refusal, read.leftOut);
  if (read.refusal) return 0;
  const bool any = !read.faces.empty();
  InsertImportedFaces(read, model);
  if (any) RequestRedraw();
  return 1;
}

// ---- Loudspeakers ----

// The band levels as written: 10 log10(intensity factor), 0 where that is
// negative (or the band has no intensity).
std::array<double, kBandCount> WrittenLevels(const Loudspeaker& speaker) {
  std::array<double, kBandCount> levels;
  for (size_t b = 0; b < levels.size(); ++b) {
    const double level = 10 * std::log10(double(speaker.intensity[b]));
    levels[b] = level > 0 ? level : 0;
  }
  return levels;
}

std::string WrittenAngles(const Loudspeaker& speaker) {
  const EaseAngles angles = EaseAnglesOf(speaker);
  return FixedList(std::array{angles.vertical, angles.horizontal, angles.rotation}, 1, 3);
}

void AppendEase3Speaker(std::string& text, const ExchangeSpeaker& s, size_t number) {
  const Loudspeaker& speaker = s.speaker;
  AppendLine(text, FormatKeyValueLine("Label", "S" + std::to_string(number)));
  AppendLine(text, KeyNumbersLine("Position", FixedList(speaker.position, 2, 4)));
  AppendLine(text, KeyNumbersLine("Ver/Hor/Rot", WrittenAngles(speaker)));
  AppendLine(text, FormatKeyValueLine("Speaker", s.typeName));
  AppendLine(text, KeyNumbersLine("Delay/Align", FixedList(std::array{speaker.delay, 0.0f}, 6, 0)));
  AppendLine(text, KeyNumbersLine("dB 1m", FixedList(WrittenLevels(speaker), 1, 3, 3)));
  AppendLine(text, KeyNumbersLine("Watts", FixedList(speaker.power, 1, 5, 3)));
}

// The largest band power becomes the nominal power.
void SetReadPowers(Loudspeaker& speaker, const std::array<float, kBandCount>& power) {
  speaker.power = power;
  speaker.nominalPower = *std::max_element(power.begin(), power.end());
}

using SpeakerReader = EaseSpeakerImport (*)(const std::vector<std::string>&, uint32_t);

int ImportSpeakers(const std::string& path, const SpeakerImportLinks& links, SpeakerReader readSpeakers) {
  std::vector<std::string> lines;
  switch (ReadTextLines(path, lines)) {
    case TextFileResult::kNotOpened: return -1;
    case TextFileResult::kTooLarge: ShowMessage(kInvalidFileFormatMessage, nullptr, kMsgOk); return 0;
    case TextFileResult::kRead: break;
  }
  EaseSpeakerImport read = readSpeakers(lines, SpeakerRoom());
  ShowEaseReadMessages(read.refusal, read.leftOut, read.limitReached);
  if (read.refusal) return 0;
  for (ExchangeSpeaker& speaker : read.speakers) AddImportedSpeaker(speaker, links);
  return 1;
}

// The equaliser gains that give the read band powers on `type`.
void DeriveGainsFromPowers(Loudspeaker& speaker, const SpeakerType& type) {
  for (int b = 0; b < kBandCount; ++b) {
    const double power = speaker.power[size_t(b)];
    const double rated = type.RatedPower(b);
    double gain = kBandOffGain;
    if (power > 0) gain = rated > 0 ? std::clamp(10 * std::log10(power / rated), double(kBandOffGain), 0.0) : 0.0;
    speaker.eqGain[size_t(b)] = float(gain);
  }
}

}  // namespace

std::string FormatKeyValueLine(std::string_view key, std::string_view value) {
  std::string line = "\"" + std::string(key) + "\",";
  if (!value.empty()) line += "\"" + std::string(value) + "\"";
  return line;
}

// ---- Angles ----

EaseAngles EaseAnglesOf(const Loudspeaker& speaker) {
  return {WrittenDegrees(speaker.vertical), ReducedDegrees(WrittenDegrees(speaker.horizontal) + 90),
          WrittenDegrees(speaker.rotation)};
}

void SetAnglesFromEase(Loudspeaker& speaker, const EaseAngles& angles) {
  double horizontal = (ReducedDegrees(angles.horizontal) - 90) * kPi / 180;
  if (horizontal < -kPi) horizontal += kTwoPi;
  speaker.vertical = float(ReducedDegrees(angles.vertical) * kPi / 180);
  speaker.horizontal = float(horizontal);
  speaker.rotation = float(ReducedDegrees(angles.rotation) * kPi / 180);
}

// ---- Faces ----

std::string FormatFacesEase3(std::span<const GraphicObject* const> objects) {
  std::string text;
  AppendLine(text, FormatKeyValueLine("Filetype", "Faces"));
  AppendLine(text, KeyNumbersLine("Format", "3,0"));
  AppendLine(text, FormatKeyValueLine("LengthUnit", "m"));
  ForEachExportedFace(objects, [&text](const std::vector<ObjectVertex>& vertices) {
    AppendLine(text, FormatKeyValueLine("Material", "Absorber"));
    for (const ObjectVertex& v : vertices) AppendVertexLine(text, v);
    AppendLine(text, "\"End\"");
  });
  return text;
}

bool FormatFacesEase2(std::span<const GraphicObject* const> objects, std::string& text) {
  text.clear();
  bool fits = true;
  ForEachExportedFace(objects, [&](const std::vector<ObjectVertex>& vertices) {
    fits = fits && vertices.size() <= size_t(kEase2FaceLines);
    if (!fits) return;
    for (const ObjectVertex& v : vertices) AppendVertexLine(text, v);
    for (size_t line = vertices.size(); line < size_t(kEase2FaceLines); ++line) AppendLine(text, "0");
  });
  return fits;
}

int ExportFacesEase3(const std::string& path, std::span<const GraphicObject* const> objects) {
  if (objects.empty()) return -1;
  return WriteExchangeFile(ForceExtension(path, kEase3FaceExtension), FormatFacesEase3(objects));
}

int ExportFacesEase2(const std::string& path, std::span<const GraphicObject* const> objects) {
  if (objects.empty()) return -1;
  std::string text;
  if (!FormatFacesEase2(objects, text)) {
    ShowMessage(kEase2FaceTooLargeMessage, nullptr, kMsgOk);
    return 0;
  }
  return WriteExchangeFile(ForceExtension(path, kEase2ExportExtension), text);
}

FaceImport ReadFacesEase3(const std::vector<std::string>& lines) {
  FaceImport read;
  size_t i = 0;
  while (i < lines.size() && (IsComment(lines[i]) || !HasKey(lines[i], "LengthUnit"))) ++i;
  if (i == lines.size()) {
    read.refusal = kEase3HeaderMissingMessage;
    return read;
  }
  const std::optional<double> factor = LengthUnitFactor(ValueOf(SplitKeyLine(lines[i]).rest));
  if (!factor) {
    read.refusal = kEaseLengthUnitMessage;
    return read;
  }
  FaceCollector face(read, size_t(kEase3MaxFaceVertices));
  bool open = false;
  for (++i; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    if (IsComment(line)) continue;
    if (!open) {
      open = HasKey(line, "Material");
    } else if (HasKey(line, "End")) {
      open = false;
      if (!face.Close()) return read;
    } else {
      face.AddLine(line, *factor);
    }
  }
  if (open) ++read.leftOut;
  return read;
}

FaceImport ReadFacesEase2(const std::vector<std::string>& lines) {
  FaceImport read;
  FaceCollector face(read, size_t(kEase2FaceLines));
  for (const std::string& line : lines) {
    if (IsComment(line)) continue;
    if (TrimBlanks(line) == "0") {
      if (!face.empty() && !face.Close()) return read;
      continue;
    }
    face.AddLine(line, 1.0);
    if (face.size() == size_t(kEase2FaceLines) && !face.Close()) return read;
  }
  if (!face.empty()) face.Close();
  return read;
}

void ShowEaseReadMessages(const char* refusal, uint32_t leftOut, bool limitReached) {
  if (refusal) {
    ShowMessage(refusal, nullptr, kMsgOk);
    return;
  }
  if (limitReached) ShowSpeakerLimitMessage();
  if (leftOut) {
    char text[64];
    std::snprintf(text, sizeof text, kObjectsLeftOutMessage, leftOut);
    ShowMessage(text, nullptr, kMsgOk);
  }
}

void InsertImportedFaces(FaceImport& read, ObjectList& model) {
  ObjectList& faces = read.faces.list();
  if (!faces.first) return;
  while (GraphicObject* face = faces.first) {
    UnlinkObjectFromList(face, faces);
    InsertObjectBeforeInList(face, model.first, model);
  }
  gProject.modified = 1;
}

int ImportFacesEase3(const std::string& path, ObjectList& model) { return ImportFaces(path, model, ReadFacesEase3); }

int ImportFacesEase2(const std::string& path, ObjectList& model) { return ImportFaces(path, model, ReadFacesEase2); }

// ---- Loudspeakers ----

std::vector<ExchangeSpeaker> ExchangeSpeakersOf(const ObjectList& model, const SpeakerTypeTable& types) {
  std::vector<ExchangeSpeaker> speakers;
  for (GraphicObject* object = model.first; object; object = object->next) {
    ExchangeSpeaker s;
    if (!ReadLoudspeaker(object, s.speaker)) continue;
    if (const SpeakerType* type = types.At(s.speaker.typeIndex)) s.typeName = type->TypeName();
    speakers.push_back(std::move(s));
  }
  return speakers;
}

std::string FormatSpeakersEase3(std::span<const ExchangeSpeaker> speakers) {
  std::string text;
  AppendLine(text, FormatKeyValueLine("Filetype", "Loudspeakers"));
  AppendLine(text, KeyNumbersLine("Format", "3.0"));
  AppendLine(text, FormatKeyValueLine("LengthUnit", "m"));
  for (size_t i = 0; i < speakers.size(); ++i) AppendEase3Speaker(text, speakers[i], i + 1);
  return text;
}

std::string FormatSpeakersEase2(std::span<const ExchangeSpeaker> speakers) {
  std::string text;
  for (const ExchangeSpeaker& s : speakers) {
    const Loudspeaker& speaker = s.speaker;
    std::string name = "\"" + s.typeName;
    name.resize(std::max<size_t>(name.size(), 11), ' ');
    AppendLine(text, FixedList(speaker.position, 2, 4));
    AppendLine(text, WrittenAngles(speaker));
    AppendLine(text, name + "\"");
    AppendLine(text, FixedList(std::array{speaker.delay, 0.0f}, 6, 0));
    AppendLine(text, FixedList(WrittenLevels(speaker), 1, 3));
    AppendLine(text, FixedList(speaker.power, 1, 5));
  }
  return text;
}

int ExportSpeakersEase3(const std::string& path, const ObjectList& model, const SpeakerTypeTable& types) {
  const std::vector<ExchangeSpeaker> speakers = ExchangeSpeakersOf(model, types);
  if (speakers.empty()) return -1;
  return WriteExchangeFile(ForceExtension(path, kEase3SpeakerExtension), FormatSpeakersEase3(speakers));
}

int ExportSpeakersEase2(const std::string& path, const ObjectList& model, const SpeakerTypeTable& types) {
  const std::vector<ExchangeSpeaker> speakers = ExchangeSpeakersOf(model, types);
  if (speakers.empty()) return -1;
  return WriteExchangeFile(ForceExtension(path, kEase2ExportExtension), FormatSpeakersEase2(speakers));
}

EaseSpeakerImport ReadSpeakersEase3(const std::vector<std::string>& lines, uint32_t room) {
  enum Seen : unsigned { kPosition = 1, kAngles = 2, kType = 4, kDelay = 8, kWatts = 16, kComplete = 31 };
  EaseSpeakerImport read;
  double factor = 1.0;
  std::optional<ExchangeSpeaker> pending;
  unsigned seen = 0;
  bool damaged = false;
  auto finish = [&] {
    if (!pending) return;
    if (seen == kComplete && !damaged) read.speakers.push_back(std::move(*pending));
    else ++read.leftOut;
    pending.reset();
  };
  std::vector<float> n;
  for (const std::string& line : lines) {
    if (IsComment(line)) continue;
    const KeyLine keyLine = SplitKeyLine(line);
    const std::string_view key = keyLine.key;
    if (EqualIgnoringCase(key, "LengthUnit")) {
      const std::optional<double> unit = LengthUnitFactor(ValueOf(keyLine.rest));
      if (!unit) return {{}, kEaseLengthUnitMessage};
      factor = *unit;
    } else if (EqualIgnoringCase(key, "Label")) {
      finish();
      if (read.speakers.size() >= room) {
        read.limitReached = true;
        return read;
      }
      pending.emplace();
      seen = 0;
      damaged = false;
    } else if (!pending) {
      continue;
    } else if (EqualIgnoringCase(key, "Position")) {
      seen |= kPosition;
      damaged |= !NumbersOf(keyLine.rest, 3, n);
      if (!damaged) pending->speaker.position = ScaledPoint(n, factor);
    } else if (EqualIgnoringCase(key, "Ver/Hor/Rot")) {
      seen |= kAngles;
      damaged |= !NumbersOf(keyLine.rest, 3, n);
      if (!damaged) SetAnglesFromEase(pending->speaker, {n[0], n[1], n[2]});
    } else if (EqualIgnoringCase(key, "Speaker")) {
      seen |= kType;
      pending->typeName = std::string(ValueOf(keyLine.rest));
    } else if (EqualIgnoringCase(key, "Delay/Align")) {
      seen |= kDelay;
      damaged |= !NumbersOf(keyLine.rest, 1, n);
      if (!damaged) pending->speaker.delay = n[0];
    } else if (EqualIgnoringCase(key, "Watts")) {
      seen |= kWatts;
      damaged |= !NumbersOf(keyLine.rest, 3 * kBandCount, n);
      std::array<float, kBandCount> power{};
      if (!damaged) {
        for (int b = 0; b < kBandCount; ++b) power[size_t(b)] = n[size_t(3 * b + 1)];
        SetReadPowers(pending->speaker, power);
      }
    }
  }
  finish();
  return read;
}

EaseSpeakerImport ReadSpeakersEase2(const std::vector<std::string>& lines, uint32_t room) {
  constexpr size_t kGroupLines = 6;
  EaseSpeakerImport read;
  std::vector<std::string_view> content;
  for (const std::string& line : lines)
    if (!IsComment(line) && !TrimBlanks(line).empty()) content.push_back(line);

  std::vector<float> n;
  for (size_t first = 0; first < content.size(); first += kGroupLines) {
    if (content.size() - first < kGroupLines) {
      ++read.leftOut;
      break;
    }
    if (read.speakers.size() >= room) {
      read.limitReached = true;
      break;
    }
    const std::string_view* group = &content[first];
    ExchangeSpeaker s;
    Loudspeaker& speaker = s.speaker;
    bool good = NumbersOf(group[0], 3, n);
    if (good) speaker.position = ScaledPoint(n, 1.0);
    good = good && NumbersOf(group[1], 3, n);
    if (good) SetAnglesFromEase(speaker, {n[0], n[1], n[2]});
    s.typeName = std::string(Ease2TypeName(group[2]));
    good = good && NumbersOf(group[3], 1, n);
    if (good) speaker.delay = n[0];
    good = good && NumbersOf(group[4], kBandCount, n);
    for (int b = 0; good && b < kBandCount; ++b) {
      const float factor = float(std::pow(10.0, 0.1 * n[size_t(b)]));
      good = std::isfinite(factor);
      speaker.intensity[size_t(b)] = factor;
    }
    good = good && NumbersOf(group[5], kBandCount, n);
    if (!good) {
      ++read.leftOut;
      continue;
    }
    std::array<float, kBandCount> power;
    std::copy_n(n.begin(), kBandCount, power.begin());
    SetReadPowers(speaker, power);
    read.speakers.push_back(std::move(s));
  }
  return read;
}

int AddImportedSpeaker(ExchangeSpeaker& imported, const SpeakerImportLinks& links) {
  Loudspeaker& speaker = imported.speaker;
  SpeakerTypeTable& types = gSpeakerModel.types;
  bool gainsGiven = false;
  if (LinkSpeakerType(imported.typeName, types, links.loadType, speaker.typeIndex) != SpeakerTypeLink::kLinked) {
    const std::array<float, kBandCount> gains = speaker.eqGain;
    std::string picked = imported.typeName;
    if (!links.pickType || !links.pickType(speaker, picked)) return 0;
    const SpeakerTypeLink link = LinkSpeakerType(picked, types, links.loadType, speaker.typeIndex);
    if (link != SpeakerTypeLink::kLinked) {
      ShowSpeakerTypeLinkFailure(link);
      return 0;
    }
    imported.typeName = picked;
    gainsGiven = speaker.eqGain != gains;
  }
  const SpeakerType& type = *types.At(speaker.typeIndex);
  if (!type.shape && !gSpeakerModel.defaultSymbol) return 0;
  speaker.on = 1;
  if (!gainsGiven) DeriveGainsFromPowers(speaker, type);
  UpdateSpeakerBandPower(speaker, type);
  GraphicObject* object = CreateObject(uint32_t(kLoudspeakerSize), 0, 0);
  if (!object) {
    ShowMessage("Insufficient Memory", nullptr, kMsgOk);
    return 0;
  }
  object->layer = kLoudspeakerLayer;
  // A failed build has freed the object and shown its message.
  if (BuildSpeakerSymbol(speaker, object, true) != 1) return 0;
  gProject.modified = 65535;
  return 1;
}

int ImportSpeakersEase3(const std::string& path, const SpeakerImportLinks& links) {
  return ImportSpeakers(path, links, ReadSpeakersEase3);
}

int ImportSpeakersEase2(const std::string& path, const SpeakerImportLinks& links) {
  return ImportSpeakers(path, links, ReadSpeakersEase2);
}
