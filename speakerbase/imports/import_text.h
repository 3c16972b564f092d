// The text formats of the speaker imports (GDF, KNF): their files are read
// as lines (framework/core/text_lines.h) and handed to the format's parser.
#pragma once

#include <string>
#include <vector>

#include "framework/core/text_lines.h"
#include "speakerbase/imports/speaker_import.h"

// The import of the lines of the text file at `path` by `parseLines`:
// nothing when the file cannot be opened, "Invalid file format !" when it is
// too large to be one of the text formats.
SpeakerImport ImportTextFile(const std::string& path, SpeakerImport (*parseLines)(const std::vector<std::string>&));
