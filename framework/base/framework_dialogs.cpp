#include "framework/base/framework_dialogs.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "framework/base/dialogs.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/printing.h"
#include "framework/base/view_state.h"
#include "framework/core/geometry.h"
#include "framework/core/services.h"
#include "framework/core/text_encoding.h"
#include "framework/model/layers.h"
#include "framework/model/plot_header.h"

namespace {

using platform::LParam;
using platform::Window;
using platform::WParam;

constexpr std::size_t kCoordinateChars = 14;  // read from each point field
constexpr std::size_t kTextNumberChars = 20;  // read from the text dialog's numbers
constexpr int kLayerChoices = 12;
constexpr int kFirstLayerField = 104, kFirstLayerRadio = 117;

// The state of the dialog now open; each kind of dialog is open at most once.
struct InputLineState {
  const char* title;
  std::string* buffer;
  std::size_t maxLength;
  int fixComma;
};
struct PointState {
  double* values[3];
  const char* title;
};
struct PolarState {
  double* distance;
  double* angle;
};
struct TextState {
  float* size;
  float* angle;
  std::string* text;
  std::size_t maxLength;
};
InputLineState* gInputLine = nullptr;
PointState* gPoint = nullptr;
PolarState* gPolar = nullptr;
TextState* gText = nullptr;
int gLayerChoice = 0;  // the layer chooser's last choice

// The plot parameters, remembered while the program runs.
struct PlotParameters {
  int metres = 1, millimetres = 1;
  int button = 107;  // measure 107, zoom window 108, zoom all 109
};
PlotParameters gPlotParameters;
constexpr int kMeasureButton = 107, kZoomAllButton = 109;

int ControlId(WParam wParam) { return int(platform::LowWord(wParam)); }
bool IsEditChange(WParam wParam) { return platform::HighWord(wParam) == platform::kNotifyEditChange; }

void SetCaption(Window dialog, const char* title) { platform::SetWindowText(dialog, Cp1252ToUtf8(title ? title : "")); }

void SetNumber(Window dialog, int id, const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  SetDialogText(dialog, id, text);
}

// The number in a number field as the dialogs read it: at most `chars`
// characters, parsed into a 32-bit float. False when it holds none.
bool ReadFloatField(Window dialog, int id, std::size_t chars, double& value) {
  FixDecimalComma(dialog, id);
  double read = 0;
  if (!ReadNumberField(GetDialogText(dialog, id, chars + 1), read) || !std::isfinite(float(read))) return false;
  value = float(read);
  return true;
}

LParam InputLineProc(Window dialog, unsigned kind, WParam wParam, LParam lParam) {
  if (kind == platform::msg::kInitDialog) {
    SetCaption(dialog, gInputLine->title);
    SetDialogText(dialog, 105, gInputLine->buffer->c_str());
    return 0;
  }
  if (kind == platform::msg::kCommand) {
    const int id = ControlId(wParam);
    if (id == 105 && IsEditChange(wParam) && gInputLine->fixComma) FixDecimalComma(dialog, 105);
    if (id == 102) {
      if (gInputLine->fixComma) FixDecimalComma(dialog, 105);
      *gInputLine->buffer = GetDialogText(dialog, 105, gInputLine->maxLength);
      platform::EndDialog(dialog, 1);
    }
    if (id == 103) platform::EndDialog(dialog, 0);
    return 0;
  }
  return platform::DefaultDialogProc(dialog, kind, wParam, lParam);
}

LParam PointAbsoluteProc(Window dialog, unsigned kind, WParam wParam, LParam lParam) {
  if (kind == platform::msg::kInitDialog) {
    SetCaption(dialog, gPoint->title);
    for (int i = 0; i < 3; ++i)
      SetNumber(dialog, 104 + i, gUnitFlag ? "%0.2f" : "%0.3f", LengthInUserUnit(*gPoint->values[i]));
    return 0;
  }
  if (kind == platform::msg::kCommand) {
    const int id = ControlId(wParam);
    if (id >= 104 && id <= 106 && IsEditChange(wParam)) FixDecimalComma(dialog, id);
    if (id == 102) {
      for (int i = 0; i < 3; ++i) {
        double value = 0;
        if (ReadFloatField(dialog, 104 + i, kCoordinateChars, value)) *gPoint->values[i] = LengthFromUserUnit(value);
      }
      platform::EndDialog(dialog, 1);
    }
    if (id == 103) platform::EndDialog(dialog, 0);
    return 0;
  }
  return platform::DefaultDialogProc(dialog, kind, wParam, lParam);
}

LParam PointPolarProc(Window dialog, unsigned kind, WParam wParam, LParam lParam) {
  if (kind == platform::msg::kInitDialog) {
    SetDialogText(dialog, 101, "0");
    SetDialogText(dialog, 102, "0");
    return 0;
  }
  if (kind == platform::msg::kCommand) {
    const int id = ControlId(wParam);
    if ((id == 101 || id == 102) && IsEditChange(wParam)) FixDecimalComma(dialog, id);
    if (id == 103) {
      double distance = 0, degrees = 0;
      if (ReadFloatField(dialog, 101, kCoordinateChars, distance))
        *gPolar->distance = LengthFromUserUnit(std::fabs(distance));
      if (ReadFloatField(dialog, 102, kCoordinateChars, degrees)) {
        // Into -180 .. 180, whole turns first: 540 gives 180, 900 too.
        degrees = std::fmod(degrees, 360);
        if (degrees > 180) degrees -= 360;
        else if (degrees < -180) degrees += 360;
        *gPolar->angle = degrees * kPi / 180;
      }
      platform::EndDialog(dialog, 1);
    }
    if (id == 104) platform::EndDialog(dialog, 0);
    return 0;
  }
  return platform::DefaultDialogProc(dialog, kind, wParam, lParam);
}

LParam TextProc(Window dialog, unsigned kind, WParam wParam, LParam lParam) {
  if (kind == platform::msg::kInitDialog) {
    SetNumber(dialog, 104, "%3.2f", LengthInUserUnit(*gText->size));
    SetNumber(dialog, 105, "%3.2f", *gText->angle);
    SetDialogText(dialog, 106, gText->text->c_str());
    return 0;
  }
  if (kind == platform::msg::kCommand) {
    const int id = ControlId(wParam);
    if ((id == 104 || id == 105) && IsEditChange(wParam)) FixDecimalComma(dialog, id);
    if (id == 102) {
      double size = 0, angle = 0;
      if (ReadFloatField(dialog, 104, kTextNumberChars, size)) *gText->size = float(LengthFromUserUnit(size));
      if (ReadFloatField(dialog, 105, kTextNumberChars, angle)) *gText->angle = float(angle);
      *gText->text = GetDialogText(dialog, 106, gText->maxLength);
      platform::EndDialog(dialog, gText->text->empty() ? 0 : 1);
    }
    if (id == 103) platform::EndDialog(dialog, 0);
    return 0;
  }
  return platform::DefaultDialogProc(dialog, kind, wParam, lParam);
}

LParam ChooseLayerProc(Window dialog, unsigned kind, WParam wParam, LParam lParam) {
  const int lastRadio = kFirstLayerRadio + kLayerChoices - 1;
  if (kind == platform::msg::kInitDialog) {
    for (int i = 0; i < kLayerChoices; ++i)
      SetDialogText(dialog, kFirstLayerField + i, gLayers.records[size_t(i)].name.c_str());
    if (gDrawing.currentLayer >= 0 && gDrawing.currentLayer < kLayerChoices)
      platform::CheckRadioButton(dialog, kFirstLayerRadio, lastRadio, kFirstLayerRadio + gDrawing.currentLayer);
    return 0;
  }
  if (kind == platform::msg::kCommand) {
    const int id = ControlId(wParam);
    if (id >= kFirstLayerRadio && id <= lastRadio) platform::CheckRadioButton(dialog, kFirstLayerRadio, lastRadio, id);
    if (id == 102) {
      const int checked = platform::GetCheckedRadioButton(dialog, kFirstLayerRadio, lastRadio);
      if (checked) gLayerChoice = checked - kFirstLayerRadio;
      platform::EndDialog(dialog, 1);
    }
    if (id == 103) platform::EndDialog(dialog, 0);
    return 0;
  }
  return platform::DefaultDialogProc(dialog, kind, wParam, lParam);
}

LParam PlotHeaderProc(Window dialog, unsigned kind, WParam wParam, LParam lParam) {
  if (kind == platform::msg::kInitDialog) {
    for (int row = 0; row < kPlotHeaderRows; ++row) {
      SetDialogText(dialog, 101 + row, gPlotHeader.Label(row).c_str());
      SetDialogText(dialog, 110 + row, gPlotHeader.Text(row).c_str());
    }
    for (int i = 0; i < kPlotHeaderFreeTexts; ++i) SetDialogText(dialog, 120 + i, gPlotHeader.FreeText(i).c_str());
    return 0;
  }
  if (kind == platform::msg::kCommand) {
    const int id = ControlId(wParam);
    if (id == 140) {
      for (int row = 0; row < kPlotHeaderRows; ++row) {
        gPlotHeader.SetLabel(row, GetDialogText(dialog, 101 + row, kPlotHeaderLabelSize));
        gPlotHeader.SetText(row, GetDialogText(dialog, 110 + row, kPlotHeaderTextSize));
      }
      for (int i = 0; i < kPlotHeaderFreeTexts; ++i)
        gPlotHeader.SetFreeText(i, GetDialogText(dialog, 120 + i, kPlotHeaderTextSize));
      platform::EndDialog(dialog, 1);
    }
    if (id == platform::kIdCancel) platform::EndDialog(dialog, 0);
    return 0;
  }
  return platform::DefaultDialogProc(dialog, kind, wParam, lParam);
}

// A measure field: a whole number above 0 ("%u"), or 0.
int MeasureOf(Window dialog, int id) {
  bool ok = false;
  const long value = platform::GetDialogItemInt(dialog, id, &ok, false);
  return ok && value > 0 && value <= INT32_MAX ? int(value) : 0;
}

void SetInteger(Window dialog, int id, long value) { platform::SetDialogItemInt(dialog, id, value); }

LParam PlotParametersProc(Window dialog, unsigned kind, WParam wParam, LParam lParam) {
  if (kind == platform::msg::kInitDialog) {
    SetInteger(dialog, 102, gPrintSettings.horizontalSize);
    SetInteger(dialog, 103, gPrintSettings.verticalSize);
    SetInteger(dialog, 105, gPlotParameters.metres);
    SetInteger(dialog, 106, gPlotParameters.millimetres);
    platform::CheckRadioButton(dialog, kMeasureButton, kZoomAllButton, gPlotParameters.button);
    return 0;
  }
  if (kind == platform::msg::kCommand) {
    const int id = ControlId(wParam);
    if (id >= kMeasureButton && id <= kZoomAllButton) {
      platform::CheckRadioButton(dialog, kMeasureButton, kZoomAllButton, id);
      gPlotParameters.button = id;
    }
    if (id == 130) PlotHeaderDialog(dialog);
    if (id == 110) {
      const int metres = MeasureOf(dialog, 105), millimetres = MeasureOf(dialog, 106);
      if (gPlotParameters.button == kMeasureButton) {
        if (!metres || !millimetres) {
          ShowMessage(kInvalidMeasureMessage, nullptr, kMsgOk);
          return 0;
        }
        gPlotParameters.metres = metres;
        gPlotParameters.millimetres = millimetres;
      }
      platform::EndDialog(dialog, 1);
    }
    if (id == 111) platform::EndDialog(dialog, 0);
    return 0;
  }
  return platform::DefaultDialogProc(dialog, kind, wParam, lParam);
}

// Runs a dialog with `state` as its open state and gives 1 or 0.
template <class State>
int RunWith(State*& slot, State* state, const char* name, platform::WindowProc proc) {
  slot = state;
  const int result = RunModalDialog(name, MainWindow.window, proc);
  slot = nullptr;
  return result == 1 ? 1 : 0;
}

}  // namespace

int InputLine(const char* title, std::string& buffer, std::size_t maxLength, int fixComma) {
  InputLineState state{title, &buffer, maxLength, fixComma};
  return RunWith(gInputLine, &state, "DIALOG_3", InputLineProc);
}

int PointAbsoluteDialog(double& x, double& y, double& z, const char* title) {
  PointState state{{&x, &y, &z}, title};
  return RunWith(gPoint, &state, "DIALOG_1", PointAbsoluteProc);
}

int PointPolarDialog(double& distance, double& angle) {
  PolarState state{&distance, &angle};
  return RunWith(gPolar, &state, "DIALOG_2", PointPolarProc);
}

int TextDialog(float& size, float& angle, std::string& text, std::size_t maxLength) {
  TextState state{&size, &angle, &text, maxLength};
  return RunWith(gText, &state, "DIALOG_6", TextProc);
}

int ChooseLayer(int& layer) {
  const int result = RunModalDialog("DIALOG_5", MainWindow.window, ChooseLayerProc);
  layer = gLayerChoice;
  return result == 1 ? 1 : 0;
}

int PlotHeaderDialog(platform::Window owner) {
  return RunModalDialog("PLOT_HEADER", owner, PlotHeaderProc) == 1 ? 1 : 0;
}

int PlotParametersDialog(int& metres, int& millimetres, int& mode) {
  SetPrintLandscape(gPrintSettings.horizontalResolution > gPrintSettings.verticalResolution ? 1 : 0);
  if (!PrintSetupDialog()) return 0;
  if (RunModalDialog("DIALOG_7", MainWindow.window, PlotParametersProc) != 1) return 0;
  metres = gPlotParameters.metres;
  millimetres = gPlotParameters.millimetres;
  mode = gPlotParameters.button - kMeasureButton;
  return 1;
}
