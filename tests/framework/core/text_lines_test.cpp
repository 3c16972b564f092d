// Lines, keywords and numbers of the text exchange formats.
#include "framework/core/text_lines.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class TextFile : public ::testing::Test {
 protected:
  fs::path dir_ = fs::temp_directory_path() / ("korvane_text_lines_" + std::to_string(::getpid()));
  void SetUp() override { fs::create_directories(dir_); }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Write(const std::string& name, const std::string& text) {
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
  }
};

TEST_F(TextFile, CrLfAndLfFilesGiveTheSameLines) {
  const std::vector<std::string> expected = {"Device Name: A", "", "1 2 3", "last"};
  std::vector<std::string> lf, crlf;
  ASSERT_EQ(ReadTextLines(Write("lf.txt", "Device Name: A\n\n1 2 3\nlast"), lf), TextFileResult::kRead);
  ASSERT_EQ(ReadTextLines(Write("crlf.txt", "Device Name: A\r\n\r\n1 2 3\r\nlast\r\n"), crlf), TextFileResult::kRead);
  EXPECT_EQ(lf, expected);
  EXPECT_EQ(crlf, expected);

  std::vector<std::string> none;
  EXPECT_EQ(ReadTextLines((dir_ / "missing.txt").string(), none), TextFileResult::kNotOpened);
  const std::string large = Write("large.txt", std::string(kMaxTextFileSize + 1, 'x'));
  EXPECT_EQ(ReadTextLines(large, none), TextFileResult::kTooLarge);
}

TEST(TextKeywords, MatchInAnyCaseWithTheValueOneCharacterOnTrimmed) {
  struct Case {
    const char* line;
    const char* keyword;
    std::optional<std::string_view> value;
  } cases[] = {
      {"Sphere Size: Full", "Sphere Size", "Full"},     // the colon skipped, the blank trimmed
      {"sphere size Half  \t", "Sphere Size", "Half"},  // any case, trailing blanks dropped
      {"FREQUENCY:1000", "FREQUENCY:", "000"},          // exactly one character is skipped
      {"Frequency (Hz)", "Frequency (Hz)", ""},         // a line that ends at the keyword
      {" Sphere Size: Full", "Sphere Size", std::nullopt},
      {"Sphere", "Sphere Size", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(KeywordValue(c.line, c.keyword), c.value) << c.line;
}

TEST(TextNumbers, ScannedAsPercentFWithRefusedValues) {
  struct Case {
    const char* line;
    bool accepted;
    std::vector<float> numbers;
  } cases[] = {
      {"-3.5, +2  7", true, {-3.5f, 2.0f, 7.0f}},
      {"a1b2;.5 5.", true, {1.0f, 2.0f, 0.5f, 5.0f}},
      {"1-2 1e2 3e", true, {1.0f, -2.0f, 100.0f, 3.0f}},
      {"inf nan - . +", true, {}},  // no digits: no numbers
      {"1 1e39", false, {}},        // beyond a float
      {"1e-999", false, {}},
  };
  for (const Case& c : cases) {
    std::vector<float> numbers;
    EXPECT_EQ(ParseNumbers(c.line, numbers), c.accepted) << c.line;
    if (c.accepted) {
      EXPECT_EQ(numbers, c.numbers) << c.line;
    }
  }
  float value = 0;
  EXPECT_EQ(ReadNumber("  2.83 V", value), NumberScan::kNumber);
  EXPECT_EQ(value, 2.83f);
  EXPECT_EQ(ReadNumber("V 2.83", value), NumberScan::kNone);
  EXPECT_TRUE(IsNumberLine("  -3 4"));
  EXPECT_FALSE(IsNumberLine("x 3 4"));
}

// What the user types is a number only when the whole text is one.
TEST(TextNumbers, ATypedNumberIsTheWholeTextAndFinite) {
  struct Case {
    const char* typed;
    bool number;
    double value;
  } cases[] = {
      {"1.5", true, 1.5}, {"  -2 ", true, -2}, {",5", true, 0.5},    {"2,25", true, 2.25},     {"+3", true, 3},
      {"5.", true, 5},    {"-0", true, 0},     {"1e30", true, 1e30}, {"3.4e38", true, 3.4e38}, {"nan", false, 7},
      {"inf", false, 7},  {"-inf", false, 7},  {"1e999", false, 7},  {"1e39", false, 7},       {"1e-999", false, 7},
      {"0x10", false, 7}, {"1.5x", false, 7},  {"1e3m", false, 7},   {"1 2", false, 7},        {"1e", false, 7},
      {"", false, 7},     {"  ", false, 7},    {".", false, 7},      {"+-1", false, 7},        {"1,2,3", false, 7},
      {"junk", false, 7},
  };
  for (const Case& c : cases) {
    double value = 7;
    EXPECT_EQ(ReadTypedNumber(c.typed, value), c.number) << c.typed;
    EXPECT_EQ(value, c.value) << c.typed;
    if (value == 0) {
      EXPECT_FALSE(std::signbit(value)) << c.typed << " would show as \"-0.00\"";
    }
  }
  // Whole numbers only, within int.
  const std::pair<const char*, std::optional<int>> integers[] = {{"12", 12},
                                                                 {" -3 ", -3},
                                                                 {"+7", 7},
                                                                 {"-0", 0},
                                                                 {"1.5", std::nullopt},
                                                                 {"1e2", std::nullopt},
                                                                 {"10x", std::nullopt},
                                                                 {"", std::nullopt},
                                                                 {"+", std::nullopt},
                                                                 {"+-1", std::nullopt},
                                                                 {"99999999999", std::nullopt}};
  for (const auto& [typed, whole] : integers) {
    int value = 7;
    EXPECT_EQ(ReadTypedInteger(typed, value), whole.has_value()) << typed;
    EXPECT_EQ(value, whole.value_or(7)) << typed;
  }
}

TEST(TextNumbers, WrittenAsPrintfFixedWritesThemInTheCLocale) {
  struct Case {
    double value;
    int precision, width;
    const char* text;
  } cases[] = {
      {50.357, 1, 5, " 50.4"},       {0, 1, 5, "  0.0"},
      {123456.25, 1, 5, "123456.2"},  // halves to even
      {-6, 2, 4, "-6.00"},           {-0.04, 1, 3, "-0.0"},
      {1.5, 6, 0, "1.500000"},       {1e20, 2, 4, "100000000000000000000.00"},
  };
  for (const Case& c : cases) {
    std::string text = "x";
    AppendFixed(text, c.value, c.precision, c.width);
    EXPECT_EQ(text, std::string("x") + c.text) << c.value;
    char printed[64];
    std::snprintf(printed, sizeof printed, "%*.*f", c.width, c.precision, c.value);
    EXPECT_EQ(text.substr(1), printed) << c.value;
  }
}

}  // namespace
