// Reading and writing the suite's plain text exchange formats (the speaker
// imports, the EASE exchange), and the one reader of the numbers a user types
// into any prompt or dialog. A file is taken as lines without their line ends,
// so CR LF and LF files read alike. A keyword matches at the start of a line
// in any letter case and its value begins one character after it, with blanks
// trimmed. Numbers are scanned as the C "%f" conversion reads them in the C
// locale ('.' is the decimal point whatever the program's locale): an optional
// sign, digits with at most one '.', an optional exponent. A number that is
// not a finite float ("1e39", "1e-999") is refused rather than stored; "inf"
// and "nan" are no numbers. Numbers are written with '.' in every locale too.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class TextFileResult {
  kRead,
  kNotOpened,  // missing or unreadable: the readers end without a message
  kTooLarge,   // larger than any file of these formats
};

// The text files of these formats are small; this bounds what is read.
constexpr uint64_t kMaxTextFileSize = uint64_t(16) << 20;

// The lines of a text without their line ends (LF, and a CR before it); a
// last line without its end counts.
std::vector<std::string> SplitTextLines(std::string_view text);
// The lines of a text file, split so.
TextFileResult ReadTextLines(const std::string& path, std::vector<std::string>& lines);

// The text without blanks (spaces, tabs, line-end and form-feed characters)
// at either end.
std::string_view TrimBlanks(std::string_view text);

// When `line` begins with `keyword` in any letter case: the text from one
// character after the keyword, trimmed (empty when the line ends there);
// otherwise none.
std::optional<std::string_view> KeywordValue(std::string_view line, std::string_view keyword);

// '0' to '9', '.', '-' and '+'.
bool IsNumberChar(char c);
// A line whose first character other than blanks is a number character.
bool IsNumberLine(std::string_view line);

enum class NumberScan {
  kNone,     // no number begins there
  kNumber,   // `value` holds it
  kRefused,  // not a finite float
};

// The number at the start of a value, after blanks.
NumberScan ReadNumber(std::string_view text, float& value);

// Every number of `line`, in order, into `numbers` (cleared first); numbers
// may be separated by any characters that begin no number. False when one of
// them is refused.
bool ParseNumbers(std::string_view line, std::vector<float>& numbers);

// A number a user typed into a field or a prompt line, by the one rule of
// every prompt and dialog: the whole text, blanks at either end aside, is
// one number as above, a ',' counting as the point. So "nan", "inf",
// "1e999", "0x10", "1.5x" and an empty text are none. A typed -0 is 0.
// False, with `value` untouched, for anything else.
bool ReadTypedNumber(std::string_view text, double& value);
// A whole number typed so ("12", " -3", "+7"), within int; false for "1.5",
// "1e2" and anything else.
bool ReadTypedInteger(std::string_view text, int& value);

// Appends `value` as "%<width>.<precision>f" formats it in the C locale,
// whatever locale the program runs in: right-aligned in at least `width`
// characters, `precision` decimals (at most 6).
void AppendFixed(std::string& text, double value, int precision, int width = 0);
