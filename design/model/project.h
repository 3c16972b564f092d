// The open project of the design program: its file name, the modified mark,
// and the settings that travel in the project file (reverberation method,
// view and snap settings, measured reverberation times and calculation
// options). Whether a calculation result is held is the level map's.
#pragma once

#include <array>
#include <cstdint>
#include <string>

inline constexpr char kDefaultProjectPath[] = "PROJECT1.KPR";

constexpr int kRt60BandCount = 7;  // 125 Hz .. 8 kHz

// Include-room bits of the calculation options.
constexpr uint16_t kCalcShading = 1;
constexpr uint16_t kCalcFirstReflection = 2;

// The calculation options (12 bytes in the file), with the values of a new
// project.
struct CalcOptions {
  int16_t resultView = 0;        // view mode of the result window
  int16_t resultSubChoice = -1;  // sub-choice of the result view, -1 none
  int16_t gridIndex = 2;         // -1 "Minimum" (automatic), 0..7 = 0.25, 0.5, 1, 2, 5, 10, 25, 50 m
  int16_t band = 7;              // 0..6, 7 all bands
  int16_t phaseMode = 2;         // 1 Energy, 2 Octave Bandwidth, 3 Single Frequency
  uint16_t roomBits = 0;         // kCalcShading, kCalcFirstReflection

  bool operator==(const CalcOptions&) const = default;
};

// The drawing settings that project files carry, with the values of a new
// drawing.
struct ProjectViewSettings {
  int16_t viewMode = 3;   // 0 XY, 1 YZ, 2 XZ, 3 3D
  float snapStep = 0.5f;  // coordinate snap, m
  uint32_t snapOn = 1;    // F9; stored but never taken back from a file
  double nodeSnapWidth = 10.0;
  uint32_t nodeSnapOn = 0;  // F11; stored but never taken back from a file
  float gridSize = 1.0f;    // m

  bool operator==(const ProjectViewSettings&) const = default;
};

struct ProjectState {
  std::string path = kDefaultProjectPath;
  // Non-zero while the model holds unsaved changes (commands set 1 or 65535).
  uint16_t modified = 0;
  // The folder of the last project opened or saved, with its trailing '/'.
  std::string lastProjectFolder;
  int32_t reverbMethod = 0;  // 0 Sabine, 1 Eyring, 2 Fitzroy, 3 measured
  ProjectViewSettings view;
  std::array<double, kRt60BandCount> measuredRt{};  // s
  CalcOptions calcOptions;
};
extern ProjectState gProject;

// Start-up values.
void ResetProjectState();

// The model side of a new project named "PROJECT1.KPR": no objects, the
// layers named and switched as new (the shape layer hidden), empty
// plot-header texts, the drawing settings and calculation options of a new
// project, no loudspeaker types and the default material alone. The
// calculation results are the document's (design/document NewProject); the
// modified mark is left to the caller.
void ClearProjectModel();
