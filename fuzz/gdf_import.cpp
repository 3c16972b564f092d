// The GDF import of the speaker-database editor: one loudspeaker from the
// lines of a GDF text file.
#include <string_view>

#include "design/model/project_file.h"
#include "framework/core/text_lines.h"
#include "fuzz/import_check.h"
#include "speakerbase/imports/gdf_import.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetUpFuzzRun();
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckSingleImport(ImportGdfLines(SplitTextLines(text)),
                    {kInvalidFileFormatMessage, kGdfStepMessage, kGdfTableFullMessage});
  return 0;
}
