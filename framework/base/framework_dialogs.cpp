#include "framework/base/framework_dialogs.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <vector>

#include "framework/base/dialogs.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/framework_windows.h"
#include "framework/base/printing.h"
#include "framework/base/view_state.h"
#include "framework/core/geometry.h"
#include "framework/core/services.h"
#include "framework/core/text_encoding.h"
#include "framework/core/text_lines.h"
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
constexpr int kMeasureButton = 107, kZoomAllButton = 109, kHeaderButton = 130;
constexpr int kStayOpen = -1;

int gLayerChoice = 0;  // the layer chooser's last choice

// The plot parameters, remembered while the program runs.
struct PlotParameters {
  int metres = 1, millimetres = 1;
  int button = kMeasureButton;  // measure 107, zoom window 108, zoom all 109
};
PlotParameters gPlotParameters;

// What every dialog here shares: number fields whose typed ',' becomes '.',
// an OK button whose handler gives the result (or keeps the dialog open),
// a Cancel button (or the close box) ending with 0, and other buttons.
// The number fields' texts as init showed them are kept, so that a field
// left as shown can keep the value it showed rounded.
struct Form {
  int ok = 0, cancel = platform::kIdCancel;
  std::vector<int> numberFields;
  std::function<void(Window)> init;
  std::function<int(Window)> accept;
  std::function<void(Window, int)> command;
  std::map<int, std::string> shown;

  bool Changed(Window dialog, int id) const {
    const auto field = shown.find(id);
    return field == shown.end() || platform::GetDialogItemText(dialog, id) != field->second;
  }
};
std::map<Window, Form*> gOpenForms;  // by dialog; a form's dialog may open another

LParam FormProc(Window dialog, unsigned kind, WParam wParam, LParam lParam) {
  if (kind == platform::msg::kInitDialog) {
    Form* form = reinterpret_cast<Form*>(lParam);
    gOpenForms[dialog] = form;
    if (form->init) form->init(dialog);
    for (int field : form->numberFields) form->shown[field] = platform::GetDialogItemText(dialog, field);
    return 0;
  }
  const auto open = gOpenForms.find(dialog);
  if (open == gOpenForms.end()) return platform::DefaultDialogProc(dialog, kind, wParam, lParam);
  Form& form = *open->second;
  if (kind == platform::msg::kDestroy) gOpenForms.erase(open);
  if (kind != platform::msg::kCommand) return platform::DefaultDialogProc(dialog, kind, wParam, lParam);
  const int id = int(platform::LowWord(wParam));
  const bool number = std::find(form.numberFields.begin(), form.numberFields.end(), id) != form.numberFields.end();
  if (number && platform::HighWord(wParam) == platform::kNotifyEditChange) {
    FixDecimalComma(dialog, id);
  } else if (id == form.ok) {
    for (int field : form.numberFields) FixDecimalComma(dialog, field);
    const int result = form.accept ? form.accept(dialog) : 1;
    if (result != kStayOpen) platform::EndDialog(dialog, result);
  } else if (id == form.cancel) {
    platform::EndDialog(dialog, 0);
  } else if (form.command) {
    form.command(dialog, id);
  }
  return 0;
}

// Runs the dialog `name` as `form`; 1 when it ended with 1, else 0.
int RunForm(const char* name, Window owner, Form& form) {
  return RunModalDialog(name, owner, FormProc, reinterpret_cast<LParam>(&form)) == 1 ? 1 : 0;
}

void SetCaption(Window dialog, const char* title) { platform::SetWindowText(dialog, Cp1252ToUtf8(title ? title : "")); }

void SetNumber(Window dialog, int id, const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  SetDialogText(dialog, id, text);
}

// The number in a number field as the dialogs read it: at most `chars`
// characters, parsed into a 32-bit float. False when it holds none.
bool ReadFloatField(Window dialog, int id, std::size_t chars, double& value) {
  double read = 0;
  if (!ReadTypedNumber(GetDialogText(dialog, id, chars + 1), read)) return false;
  value = float(read);
  return true;
}

// The same for a field that shows a value: false also when it holds the
// text the form showed, so that the value keeps what rounding hid.
bool ReadChangedFloatField(const Form& form, Window dialog, int id, std::size_t chars, double& value) {
  return form.Changed(dialog, id) && ReadFloatField(dialog, id, chars, value);
}

// A measure field: a whole number above 0, or 0.
int MeasureOf(Window dialog, int id) {
  bool ok = false;
  const long value = platform::GetDialogItemInt(dialog, id, &ok, false);
  return ok && value > 0 && value <= INT32_MAX ? int(value) : 0;
}

}  // namespace

int InputLine(const char* title, std::string& buffer, std::size_t maxLength, int fixComma) {
  Form form;
  form.ok = 102;
  form.cancel = 103;
  if (fixComma) form.numberFields = {105};
  form.init = [&](Window dialog) {
    SetCaption(dialog, title);
    SetDialogText(dialog, 105, buffer.c_str());
  };
  form.accept = [&](Window dialog) {
    buffer = GetDialogText(dialog, 105, maxLength);
    return 1;
  };
  return RunForm("DIALOG_3", MainWindow.window, form);
}

int PointAbsoluteDialog(double& x, double& y, double& z, const char* title) {
  double* values[3] = {&x, &y, &z};
  Form form;
  form.ok = 102;
  form.cancel = 103;
  form.numberFields = {104, 105, 106};
  form.init = [&](Window dialog) {
    SetCaption(dialog, title);
    for (int i = 0; i < 3; ++i) SetNumber(dialog, 104 + i, gUnitFlag ? "%0.2f" : "%0.3f", LengthInUserUnit(*values[i]));
  };
  form.accept = [&](Window dialog) {
    for (int i = 0; i < 3; ++i) {
      double value = 0;
      if (ReadChangedFloatField(form, dialog, 104 + i, kCoordinateChars, value)) *values[i] = LengthFromUserUnit(value);
    }
    return 1;
  };
  return RunForm("DIALOG_1", MainWindow.window, form);
}

int PointPolarDialog(double& distance, double& angle) {
  Form form;
  form.ok = 103;
  form.cancel = 104;
  form.numberFields = {101, 102};
  form.init = [](Window dialog) {
    SetDialogText(dialog, 101, "0");
    SetDialogText(dialog, 102, "0");
  };
  form.accept = [&](Window dialog) {
    double typed = 0;
    if (ReadFloatField(dialog, 101, kCoordinateChars, typed)) distance = LengthFromUserUnit(std::fabs(typed));
    if (ReadFloatField(dialog, 102, kCoordinateChars, typed)) angle = WrappedDegrees(typed) * kPi / 180;
    return 1;
  };
  return RunForm("DIALOG_2", ActiveOrMainWindow(), form);
}

int TextDialog(float& size, float& angle, std::string& text, std::size_t maxLength) {
  Form form;
  form.ok = 102;
  form.cancel = 103;
  form.numberFields = {104, 105};
  form.init = [&](Window dialog) {
    SetNumber(dialog, 104, "%3.2f", LengthInUserUnit(size));
    SetNumber(dialog, 105, "%3.2f", angle);
    SetDialogText(dialog, 106, text.c_str());
  };
  form.accept = [&](Window dialog) {
    double typed = 0;
    if (ReadChangedFloatField(form, dialog, 104, kTextNumberChars, typed)) size = float(LengthFromUserUnit(typed));
    if (ReadChangedFloatField(form, dialog, 105, kTextNumberChars, typed)) angle = float(typed);
    text = GetDialogText(dialog, 106, maxLength);
    return text.empty() ? 0 : 1;
  };
  return RunForm("DIALOG_6", MainWindow.window, form);
}

int ChooseLayer(int& layer) {
  const int lastRadio = kFirstLayerRadio + kLayerChoices - 1;
  Form form;
  form.ok = 102;
  form.cancel = 103;
  form.init = [&](Window dialog) {
    for (int i = 0; i < kLayerChoices; ++i)
      SetDialogText(dialog, kFirstLayerField + i, gLayers.records[size_t(i)].name.c_str());
    if (gDrawing.currentLayer >= 0 && gDrawing.currentLayer < kLayerChoices)
      platform::CheckRadioButton(dialog, kFirstLayerRadio, lastRadio, kFirstLayerRadio + gDrawing.currentLayer);
  };
  form.command = [&](Window dialog, int id) {
    if (id >= kFirstLayerRadio && id <= lastRadio) platform::CheckRadioButton(dialog, kFirstLayerRadio, lastRadio, id);
  };
  form.accept = [&](Window dialog) {
    const int checked = platform::GetCheckedRadioButton(dialog, kFirstLayerRadio, lastRadio);
    if (checked) gLayerChoice = checked - kFirstLayerRadio;
    return 1;
  };
  const int result = RunForm("DIALOG_5", MainWindow.window, form);
  layer = gLayerChoice;
  return result;
}

int PlotHeaderDialog(platform::Window owner) {
  Form form;
  form.ok = 140;
  form.init = [](Window dialog) {
    for (int row = 0; row < kPlotHeaderRows; ++row) {
      SetDialogText(dialog, 101 + row, gPlotHeader.Label(row).c_str());
      SetDialogText(dialog, 110 + row, gPlotHeader.Text(row).c_str());
    }
    for (int i = 0; i < kPlotHeaderFreeTexts; ++i) SetDialogText(dialog, 120 + i, gPlotHeader.FreeText(i).c_str());
  };
  form.accept = [](Window dialog) {
    for (int row = 0; row < kPlotHeaderRows; ++row) {
      gPlotHeader.SetLabel(row, GetDialogText(dialog, 101 + row, kPlotHeaderLabelSize));
      gPlotHeader.SetText(row, GetDialogText(dialog, 110 + row, kPlotHeaderTextSize));
    }
    for (int i = 0; i < kPlotHeaderFreeTexts; ++i)
      gPlotHeader.SetFreeText(i, GetDialogText(dialog, 120 + i, kPlotHeaderTextSize));
    return 1;
  };
  return RunForm("PLOT_HEADER", owner, form);
}

int PlotParametersDialog(int& metres, int& millimetres, int& mode) {
  SetPrintLandscape(gPrintSettings.horizontalResolution > gPrintSettings.verticalResolution ? 1 : 0);
  if (!PrintSetupDialog()) return 0;
  Form form;
  form.ok = 110;
  form.cancel = 111;
  form.init = [](Window dialog) {
    platform::SetDialogItemInt(dialog, 102, gPrintSettings.horizontalSize);
    platform::SetDialogItemInt(dialog, 103, gPrintSettings.verticalSize);
    platform::SetDialogItemInt(dialog, 105, gPlotParameters.metres);
    platform::SetDialogItemInt(dialog, 106, gPlotParameters.millimetres);
    platform::CheckRadioButton(dialog, kMeasureButton, kZoomAllButton, gPlotParameters.button);
  };
  form.command = [](Window dialog, int id) {
    if (id >= kMeasureButton && id <= kZoomAllButton) {
      platform::CheckRadioButton(dialog, kMeasureButton, kZoomAllButton, id);
      gPlotParameters.button = id;
    }
    if (id == kHeaderButton) PlotHeaderDialog(dialog);
  };
  form.accept = [](Window dialog) {
    if (gPlotParameters.button != kMeasureButton) return 1;
    const int typedMetres = MeasureOf(dialog, 105), typedMillimetres = MeasureOf(dialog, 106);
    if (!typedMetres || !typedMillimetres) {
      ShowMessage(kInvalidMeasureMessage, nullptr, kMsgOk);
      return kStayOpen;
    }
    gPlotParameters.metres = typedMetres;
    gPlotParameters.millimetres = typedMillimetres;
    return 1;
  };
  if (!RunForm("DIALOG_7", MainWindow.window, form)) return 0;
  metres = gPlotParameters.metres;
  millimetres = gPlotParameters.millimetres;
  mode = gPlotParameters.button - kMeasureButton;
  return 1;
}
