// Builds the example absorber database from the readable material table.
//
//   example_absorber_database <materials.json> <output.KAB>
//
// The table's "absorption" object holds categories, each an object of
// materials {"description": text, "coeffs": [125 Hz .. 8 kHz]}. Every
// material becomes one record, in the table's order: its key as the name
// (underscores as spaces, first letter capital; keys longer than a name's
// 21 characters take the short name below), its description cut at a word
// to 79 characters, its category (up to 79) and its seven coefficients.
// Sets of six values lack 8 kHz: the record takes the 4 kHz value there, as
// absorption changes little between the two top octaves. Texts are turned
// into code page 1252. The file is written by the suite's own writer.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "design/model/absorber_database.h"
#include "framework/core/text_encoding.h"

namespace {

constexpr size_t kNameLength = 21, kTextLength = 79;

// Names for the keys that do not fit 21 characters.
const std::map<std::string, std::string> kShortNames = {
    {"smooth_brickwork_flush_pointing", "Brick flush pointed"},
    {"smooth_brickwork_10mm_pointing", "Brick 10mm pointing"},
    {"carpet_6mm_closed_cell_foam", "Carpet on closed foam"},
    {"carpet_6mm_open_cell_foam", "Carpet on open foam"},
    {"curtains_densely_woven", "Curtains dense woven"},
    {"curtains_fabric_folded", "Curtain fabric folded"},
    {"chairs_unoccupied_plastic", "Plastic chairs empty"},
    {"chairs_medium_upholstered", "Chairs medium uphol."},
    {"chairs_heavy_upholstered", "Chairs heavy uphol."},
    {"chairs_upholstered_cloth", "Chairs cloth cover"},
    {"chairs_upholstered_leather", "Chairs leather cover"},
    {"chairs_upholstered_moderate", "Chairs moderate uphol"},
    {"audience_orchestra_choir", "Audience orch. choir"},
    {"audience_wooden_chairs_1_m2", "Audience wood 1/m2"},
    {"audience_wooden_chairs_2_m2", "Audience wood 2/m2"},
    {"audience_upholstered_chairs_1", "Audience uphol. 1"},
    {"audience_upholstered_chairs_2", "Audience uphol. 2"},
    {"panel_fabric_covered_6pcf", "Fabric panel 6 pcf"},
    {"panel_fabric_covered_8pcf", "Fabric panel 8 pcf"},
    {"acoustical_plaster_25mm", "Acoustic plaster 25mm"},
    {"mineral_wool_50mm_40kgm3", "Mineral wool 50mm/40"},
    {"mineral_wool_50mm_70kgm3", "Mineral wool 50mm/70"},
    {"perforated_veneered_chipboard", "Perforated chipboard"},
    {"ceiling_fibre_absorber", "Ceiling fibre absorb."},
    {"ceiling_perforated_gypsum_board", "Ceiling perf. gypsum"},
    {"microperforated_foil_kaefer", "Microperforated foil"},
    {"microperforated_glass_sheets", "Microperforated glass"},
    {"hanging_absorber_panels_1", "Hanging absorbers 400"},
    {"hanging_absorber_panels_2", "Hanging absorbers 700"},
};

// The part of JSON the table uses: objects (members kept in order), arrays,
// strings and numbers. A member is a record of its own: a std::pair of a
// type not yet complete does not build with every standard library.
struct JsonMember;

struct Json {
  enum Kind { kNull, kNumber, kString, kArray, kObject } kind = kNull;
  double number = 0;
  std::string text;  // UTF-8
  std::vector<Json> items;
  std::vector<JsonMember> members;

  const Json* Member(const std::string& key) const;
};

struct JsonMember {
  std::string name;
  Json value;
};

const Json* Json::Member(const std::string& key) const {
  for (const auto& [name, value] : members)
    if (name == key) return &value;
  return nullptr;
}

class JsonParser {
 public:
  explicit JsonParser(std::string text) : s_(std::move(text)) {}

  bool Parse(Json& out) {
    if (!Value(out)) return false;
    Blank();
    return pos_ == s_.size();
  }
  size_t Position() const { return pos_; }

 private:
  void Blank() {
    while (pos_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[pos_]))) ++pos_;
  }
  bool Take(char c) {
    Blank();
    if (pos_ < s_.size() && s_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }
  bool Value(Json& out) {
    Blank();
    if (pos_ >= s_.size()) return false;
    const char c = s_[pos_];
    if (c == '{') return Object(out);
    if (c == '[') return Array(out);
    if (c == '"') {
      out.kind = Json::kString;
      return String(out.text);
    }
    out.kind = Json::kNumber;
    char* end = nullptr;
    out.number = std::strtod(s_.c_str() + pos_, &end);
    if (end == s_.c_str() + pos_) return false;
    pos_ = size_t(end - s_.c_str());
    return true;
  }
  bool Object(Json& out) {
    out.kind = Json::kObject;
    Take('{');
    if (Take('}')) return true;
    do {
      std::string key;
      Json value;
      Blank();
      if (!String(key) || !Take(':') || !Value(value)) return false;
      out.members.push_back({std::move(key), std::move(value)});
    } while (Take(','));
    return Take('}');
  }
  bool Array(Json& out) {
    out.kind = Json::kArray;
    Take('[');
    if (Take(']')) return true;
    do {
      Json value;
      if (!Value(value)) return false;
      out.items.push_back(std::move(value));
    } while (Take(','));
    return Take(']');
  }
  bool String(std::string& out) {
    if (pos_ >= s_.size() || s_[pos_] != '"') return false;
    for (++pos_; pos_ < s_.size(); ++pos_) {
      char c = s_[pos_];
      if (c == '"') {
        ++pos_;
        return true;
      }
      if (c != '\\') {
        out += c;
        continue;
      }
      if (++pos_ >= s_.size()) return false;
      switch (s_[pos_]) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        default: return false;  // the table needs no other escape
      }
    }
    return false;
  }

  std::string s_;
  size_t pos_ = 0;
};

std::string NameOfKey(const std::string& key) {
  auto shortName = kShortNames.find(key);
  if (shortName != kShortNames.end()) return shortName->second;
  std::string name = key;
  for (char& c : name)
    if (c == '_') c = ' ';
  if (!name.empty()) name[0] = char(std::toupper(static_cast<unsigned char>(name[0])));
  return name;
}

// At most `length` characters, cut after the last whole word that fits.
std::string CutAtWord(std::string text, size_t length) {
  if (text.size() <= length) return text;
  size_t cut = text.rfind(' ', length);
  text.resize(cut == std::string::npos ? length : cut);
  while (!text.empty() && (text.back() == ',' || text.back() == ' ')) text.pop_back();
  return text;
}

bool Fail(const std::string& what) {
  std::fprintf(stderr, "example_absorber_database: %s\n", what.c_str());
  return false;
}

bool BuildDatabase(const Json& table, AbsorberDatabase& database) {
  const Json* absorption = table.Member("absorption");
  if (!absorption || absorption->kind != Json::kObject) return Fail("no \"absorption\" object");
  std::set<std::string> names;
  for (const auto& [category, materials] : absorption->members) {
    for (const auto& [key, material] : materials.members) {
      const Json* description = material.Member("description");
      const Json* coeffs = material.Member("coeffs");
      if (!description || !coeffs || coeffs->items.size() < kAbsorberBandCount - 1 ||
          coeffs->items.size() > kAbsorberBandCount)
        return Fail("material " + key + " lacks its description or coefficients");
      if (database.count >= kMaxAbsorberRecords) return Fail("more than 200 materials");
      AbsorberRecord& record = database.records[database.count++];
      record.name = Utf8ToCp1252(NameOfKey(key));
      record.description = CutAtWord(Utf8ToCp1252(description->text), kTextLength);
      record.category = Utf8ToCp1252(category);
      if (record.name.size() > kNameLength || record.category.size() > kTextLength)
        return Fail("name or category of " + key + " too long");
      if (!names.insert(record.name).second) return Fail("name " + record.name + " twice");
      for (int band = 0; band < kAbsorberBandCount; ++band) {
        const size_t from = std::min(size_t(band), coeffs->items.size() - 1);  // 8 kHz missing: the 4 kHz value
        const double value = coeffs->items[from].number;
        if (coeffs->items[from].kind != Json::kNumber || value < 0 || value > 1)
          return Fail("coefficient of " + key + " not within 0..1");
        record.absorption[band] = float(value);
      }
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: example_absorber_database <materials.json> <output.KAB>\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  if (!in) {
    Fail(std::string("cannot read ") + argv[1]);
    return 1;
  }
  JsonParser parser(text.str());
  Json table;
  if (!parser.Parse(table)) {
    Fail("bad JSON near byte " + std::to_string(parser.Position()));
    return 1;
  }
  auto database = std::make_unique<AbsorberDatabase>();
  if (!BuildDatabase(table, *database)) return 1;
  return WriteAbsorberDatabaseFile(argv[2], *database) == 1 ? 0 : 1;
}
