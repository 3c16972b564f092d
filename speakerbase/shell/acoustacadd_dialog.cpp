// Add AcoustaCadd Speaker (6104): the dialog "DIALOG_8" ("Import AcoustaCadd
// LS Data"). "Search" picks a .SPK file into the working record (a horn and
// its driver picked one after the other make one loudspeaker); the user may
// correct the names and figures; OK takes a complete loudspeaker only, and
// the record is then finished from its balloon files and appended.
#include <cmath>
#include <string>
#include <vector>

#include "framework/base/dialogs.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/file_dialogs.h"
#include "framework/core/file_dialog_state.h"
#include "framework/core/services.h"
#include "framework/core/text_format.h"
#include "framework/core/text_lines.h"
#include "platform/dialog.h"
#include "speakerbase/imports/acoustacadd_import.h"
#include "speakerbase/record_operations.h"
#include "speakerbase/shell/import_results.h"
#include "speakerbase/shell/speaker_commands.h"
#include "speakerbase/shell/speaker_editor.h"

namespace {

using platform::LParam;
using platform::Window;
using platform::WParam;

inline constexpr char kAcoustaCaddDialog[] = "DIALOG_8";
inline constexpr char kSpkFilter[] = "*.SPK|*.spk|";
constexpr int kBrandField = 100, kTypeField = 101, kCommentField = 600, kSearchButton = 103;
constexpr int kFirstCrossover = 300, kPowerRow = 400, kSensitivityRow = 500;
constexpr int kOkButton = 700, kCancelButton = 701;
constexpr int kCrossovers = 6;
constexpr size_t kNumberChars = 16;

struct AcoustaCaddDialog {
  AcoustaCaddImportState state;
  SpeakerType record;
};
AcoustaCaddDialog* gOpen = nullptr;

void ShowMessages(const std::vector<ImportMessage>& messages) {
  for (const ImportMessage& m : messages)
    ShowMessage(m.text.c_str(), m.caption.empty() ? nullptr : m.caption.c_str(), kMsgOk);
}

void ShowFigures(Window dialog, const SpeakerType& r) {
  for (int b = 0; b < kBandCount; ++b) {
    SetDialogText(dialog, kSensitivityRow + b, FormatText("%3.1f", r.Sensitivity(b)).c_str());
    SetDialogText(dialog, kPowerRow + b, FormatText("%4.0f", r.RatedPower(b)).c_str());
  }
}

void ShowRecord(Window dialog, const SpeakerType& r) {
  SetDialogText(dialog, kBrandField, r.Brand().c_str());
  SetDialogText(dialog, kTypeField, r.TypeName().c_str());
  SetDialogText(dialog, kCommentField, r.Comment().c_str());
  for (int i = 0; i < kCrossovers; ++i)
    platform::CheckDialogButton(dialog, kFirstCrossover + i, (r.BandSelection() >> i) & 1);
  ShowFigures(dialog, r);
}

// What the user typed, into the record; a figure that is no number keeps
// the record's.
void ReadRecord(Window dialog, SpeakerType& r) {
  r.SetTypeName(GetDialogText(dialog, kTypeField, kTypeNameSize));
  r.SetBrand(GetDialogText(dialog, kBrandField, kTypeBrandSize));
  r.SetComment(GetDialogText(dialog, kCommentField, kTypeCommentSize));
  uint16_t mask = 0;
  for (int i = 0; i < kCrossovers; ++i)
    if (platform::IsDialogButtonChecked(dialog, kFirstCrossover + i)) mask = uint16_t(mask | (1u << i));
  r.SetBandSelection(mask);
  for (int b = 0; b < kBandCount; ++b) {
    double value = 0;
    FixDecimalComma(dialog, kSensitivityRow + b);
    if (ReadTypedNumber(GetDialogText(dialog, kSensitivityRow + b, kNumberChars), value))
      r.SetSensitivity(b, float(value));
    if (ReadTypedNumber(GetDialogText(dialog, kPowerRow + b, kNumberChars), value))
      r.SetRatedPower(b, float(std::trunc(value)));
  }
}

void Search(Window dialog, AcoustaCaddDialog& d) {
  if (!OpenFileDialog(kSpkFilter, nullptr)) return;
  std::vector<ImportMessage> messages;
  const bool picked = PickSpkFile(d.state, d.record, GetDialogDirectory() + GetDialogFileName(), messages);
  ShowMessages(messages);
  if (picked) ShowRecord(dialog, d.record);
}

LParam AcoustaCaddDialogProc(Window dialog, unsigned kind, WParam wParam, LParam lParam) {
  if (!gOpen) return platform::DefaultDialogProc(dialog, kind, wParam, lParam);
  AcoustaCaddDialog& d = *gOpen;
  if (kind == platform::msg::kInitDialog) {
    ResetAcoustaCaddImport(d.state);
    ShowRecord(dialog, d.record);
    return 0;
  }
  if (kind != platform::msg::kCommand) return platform::DefaultDialogProc(dialog, kind, wParam, lParam);
  const int id = int(platform::LowWord(wParam));
  if (id == kSearchButton) {
    Search(dialog, d);
  } else if (id == kOkButton || id == platform::kIdOk) {
    std::vector<ImportMessage> messages;
    const bool complete = AcoustaCaddRecordComplete(d.record, messages);
    ShowMessages(messages);
    if (complete) {
      ReadRecord(dialog, d.record);
      platform::EndDialog(dialog, 1);
    }
  } else if (id == kCancelButton || id == platform::kIdCancel) {
    platform::EndDialog(dialog, 0);
  }
  return 0;
}

// "DIALOG_8" on the dialog's record: 1 on OK, 0 on Cancel or when the dialog
// cannot be shown.
int RunAcoustaCaddDialog(AcoustaCaddDialog& d) {
  gOpen = &d;
  const int result = RunModalDialog(kAcoustaCaddDialog, MainWindow.window, AcoustaCaddDialogProc);
  gOpen = nullptr;
  return result == 1 ? 1 : 0;
}

}  // namespace

void ImportAcoustaCadd() {
  if (gSpeakerEditor.database.records.size() >= kMaxDatabaseRecords) {
    ShowMessage(kDatabaseFullMessage, nullptr, kMsgOk);
    return;
  }
  AcoustaCaddDialog d;
  if (!RunAcoustaCaddDialog(d)) return;
  AppendImportedRecords(FinishAcoustaCaddImport(d.state, d.record));
}
