// Loudspeakers/Aim by Central Perspective: looking out of each selected
// loudspeaker in the perspective view, with its isobars round the centre.
#include <array>
#include <vector>

#include "design/document/loudspeaker_aim.h"
#include "design/document/speaker_operations.h"
#include "design/model/project.h"
#include "design/model/speaker_perspective.h"
#include "design/shell/loudspeaker_commands.h"
#include "design/shell/loudspeaker_steps.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/framework_windows.h"
#include "framework/base/input_loop.h"
#include "framework/base/view_state.h"
#include "framework/core/state_reset.h"
#include "framework/editor/edit_steps.h"
#include "framework/view/rendering.h"
#include "framework/view/view_panel.h"
#include "framework/view/view_transform.h"
#include "platform/window.h"

namespace {

constexpr float kAimingRotationStep = 0.0174533f;  // 1 degree
constexpr int kBandButtonSize = 32;
constexpr const char* kBandButtonLabels[kBandCount] = {"125", "250", "500", " 1k", " 2k", " 4k", " 8k"};

struct SpeakerAimingState {
  bool running = false;
  int band = 0;             // of the isobars shown
  bool bandChosen = false;  // a band button ended the last wait
};
SpeakerAimingState gSpeakerAiming;

void ResetSpeakerAiming() { gSpeakerAiming = SpeakerAimingState{}; }
const StateReset kReset(ResetSpeakerAiming);

// The band buttons down the left edge, from the top of the drawing window.
class BandButtons {
 public:
  BandButtons() {
    for (int b = 0; b < kBandCount; ++b)
      buttons_[size_t(b)] = CreatePushButton(kBandButtonLabels[b], 0, kDrawMarginTop + b * kBandButtonSize,
                                             kBandButtonSize, kBandButtonSize, kFirstAimingBandButton + b);
  }
  ~BandButtons() {
    for (platform::Window button : buttons_)
      if (button != platform::Window::kNone) DestroyControl(button);
  }
  BandButtons(const BandButtons&) = delete;
  BandButtons& operator=(const BandButtons&) = delete;

 private:
  std::array<platform::Window, kBandCount> buttons_{};
};

// The view of the perspective as the view state holds it.
PerspectiveAngles ShownView() { return {double(gView.perspectiveAngles[0]), double(gView.perspectiveAngles[2])}; }
void ShowView(const PerspectiveAngles& view) {
  gView.perspectiveAngles[0] = float(view.turn);
  gView.perspectiveAngles[2] = float(view.tilt);
}

// The view out of one loudspeaker until the user accepts it (the
// loudspeaker then aims along it) or cancels (it stays as it was).
void AimOneSpeaker(GraphicObject* object, GraphicObject* rings) {
  Loudspeaker speaker;
  if (!ReadLoudspeaker(object, speaker)) return;
  object->state = kStateHiddenMask;
  const PerspectiveAim aim = PerspectiveAimOf(speaker);
  gView.eyePoint = aim.eye;
  gView.rotationStep = kAimingRotationStep;
  gView.mode = kViewPerspective;
  // Kept in full precision between the waits; the view state holds floats.
  PerspectiveAngles view = aim.view;
  bool accepted = false;
  for (;;) {
    ShowView(view);
    if (const SpeakerType* type = SpeakerTypeOf(speaker))
      DrawSpeakerIsobars(*type, gSpeakerAiming.band, -double(speaker.rotation), rings);
    gRender.isobarBand = gSpeakerAiming.band;
    LayoutAndRedraw();
    ShowPerspectiveReadouts();
    WaitForPoint();
    // The arrow keys turn the view state itself.
    if (!(ShownView() == PerspectiveAngles{float(view.turn), float(view.tilt)})) view = ShownView();
    if (gInput.cancel) break;
    if (gSpeakerAiming.bandChosen) {
      gSpeakerAiming.bandChosen = false;
      platform::SetFocus(MainWindow.window);
      continue;
    }
    if (gInput.done) {
      accepted = true;
      break;
    }
    view = RecentrePerspective(view, gInput.cursorPixel.x, gInput.cursorPixel.y, DrawWindow->right, DrawWindow->bottom);
  }
  object->state = 0;
  if (accepted) AimLoudspeakerByPerspective(object, view);
}

}  // namespace

bool TakeAimingBandButton(int id) {
  if (!gSpeakerAiming.running || id < kFirstAimingBandButton || id >= kFirstAimingBandButton + kBandCount) return false;
  gSpeakerAiming.band = id - kFirstAimingBandButton;
  gSpeakerAiming.bandChosen = true;
  gInput.endFlag = true;  // ends the wait as the end of an input would
  return true;
}

void CmdAimByCentralPerspective() {
  const std::array<float, 3> angles = gView.perspectiveAngles;
  const ObjectVertex eye = gView.eyePoint;
  const int16_t mode = gView.mode;
  const std::vector<GraphicObject*> speakers = SelectSpeakersAfter(kAimByPerspectivePrompt);
  GraphicObject* rings = speakers.empty() ? nullptr : CreateIsobarObject();
  const bool panelOpen = rings && gViewPanel != platform::Window::kNone;
  if (rings) {
    if (panelOpen) ShowViewPanel(0);
    {
      BandButtons buttons;
      platform::SetFocus(MainWindow.window);
      gSpeakerAiming.running = true;
      gSpeakerAiming.band = IsobarBand(gProject.calcOptions.band);
      gRender.isobarRings = rings;
      for (GraphicObject* object : speakers) AimOneSpeaker(object, rings);
      gRender.isobarRings = nullptr;
      gSpeakerAiming = SpeakerAimingState{};
    }
    FreeObject(rings);
  }
  gView.perspectiveAngles = angles;
  gView.eyePoint = eye;
  gView.mode = mode;
  gView.rotationStep = kRotationStep;
  // The panel opens on the view as restored.
  if (panelOpen) ShowViewPanel(1);
  LayoutAndRedraw();
  if (gProject.modified) RefreshAimLines();
  ResetCommandState();
}
