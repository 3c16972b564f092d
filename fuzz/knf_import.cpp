// The KNF import of the speaker-database editor: one loudspeaker from the
// lines of a KNF text file, checked line by line.
#include <string_view>

#include "design/model/project_file.h"
#include "framework/core/text_lines.h"
#include "fuzz/import_check.h"
#include "speakerbase/imports/knf_import.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetUpFuzzRun();
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckSingleImport(
      ImportKnfLines(SplitTextLines(text)),
      {kInvalidFileFormatMessage, kKnfNoDeviceClass, kKnfUnknownDeviceClass, kKnfNoDeviceName, kKnfNoManufacturer,
       kKnfNoComment, kKnfNoFrequency, kKnfWrongFrequency, kKnfNoScanArea, kKnfBadStep, kKnfNoVoltage, kKnfNoImpedance,
       kKnfNoDistance, kKnfWrongLineCount, kKnfWrongColumnCount});
  return 0;
}
