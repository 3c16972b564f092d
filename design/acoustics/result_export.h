// The result window's two CSV exports of the speech transmission index: the
// whole map (the export mode with all bands) and the single points, each a
// text file named by the project path followed by the local time
// (kStiMapExportName, kStiSinglePointExportName), opened for appending and
// holding the line "band,MTI,level" ("%d,%f,%.1f", '.' in every locale) per
// point and band. Two exports in the same second go into one file.
//
// The caller hands in the local time (the platform's clock, which tests
// fix). Failures reach the user under the caption "Export" with the
// system's reason; an export that did not write says so, never "finished".
#pragma once

#include <cstdint>
#include <ctime>
#include <span>
#include <string>

#include "design/acoustics/level_map.h"
#include "design/acoustics/speech_transmission.h"

inline constexpr char kExportCaption[] = "Export";
inline constexpr char kExportNeedsAllBands[] = "For the export, set the octave band analysis to average. ";
inline constexpr char kExportFinished[] =
    "STI-Export finished.\nThe export file is located in the folder of the Korvane model.\nPress the 'STI'-Button to "
    "exist the export mode. ";

// The map export: with `band` kAllBands (result_map.h), the seven band lines
// of every point in order appended to projectPath + the map export name of
// `localTime`, then kExportFinished. With one band kExportNeedsAllBands, and
// nothing is written. A file that cannot be opened or written: "Failed to
// open log file" or "Failed to write log file" with the reason. 1 when the
// file was written, else 0.
int ExportStiMap(std::span<const GridPoint> points, const StiRoom& room, int band, const std::string& projectPath,
                 const std::tm& localTime);

// Where one paint's single points append their lines in the export mode. A
// failure is shown once; the paint's further points do not try again.
struct SinglePointExport {
  std::string projectPath;
  std::tm localTime{};
  bool failed = false;
};

// The read-out beside a single point: SinglePointValue as "%3.2f", empty for
// no data. In the export mode with all bands the point's band lines are
// appended to projectPath + the single-point export name first.
std::string SinglePointText(int16_t mode, int band, const GridPoint& point, const ReverberantTerms& terms,
                            SinglePointExport& target);
