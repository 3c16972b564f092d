#include "speakerbase/imports/import_text.h"

#include "design/model/project_file.h"

SpeakerImport ImportTextFile(const std::string& path, SpeakerImport (*parseLines)(const std::vector<std::string>&)) {
  std::vector<std::string> lines;
  switch (ReadTextLines(path, lines)) {
    case TextFileResult::kRead: return parseLines(lines);
    case TextFileResult::kNotOpened: return {};
    case TextFileResult::kTooLarge: return {{}, {{kInvalidFileFormatMessage, ""}}};
  }
  return {};
}
