#include "design/shell/property_dialogs.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <string>

#include "design/model/loudspeaker_edit.h"
#include "design/shell/design_shell.h"
#include "design/shell/speaker_selection_dialog.h"
#include "framework/base/dialogs.h"
#include "framework/base/framework_windows.h"
#include "framework/core/geometry.h"
#include "platform/window.h"

namespace {

using platform::LParam;
using platform::Window;
using platform::WParam;

// ---- Edit Loudspeaker ----

constexpr int kTypeNameField = 101, kGroupField = 102, kNameField = 103;
constexpr int kFirstPositionField = 104, kFirstAngleField = 107, kDelayField = 111;
constexpr int kOnButton = 112, kOffButton = 113, kPlusButton = 130, kMinusButton = 131;
constexpr int kFirstGainField = 114, kFirstPowerField = 134, kPowerSumField = 141, kTotalGainField = 143;
constexpr int kPositionUnitLabel = 144;
constexpr int kOkButton = 121, kCancelButton = 122, kSpeakerTypeButton = 123, kEqButton = 124;

constexpr std::size_t kFieldBytes = 257;
constexpr int kNumberFields[] = {104, 105, 106, 107, 108, 109, 111, 114, 115, 116, 117, 118, 119, 120};

struct SpeakerDialog {
  LoudspeakerEdit edit;
  Loudspeaker& speaker;
  std::string& typeName;
};
// The dialog open now; it is modal, and what it opens are other dialogs.
SpeakerDialog* gOpenSpeakerDialog = nullptr;

bool IsNumberField(int id) {
  return std::find(std::begin(kNumberFields), std::end(kNumberFields), id) != std::end(kNumberFields);
}

// Fields are read whole; the templates limit what may be typed.
std::string FieldText(Window dialog, int id) { return GetDialogText(dialog, id, kFieldBytes); }

void ShowBands(Window dialog, const LoudspeakerEditTexts& t) {
  for (int b = 0; b < kBandCount; ++b) {
    SetDialogText(dialog, kFirstGainField + b, t.gains[size_t(b)].c_str());
    SetDialogText(dialog, kFirstPowerField + b, t.powers[size_t(b)].c_str());
  }
  SetDialogText(dialog, kPowerSumField, t.powerSum.c_str());
  SetDialogText(dialog, kTotalGainField, t.totalGain.c_str());
}

void ShowSpeaker(Window dialog, const LoudspeakerEditTexts& t) {
  SetDialogText(dialog, kTypeNameField, t.typeName.c_str());
  SetDialogText(dialog, kGroupField, t.group.c_str());
  SetDialogText(dialog, kNameField, t.name.c_str());
  for (int i = 0; i < 3; ++i) {
    SetDialogText(dialog, kFirstPositionField + i, t.position[size_t(i)].c_str());
    SetDialogText(dialog, kFirstAngleField + i, t.angles[size_t(i)].c_str());
  }
  SetDialogText(dialog, kPositionUnitLabel, gUnitFlag ? "ft" : "m");
  SetDialogText(dialog, kDelayField, t.delay.c_str());
  platform::CheckRadioButton(dialog, kOnButton, kOffButton, t.on ? kOnButton : kOffButton);
  platform::CheckRadioButton(dialog, kPlusButton, kMinusButton, t.positive ? kPlusButton : kMinusButton);
  ShowBands(dialog, t);
}

// What the user sees now in the fields the dialog reads back.
LoudspeakerEditTexts TypedTexts(Window dialog) {
  for (int id : kNumberFields) FixDecimalComma(dialog, id);
  LoudspeakerEditTexts t;
  t.typeName = FieldText(dialog, kTypeNameField);
  t.group = FieldText(dialog, kGroupField);
  t.name = FieldText(dialog, kNameField);
  for (int i = 0; i < 3; ++i) {
    t.position[size_t(i)] = FieldText(dialog, kFirstPositionField + i);
    t.angles[size_t(i)] = FieldText(dialog, kFirstAngleField + i);
  }
  t.delay = FieldText(dialog, kDelayField);
  t.on = platform::IsDialogButtonChecked(dialog, kOnButton);
  t.positive = platform::IsDialogButtonChecked(dialog, kPlusButton);
  for (int b = 0; b < kBandCount; ++b) t.gains[size_t(b)] = FieldText(dialog, kFirstGainField + b);
  return t;
}

void ChooseSpeakerType(Window dialog, LoudspeakerEdit& edit) {
  int chosen = 0;
  SpeakerType header;
  if (!SelectSpeakerType(0, chosen, header)) return;
  TakeEditSpeakerType(edit, gDesignShell.speakerDatabase.entries[size_t(chosen)].name, header);
  SetDialogText(dialog, kTypeNameField, edit.shown.typeName.c_str());
  ShowBands(dialog, edit.shown);
}

void EqualiseSpeaker(Window dialog, LoudspeakerEdit& edit) {
  EqualizerBands gains = EditEqGains(edit, TypedTexts(dialog));
  if (ShowEqualizerDialog(gains, EqualizerMode::kEqualizer) && TakeEditEqGains(edit, gains))
    ShowBands(dialog, edit.shown);
}

LParam EditLoudspeakerDialogProc(Window dialog, unsigned kind, WParam wParam, LParam lParam) {
  if (!gOpenSpeakerDialog) return platform::DefaultDialogProc(dialog, kind, wParam, lParam);
  SpeakerDialog& d = *gOpenSpeakerDialog;
  if (kind == platform::msg::kInitDialog) {
    ShowSpeaker(dialog, d.edit.shown);
    return 0;
  }
  if (kind != platform::msg::kCommand) return platform::DefaultDialogProc(dialog, kind, wParam, lParam);
  const int id = int(platform::LowWord(wParam));
  if (IsNumberField(id)) {
    if (platform::HighWord(wParam) == platform::kNotifyEditChange) FixDecimalComma(dialog, id);
    return 0;
  }
  switch (id) {
    case kSpeakerTypeButton: ChooseSpeakerType(dialog, d.edit); break;
    case kEqButton: EqualiseSpeaker(dialog, d.edit); break;
    case kOkButton:
      if (ApplyLoudspeakerEdit(d.edit, TypedTexts(dialog), d.speaker, d.typeName)) platform::EndDialog(dialog, 1);
      break;
    case kCancelButton: platform::EndDialog(dialog, 0); break;
    default: break;
  }
  return 0;
}

// ---- The equaliser ----

constexpr int kFirstValueField = 101, kWholeField = 109, kFirstBar = 201;
constexpr int kUnitLabel = 301, kWholeLabel = 302;
constexpr int kEqOkButton = 401, kEqCancelButton = 402;

EqualizerValues* gOpenEqualizer = nullptr;  // the dialog open now, as above

void ShowEqualizer(Window dialog, const EqualizerValues& eq) {
  for (int c = 0; c < kEqualizerControls; ++c) {
    platform::SetScrollPosition(platform::GetDialogItem(dialog, kFirstBar + c), platform::ScrollBar::kControl,
                                EqualizerBarPosition(eq, c), true);
    SetDialogText(dialog, kFirstValueField + c, EqualizerFieldText(eq, c).c_str());
  }
  SetDialogText(dialog, kWholeField, EqualizerWholeText(eq).c_str());
}

// The step of a bar's scroll code; false for codes that move nothing (the
// end of a scroll).
bool StepOfScrollCode(unsigned code, EqualizerStep& step) {
  switch (code) {
    case platform::kScrollLineUp: step = EqualizerStep::kLineUp; return true;
    case platform::kScrollLineDown: step = EqualizerStep::kLineDown; return true;
    case platform::kScrollPageUp: step = EqualizerStep::kPageUp; return true;
    case platform::kScrollPageDown: step = EqualizerStep::kPageDown; return true;
    case platform::kScrollThumbPosition:
    case platform::kScrollThumbTrack: step = EqualizerStep::kThumb; return true;
    case platform::kScrollTop: step = EqualizerStep::kTop; return true;
    case platform::kScrollBottom: step = EqualizerStep::kBottom; return true;
    default: return false;
  }
}

LParam EqualizerDialogProc(Window dialog, unsigned kind, WParam wParam, LParam lParam) {
  if (!gOpenEqualizer) return platform::DefaultDialogProc(dialog, kind, wParam, lParam);
  EqualizerValues& eq = *gOpenEqualizer;
  switch (kind) {
    case platform::msg::kInitDialog: {
      const EqualizerLabels labels = EqualizerLabelsOf(eq.mode);
      platform::SetWindowText(dialog, labels.title);
      SetDialogText(dialog, kUnitLabel, labels.unit);
      SetDialogText(dialog, kWholeLabel, labels.whole);
      for (int c = 0; c < kEqualizerControls; ++c)
        platform::SetScrollRange(platform::GetDialogItem(dialog, kFirstBar + c), platform::ScrollBar::kControl, 0,
                                 kEqualizerBarRange, false);
      ShowEqualizer(dialog, eq);
      return 0;
    }
    case platform::msg::kVerticalScroll: {
      EqualizerStep step{};
      if (!StepOfScrollCode(platform::LowWord(wParam), step)) return 0;
      const int control = platform::GetWindowId(platform::ParamWindow(lParam)) - kFirstBar;
      StepEqualizer(eq, control, step, platform::HighSigned(wParam));
      ShowEqualizer(dialog, eq);
      return 0;
    }
    case platform::msg::kCommand: {
      const int id = int(platform::LowWord(wParam));
      if (id == kEqOkButton) platform::EndDialog(dialog, 1);
      if (id == kEqCancelButton) platform::EndDialog(dialog, 0);
      return 0;
    }
    default: return platform::DefaultDialogProc(dialog, kind, wParam, lParam);
  }
}

}  // namespace

int ShowEditLoudspeakerDialog(Loudspeaker& speaker, std::string& typeName, const SpeakerType* type) {
  SpeakerDialog d{OpenLoudspeakerEdit(speaker, typeName, type), speaker, typeName};
  gOpenSpeakerDialog = &d;
  const int result = RunModalDialog(kEditLoudspeakerDialog, MainWindow.window, EditLoudspeakerDialogProc);
  gOpenSpeakerDialog = nullptr;
  return result == 1 ? 1 : 0;
}

int ShowEqualizerDialog(EqualizerBands& values, EqualizerMode mode, const EqualizerOffsets& offsets) {
  EqualizerValues eq = OpenEqualizer(values, mode, offsets);
  gOpenEqualizer = &eq;
  const int result = RunModalDialog(kEqualizerDialog, platform::GetActiveWindow(), EqualizerDialogProc);
  gOpenEqualizer = nullptr;
  if (result != 1) return 0;
  values = eq.values;
  return 1;
}
