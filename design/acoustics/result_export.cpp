#include "design/acoustics/result_export.h"

#include <cmath>

#include "design/acoustics/result_map.h"
#include "framework/core/services.h"
#include "framework/core/text_format.h"

namespace {

void ShowExportFailure(const std::string& failure) { ShowMessage(failure.c_str(), kExportCaption, kMsgOk); }

}  // namespace

int ExportStiMap(std::span<const GridPoint> points, const StiRoom& room, int band, const std::string& projectPath,
                 const std::tm& localTime) {
  if (band != kAllBands) {
    ShowMessage(kExportNeedsAllBands, kExportCaption, kMsgOk);
    return 0;
  }
  std::string failure;
  StiLogFile file = OpenStiLogFile(projectPath + FormatStiExportName(kStiMapExportName, localTime), &failure);
  if (!file) {
    ShowExportFailure(failure);
    return 0;
  }
  for (const GridPoint& point : points) {
    StiDetail detail;
    StiAllDetail(point.level, room, detail);
    if (!AppendStiLines(file.get(), detail, &failure)) {
      ShowExportFailure(failure);
      return 0;
    }
  }
  file.reset();
  ShowMessage(kExportFinished, kExportCaption, kMsgOk);
  return 1;
}

std::string SinglePointText(int16_t mode, int band, const GridPoint& point, const ReverberantTerms& terms,
                            SinglePointExport& target) {
  if (mode == kResultStiExport && band == kAllBands && !target.failed) {
    std::string failure;
    const std::string name = FormatStiExportName(kStiSinglePointExportName, target.localTime);
    if (StiAllLogged(point.level, terms.Sti(), target.projectPath, name, &failure) < 0) {
      target.failed = true;
      ShowExportFailure(failure);
    }
  }
  const double value = SinglePointValue(mode, band, point, terms);
  if (!std::isfinite(value)) return {};
  return FormatText("%3.2f", value);
}
