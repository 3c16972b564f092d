// The Loudspeakers menu: placing, editing, moving, copying, mirroring,
// deleting, switching, equalising, delaying and aiming loudspeakers, the
// listing, the Array submenu (loudspeaker_array.cpp), the perspective
// aiming (loudspeaker_aiming.cpp), Select Database, and the drawing editor's
// group commands at 1000.
#include <optional>
#include <string>
#include <vector>

#include "design/document/speaker_operations.h"
#include "design/model/project.h"
#include "design/model/speaker_database.h"
#include "design/shell/core/command_table.h"
#include "design/shell/design_commands.h"
#include "design/shell/design_shell.h"
#include "design/shell/loudspeaker_commands.h"
#include "design/shell/loudspeaker_steps.h"
#include "design/shell/property_dialogs.h"
#include "design/shell/speaker_selection_dialog.h"
#include "design/windows/speaker_listing_window.h"
#include "framework/base/file_dialogs.h"
#include "framework/base/framework_dialogs.h"
#include "framework/base/framework_windows.h"
#include "framework/base/input_loop.h"
#include "framework/base/status_line.h"
#include "framework/base/view_state.h"
#include "framework/core/file_dialog_state.h"
#include "framework/core/services.h"
#include "framework/editor/edit_commands.h"
#include "framework/editor/edit_steps.h"
#include "framework/editor/pointer_input.h"
#include "framework/view/rendering.h"

namespace {

constexpr size_t kDelayTextLength = 10;
constexpr int kLoudspeakerEditBase = 1000;  // its group commands at 1019 and 1020

// The "Select Loudspeaker" dialog opened on the database entry of the type
// named `current` (else where it was last).
bool SelectListedSpeakerType(const std::string& current, std::string& chosen) {
  const SpeakerDatabaseIndex& index = gDesignShell.speakerDatabase;
  int suggested = 0;
  for (size_t i = 0; i < index.entries.size(); ++i)
    if (index.entries[i].name == current) suggested = int(i);
  int position = 0;
  SpeakerType header;
  if (!SelectSpeakerType(suggested, position, header)) return false;
  if (position < 0 || size_t(position) >= index.entries.size()) return false;
  chosen = index.entries[size_t(position)].name;
  return true;
}

void SwitchSpeakers(const char* prompt, bool on) {
  const std::vector<GraphicObject*> speakers = SelectSpeakersAfter(prompt);
  if (!speakers.empty()) SwitchLoudspeakers(speakers, on);
  ResetCommandState();
}

// The equaliser on each loudspeaker's own gains in turn; the first whose
// edited gains are refused ends the command.
void EqualiseEach(const std::vector<GraphicObject*>& speakers) {
  for (GraphicObject* object : speakers) {
    Loudspeaker speaker;
    if (!ReadLoudspeaker(object, speaker)) continue;
    object->state &= ~uint32_t(kStateSelected);
    EqualizerBands gains;
    for (size_t b = 0; b < kBandCount; ++b) gains[b] = speaker.eqGain[b];
    const bool accepted =
        !ShowEqualizerDialog(gains, EqualizerMode::kEqualizer) || ApplySpeakerEqualizer(object, gains);
    RedrawSpeaker(object);
    if (!accepted) return;
  }
}

// The equaliser starting at 0 in every band, its changes applied to all.
void EqualiseTogether(const std::vector<GraphicObject*>& speakers) {
  const CommonEqualizerStart start = StartCommonEqualizer(speakers);
  EqualizerOffsets offsets;
  for (size_t b = 0; b < kBandCount; ++b) offsets[b] = -start.bandMax[b];
  offsets[kEqualizerMaster] = -start.overallMax;
  EqualizerBands edited = start.bandMax;
  if (!ShowEqualizerDialog(edited, EqualizerMode::kEqualizer, offsets)) return;
  ApplyCommonEqualizer(speakers, start, edited);
}

// The base point of a move or copy; false when the user cancelled or ended
// the input instead.
bool TakeBasePoint() {
  PickBasePoint();
  return !gInput.cancel && !gInput.done;
}

// The offset point with the preview following the cursor; false when the
// input was cancelled (and, with `endsInput`, when it was ended).
bool TakeOffsetPoint(ObjectVertex& offset, bool endsInput) {
  SetRubberBand(1);
  PickOffsetPoint(offset.x, offset.y, offset.z);
  SetRubberBand(0);
  return !gInput.cancel && !(endsInput && gInput.done);
}

}  // namespace

void SelectSpeakerDatabase() {
  StartDialogIn(gDesignShell.speakerDatabase.folder);
  if (!OpenFileDialog(kSpeakerDatabaseFilter, nullptr)) return;
  OpenSpeakerDatabaseIndex(gDesignShell.speakerDatabase,
                           ForceExtension(GetDialogDirectory() + GetDialogFileName(), kSpeakerDatabaseExtension));
}

void CmdSpeakerListing() {
  SpeakerListingSetup setup;
  setup.design = ProjectTables();
  setup.owner = DrawWindow->window;
  setup.selectType = SelectListedSpeakerType;
  setup.database = &gDesignShell.speakerDatabase;
  setup.modifiedMark = &gProject.modified;
  setup.programTitle = kDesignTitle;
  setup.fileName = gProject.path;
  if (ShowSpeakerListing(setup)) PurgeUnusedSpeakerTypes();
}

void CmdAddSpeaker() {
  gDrawing.prompt = kAddSpeakerPrompt;
  ObjectVertex position;
  if (CheckSpeakerLimit(1) && PickCommandPoint(kPlaceAtText, position)) {
    ClearStatusLine();
    ClearRequestFlags();
    AddLoudspeaker(position, gDesignShell.speakerDatabase, [](Loudspeaker& speaker, std::string& typeName) {
      return ShowEditLoudspeakerDialog(speaker, typeName, nullptr);
    });
  }
  ResetCommandState();
}

void CmdEditSpeakers() {
  const std::vector<GraphicObject*> speakers = SelectSpeakersAfter(kEditSpeakersPrompt);
  // Each is highlighted while its own dialog is open.
  for (GraphicObject* object : speakers) {
    object->state &= ~uint32_t(kStateSelected);
    RedrawSpeaker(object);
  }
  EditLoudspeakers(speakers, gDesignShell.speakerDatabase, [](Loudspeaker& speaker, std::string& typeName) {
    speaker.object->state |= kStateSelected;
    RedrawSpeaker(speaker.object);
    const int result = ShowEditLoudspeakerDialog(speaker, typeName, SpeakerTypeOf(speaker));
    speaker.object->state &= ~uint32_t(kStateSelected);
    RedrawSpeaker(speaker.object);
    return result;
  });
  ResetCommandState();
}

void CmdMoveSpeakers() {
  const std::vector<GraphicObject*> speakers = SelectSpeakersAfter(kMoveSpeakersPrompt);
  if (!speakers.empty() && TakeBasePoint()) {
    EraseSelectedObjects();
    ObjectVertex offset;
    if (TakeOffsetPoint(offset, false)) {
      MoveLoudspeakers(speakers, offset);
    } else {
      // The preview moved the symbols along with the cursor: back by as much.
      const ObjectVertex& base = gInput.basePoint;
      const ObjectVertex& shown = gInput.pickedPoint;
      for (GraphicObject* object : speakers)
        TranslateObject(object, double(base.x) - shown.x, double(base.y) - shown.y, double(base.z) - shown.z);
    }
  }
  ResetCommandState();
  RedrawAllObjects();
}

void CmdCopySpeakers() {
  const std::vector<GraphicObject*> sources = SelectSpeakersAfter(kCopySpeakersPrompt);
  if (!sources.empty() && CheckSpeakerLimit(1) && CheckSpeakerCopies(sources) && TakeBasePoint()) {
    // Each pass previews duplicates of the sources, then places copies of
    // them at the offset; the next pass starts from the sources again.
    while (CheckSpeakerCopies(sources)) {
      DuplicateSelectedObjects();
      ObjectVertex offset;
      const bool placed = TakeOffsetPoint(offset, true);
      DeleteSelectedObjects();
      if (!placed) break;
      CopyLoudspeakers(sources, offset);
      for (GraphicObject* source : sources) source->state |= kStateSelected;
    }
  }
  ResetCommandState();
  RedrawAllObjects();
}

void CmdMirrorSpeakers() {
  const std::vector<GraphicObject*> sources = SelectSpeakersAfter(kMirrorSpeakersPrompt);
  if (!sources.empty() && CheckSpeakerCopies(sources) && TakeBasePoint()) {
    const ObjectVertex base = gInput.basePoint;
    DuplicateSelectedObjects();
    SetRubberBandMode(kBandMirror);
    ObjectVertex d;
    const bool placed = TakeOffsetPoint(d, false);
    SetRubberBandMode(kBandTranslate);
    DeleteSelectedObjects();
    if (placed)
      MirrorLoudspeakers(sources, base, {base.x + d.x, base.y + d.y, base.z + d.z}, MirrorPlaneOfView(gView.mode));
  }
  ResetCommandState();
  RedrawAllObjects();
}

void CmdDeleteSpeakers() {
  if (SelectAfterPrompt(kDeleteSpeakersPrompt) > 0) {
    EraseSelectedObjects();
    DeleteLoudspeakers(SelectedObjects());
  }
  ResetCommandState();
}

void CmdSwitchSpeakersOn() { SwitchSpeakers(kSwitchOnPrompt, true); }
void CmdSwitchSpeakersOff() { SwitchSpeakers(kSwitchOffPrompt, false); }

void CmdSpeakerEqualizer() {
  const std::vector<GraphicObject*> speakers = SelectSpeakersAfter(kEqualizerPrompt);
  if (speakers.size() > 1) {
    switch (ShowMessage(kCommonEqualizerQuestion, kCommonEqualizerCaption, kMsgYesNoCancel)) {
      case kIdYes: EqualiseTogether(speakers); break;
      case kIdNo: EqualiseEach(speakers); break;
      default: break;
    }
  } else if (!speakers.empty()) {
    EqualiseEach(speakers);
  }
  ResetCommandState();
}

void CmdAlignSpeakers() {
  const std::vector<GraphicObject*> speakers = SelectSpeakersAfter(kAlignSpeakersPrompt);
  ObjectVertex reference;
  if (!speakers.empty() && PickCommandPoint(kReferencePointText, reference)) AlignLoudspeakers(speakers, reference);
  ResetCommandState();
}

void CmdSetSpeakerDelay() {
  const std::vector<GraphicObject*> speakers = SelectSpeakersAfter("", kSetDelayText);
  std::string text = "0.0";
  if (!speakers.empty() && InputLine(kDelayTitle, text, kDelayTextLength + 1, 1))
    if (const std::optional<double> delay = ReadSpeakerDelay(text)) SetLoudspeakerDelay(speakers, *delay);
  ResetCommandState();
}

void CmdAimSpeakersAtTarget() {
  const std::vector<GraphicObject*> speakers = SelectSpeakersAfter(kAimSpeakersPrompt);
  ObjectVertex target;
  if (!speakers.empty() && PickCommandPoint(kReferencePointText, target)) {
    EraseSelectedObjects();
    AimLoudspeakersAtTarget(speakers, target);
  }
  ResetCommandState();
}

void BindLoudspeakerMenu(CommandRegistry& r) {
  r.Bind(kCmdNewLoudspeaker, CmdAddSpeaker);
  r.Bind(kCmdEditLoudspeakers, CmdEditSpeakers);
  r.Bind(kCmdSpeakerListing, CmdSpeakerListing);
  r.Bind(kCmdMoveSpeakers, CmdMoveSpeakers);
  r.Bind(kCmdCopySpeakers, CmdCopySpeakers);
  r.Bind(kCmdDeleteSpeakers, CmdDeleteSpeakers);
  r.Bind(kCmdMirrorSpeakers, CmdMirrorSpeakers);
  r.Bind(kCmdSwitchSpeakersOn, CmdSwitchSpeakersOn);
  r.Bind(kCmdSwitchSpeakersOff, CmdSwitchSpeakersOff);
  r.Bind(kCmdAlignSpeakers, CmdAlignSpeakers);
  r.Bind(kCmdSetSpeakerDelay, CmdSetSpeakerDelay);
  r.Bind(kCmdAimSpeakersAtTarget, CmdAimSpeakersAtTarget);
  r.Bind(kCmdSpeakerEqualizer, CmdSpeakerEqualizer);
  r.Bind(kCmdAimByPerspective, CmdAimByCentralPerspective);
  r.Bind(kCmdClusterBalloons, CmdClusterBalloons);
  r.Bind(kCmdTurnArray, CmdTurnArray);
  r.Bind(kCmdTiltArray, CmdTiltArray);
  r.Bind(kCmdSelectSpeakerDatabase, SelectSpeakerDatabase);
  BindGroupCommands(r, kLoudspeakerEditBase);
}
