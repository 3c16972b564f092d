#include "framework/core/text_lines.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "framework/core/byte_codec.h"
#include "framework/core/text_encoding.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The number that begins at `pos` (no blanks skipped) in double precision
// and within a float's range; kNumber moves `pos` behind it.
NumberScan ScanNumber(std::string_view text, size_t& pos, double& value) {
  size_t p = pos;
  bool negative = false;
  if (p < text.size() && (text[p] == '+' || text[p] == '-')) negative = text[p++] == '-';
  // from_chars takes no '+' and reads "inf" and "nan": only digits may follow.
  const bool digits =
      p < text.size() && (IsDigit(text[p]) || (text[p] == '.' && p + 1 < text.size() && IsDigit(text[p + 1])));
  if (!digits) return NumberScan::kNone;
  double magnitude = 0;
  const auto [end, error] = std::from_chars(text.data() + p, text.data() + text.size(), magnitude);
  if (error != std::errc() || !(magnitude <= std::numeric_limits<float>::max())) return NumberScan::kRefused;
  value = negative ? -magnitude : magnitude;
  pos = size_t(end - text.data());
  return NumberScan::kNumber;
}

NumberScan ScanNumber(std::string_view text, size_t& pos, float& value) {
  double read = 0;
  const NumberScan scan = ScanNumber(text, pos, read);
  if (scan == NumberScan::kNumber) value = float(read);
  return scan;
}

}  // namespace

TextFileResult ReadTextLines(const std::string& path, std::vector<std::string>& lines) {
  FileReader reader(path);
  if (!reader.IsOpen()) return TextFileResult::kNotOpened;
  if (reader.Size() > kMaxTextFileSize) return TextFileResult::kTooLarge;
  std::vector<uint8_t> bytes;
  if (!reader.Block(size_t(reader.Size()), bytes)) return TextFileResult::kNotOpened;
  lines = SplitTextLines(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  return TextFileResult::kRead;
}

std::vector<std::string> SplitTextLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    const size_t next = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos) end = text.size();
    if (end > start && text[end - 1] == '\r') --end;
    lines.emplace_back(text.substr(start, end - start));
    start = next;
  }
  return lines;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::optional<std::string_view> KeywordValue(std::string_view line, std::string_view keyword) {
  if (line.size() < keyword.size() || !EqualIgnoringCase(line.substr(0, keyword.size()), keyword)) return std::nullopt;
  const size_t valueStart = keyword.size() + 1;
  return valueStart < line.size() ? TrimBlanks(line.substr(valueStart)) : std::string_view();
}

bool IsNumberChar(char c) { return IsDigit(c) || c == '.' || c == '-' || c == '+'; }

bool IsNumberLine(std::string_view line) {
  line = TrimBlanks(line);
  return !line.empty() && IsNumberChar(line.front());
}

NumberScan ReadNumber(std::string_view text, float& value) {
  text = TrimBlanks(text);
  size_t pos = 0;
  return ScanNumber(text, pos, value);
}

bool ParseNumbers(std::string_view line, std::vector<float>& numbers) {
  numbers.clear();
  size_t pos = 0;
  while (pos < line.size()) {
    float value = 0;
    switch (ScanNumber(line, pos, value)) {
      case NumberScan::kNumber: numbers.push_back(value); break;
      case NumberScan::kNone: ++pos; break;
      case NumberScan::kRefused: return false;
    }
  }
  return true;
}

bool ReadTypedNumber(std::string_view text, double& value) {
  std::string typed(TrimBlanks(text));
  std::replace(typed.begin(), typed.end(), ',', '.');
  size_t pos = 0;
  double read = 0;
  if (ScanNumber(typed, pos, read) != NumberScan::kNumber || pos != typed.size()) return false;
  value = read + 0.0;  // -0 becomes 0
  return true;
}

bool ReadTypedInteger(std::string_view text, int& value) {
  text = TrimBlanks(text);
  if (!text.empty() && text.front() == '+' && text.size() > 1 && IsDigit(text[1])) text.remove_prefix(1);
  int read = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), read);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return false;
  value = read;
  return true;
}

void AppendFixed(std::string& text, double value, int precision, int width) {
  char field[400];  // room for any double in fixed notation with up to 6 decimals
  const char* end = std::to_chars(field, field + sizeof field, value, std::chars_format::fixed, precision).ptr;
  const int length = int(end - field);
  if (length < width) text.append(size_t(width - length), ' ');
  text.append(field, size_t(length));
}
