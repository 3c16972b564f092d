#include "speakerbase/imports/import_text.h"

#include <gtest/gtest.h>

#include "tests/speakerbase/imports/import_fixtures.h"

namespace {

using namespace import_fixtures;

using ImportText = ImportFolder;

TEST_F(ImportText, CrLfAndLfFilesGiveTheSameLines) {
  const std::vector<std::string> expected = {"Device Name: A", "", "1 2 3", "last"};
  std::vector<std::string> lf, crlf;
  ASSERT_EQ(ReadTextLines(Write("lf.txt", "Device Name: A\n\n1 2 3\nlast"), lf), TextFileResult::kRead);
  ASSERT_EQ(ReadTextLines(Write("crlf.txt", "Device Name: A\r\n\r\n1 2 3\r\nlast\r\n"), crlf), TextFileResult::kRead);
  EXPECT_EQ(lf, expected);
  EXPECT_EQ(crlf, expected);

  std::vector<std::string> none;
  EXPECT_EQ(ReadTextLines((dir_ / "missing.txt").string(), none), TextFileResult::kNotOpened);
  const std::string large = Write("large.txt", std::string(kMaxImportTextSize + 1, 'x'));
  EXPECT_EQ(ReadTextLines(large, none), TextFileResult::kTooLarge);
}

TEST(ImportKeywords, MatchInAnyCaseWithTheValueOneCharacterOnTrimmed) {
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

TEST(ImportNumbers, ScannedAsPercentFWithRefusedValues) {
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

}  // namespace
