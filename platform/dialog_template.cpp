// Reading dialog templates: one line a statement, '#' starts a comment.
//   dialog <width> <height> "<caption>" [at <x> <y>] [child] [nocaption] [hidden] [bold]
//   <kind> <id> ["<text>"] <x> <y> <width> <height> [options]
// (resources/README.md gives the kinds and options).
#include <cctype>
#include <charconv>
#include <set>

#include "platform/dialog.h"
#include "platform/dialog_internal.h"

namespace platform {
namespace detail {
namespace {

struct Token {
  std::string text;
  bool quoted = false;
};

// Splits a line into words and quoted texts ("\"", "\\" and "\t" escape).
bool Tokenise(std::string_view line, std::vector<Token>& tokens, std::string& error) {
  std::size_t at = 0;
  while (at < line.size()) {
    char c = line[at];
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++at;
    } else if (c == '#') {
      break;
    } else if (c == '"') {
      Token token{{}, true};
      for (++at; at < line.size() && line[at] != '"'; ++at) {
        if (line[at] == '\\' && at + 1 < line.size()) {
          char next = line[++at];
          token.text += next == 't' ? '\t' : next;
        } else {
          token.text += line[at];
        }
      }
      if (at >= line.size()) {
        error = "a text without its closing quote";
        return false;
      }
      ++at;
      tokens.push_back(std::move(token));
    } else {
      std::size_t start = at;
      while (at < line.size() && !std::isspace(static_cast<unsigned char>(line[at])) && line[at] != '"' &&
             line[at] != '#')
        ++at;
      tokens.push_back({std::string(line.substr(start, at - start)), false});
    }
  }
  return true;
}

class LineReader {
 public:
  explicit LineReader(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}
  bool AtEnd() const { return next_ >= tokens_.size(); }
  bool PeekQuoted() const { return !AtEnd() && tokens_[next_].quoted; }
  bool PeekNumber() const {
    if (AtEnd() || tokens_[next_].quoted) return false;
    int value = 0;
    const std::string& t = tokens_[next_].text;
    auto [end, fault] = std::from_chars(t.data(), t.data() + t.size(), value);
    return fault == std::errc() && end == t.data() + t.size();
  }
  bool Number(int& value, std::string& error, const char* what) {
    if (!PeekNumber()) {
      error = std::string("expected ") + what;
      return false;
    }
    const std::string& t = tokens_[next_++].text;
    std::from_chars(t.data(), t.data() + t.size(), value);
    return true;
  }
  std::string Word() { return AtEnd() || tokens_[next_].quoted ? std::string() : tokens_[next_++].text; }
  std::string Quoted() { return tokens_[next_++].text; }

 private:
  std::vector<Token> tokens_;
  std::size_t next_ = 0;
};

bool TypeOf(const std::string& word, ControlType& type) {
  static const std::pair<const char*, ControlType> kKinds[] = {
      {"label", ControlType::kLabel},
      {"edit", ControlType::kEdit},
      {"button", ControlType::kButton},
      {"check", ControlType::kCheck},
      {"radio", ControlType::kRadio},
      {"groupbox", ControlType::kGroupBox},
      {"list", ControlType::kList},
      {"combo", ControlType::kCombo},
      {"hscroll", ControlType::kHorizontalScroll},
      {"vscroll", ControlType::kVerticalScroll},
      {"ownerdraw", ControlType::kOwnerDraw},
  };
  for (const auto& [name, t] : kKinds)
    if (word == name) {
      type = t;
      return true;
    }
  return false;
}

// One option of a control; false for an option its kind does not take.
bool ControlOption(const std::string& word, LineReader& reader, ControlTemplate& c, std::string& error) {
  if (word == "disabled") return c.disabled = true;
  if (word == "hidden") return c.hidden = true;
  bool text = c.type == ControlType::kLabel || c.type == ControlType::kEdit;
  if (text && (word == "left" || word == "centre" || word == "right")) {
    c.align = word == "left" ? Align::kLeft : word == "centre" ? Align::kCentre : Align::kRight;
    return true;
  }
  switch (c.type) {
    case ControlType::kLabel:
      if (word == "border") return c.border = true;
      break;
    case ControlType::kEdit:
      if (word == "readonly") return c.readOnly = true;
      if (word == "multiline") return c.multiline = true;
      if (word == "password") return c.password = true;
      if (word == "limit") {
        if (!reader.Number(c.limit, error, "a length after limit")) return false;
        if (c.limit >= 0) return true;
        error = "a limit below 0";
        return false;
      }
      break;
    case ControlType::kButton:
      if (word == "default") return c.isDefault = true;
      if (word == "cancel") return c.isCancel = true;
      break;
    case ControlType::kRadio:
      if (word == "group") return c.group = true;
      break;
    case ControlType::kList:
      if (word == "sort") return c.sort = true;
      if (word == "tabs") {
        while (reader.PeekNumber()) {
          int stop = 0;
          reader.Number(stop, error, "a tab stop");
          c.tabs.push_back(stop);
        }
        if (!c.tabs.empty()) return true;
        error = "expected tab stops after tabs";
        return false;
      }
      break;
    case ControlType::kCombo:
      if (word == "sort") return c.sort = true;
      if (word == "editable") return c.editable = true;
      break;
    default: break;
  }
  if (error.empty()) error = "unknown option '" + word + "'";
  return false;
}

bool ParseControl(LineReader& reader, ControlType type, ControlTemplate& c, std::string& error) {
  c.type = type;
  if (!reader.Number(c.id, error, "a control id")) return false;
  if (c.id < -1 || c.id > 0xFFFF) {
    error = "the id must be -1 or 0 to 65535";
    return false;
  }
  if (reader.PeekQuoted()) c.text = reader.Quoted();
  if (!reader.Number(c.x, error, "x") || !reader.Number(c.y, error, "y") || !reader.Number(c.width, error, "a width") ||
      !reader.Number(c.height, error, "a height"))
    return false;
  if (c.width < 0 || c.height < 0) {
    error = "a size below 0";
    return false;
  }
  while (!reader.AtEnd()) {
    std::string word = reader.Word();
    if (word.empty()) {
      error = "a text where an option belongs";
      return false;
    }
    if (!ControlOption(word, reader, c, error)) return false;
  }
  return true;
}

bool ParseHeader(LineReader& reader, DialogTemplate& d, std::string& error) {
  if (!reader.Number(d.width, error, "the dialog's width") || !reader.Number(d.height, error, "the dialog's height"))
    return false;
  if (d.width < 1 || d.height < 1) {
    error = "a dialog size below 1";
    return false;
  }
  if (!reader.PeekQuoted()) {
    error = "expected the caption";
    return false;
  }
  d.caption = reader.Quoted();
  while (!reader.AtEnd()) {
    std::string word = reader.Word();
    if (word == "at") {
      d.positioned = true;
      if (!reader.Number(d.x, error, "x after at") || !reader.Number(d.y, error, "y after at")) return false;
    } else if (word == "child") {
      d.child = true;
    } else if (word == "nocaption") {
      d.noCaption = true;
    } else if (word == "hidden") {
      d.hidden = true;
    } else if (word == "bold") {
      d.bold = true;
    } else {
      error = "unknown dialog option '" + word + "'";
      return false;
    }
  }
  return true;
}

// Rules across the lines: ids unique, one default and one Cancel button.
bool CheckWhole(const DialogTemplate& d, std::string& error, int& line, const std::vector<int>& lines) {
  std::set<int> ids;
  int defaults = 0, cancels = 0;
  for (std::size_t i = 0; i < d.controls.size(); ++i) {
    const ControlTemplate& c = d.controls[i];
    line = lines[i];
    if (c.id != -1 && !ids.insert(c.id).second) {
      error = "id " + std::to_string(c.id) + " used twice";
      return false;
    }
    if ((defaults += c.isDefault) > 1 || (cancels += c.isCancel) > 1) {
      error = "a second default or Cancel button";
      return false;
    }
  }
  return true;
}

}  // namespace

bool ParseDialogTemplate(std::string_view text, DialogTemplate& out, std::string& error) {
  DialogTemplate d;
  bool header = false;
  std::vector<int> controlLines;
  int lineNumber = 0;
  std::size_t start = 0;
  auto fail = [&](const std::string& why) {
    error = "line " + std::to_string(lineNumber) + ": " + why;
    return false;
  };
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    std::vector<Token> tokens;
    std::string why;
    if (!Tokenise(line, tokens, why)) return fail(why);
    if (tokens.empty()) continue;
    if (tokens[0].quoted) return fail("a line must start with a word");
    std::string word = tokens[0].text;
    tokens.erase(tokens.begin());
    LineReader reader(std::move(tokens));
    if (word == "dialog") {
      if (header) return fail("a second dialog line");
      if (!ParseHeader(reader, d, why)) return fail(why);
      header = true;
      continue;
    }
    ControlType type;
    if (!TypeOf(word, type)) return fail("unknown control kind '" + word + "'");
    if (!header) return fail("a control before the dialog line");
    ControlTemplate control;
    if (!ParseControl(reader, type, control, why)) return fail(why);
    d.controls.push_back(std::move(control));
    controlLines.push_back(lineNumber);
  }
  if (!header) {
    lineNumber = 1;
    return fail("no dialog line");
  }
  std::string why;
  if (!CheckWhole(d, why, lineNumber, controlLines)) return fail(why);
  out = std::move(d);
  return true;
}

}  // namespace detail

std::string CheckDialogTemplate(std::string_view text) {
  detail::DialogTemplate unused;
  std::string error;
  return detail::ParseDialogTemplate(text, unused, error) ? std::string() : error;
}

}  // namespace platform
