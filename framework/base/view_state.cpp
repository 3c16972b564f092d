#include "framework/base/view_state.h"

#include "framework/core/state_reset.h"

ViewState gView;
DrawingSettings gDrawing;
PickBuffer gPicks;

namespace {

ViewHooks gHooks;

template <class F>
void Keep(F& slot, F given) {
  if (given) slot = given;
}

}  // namespace

void InstallViewHooks(const ViewHooks& hooks) {
  Keep(gHooks.redrawAll, hooks.redrawAll);
  Keep(gHooks.layoutAndRedraw, hooks.layoutAndRedraw);
  Keep(gHooks.selectPlanView, hooks.selectPlanView);
  Keep(gHooks.updateTitle, hooks.updateTitle);
  Keep(gHooks.showCrosshair, hooks.showCrosshair);
  Keep(gHooks.enableCommandMenus, hooks.enableCommandMenus);
}

void ResetViewHooks() { gHooks = {}; }

void ViewRedrawAll() {
  if (gHooks.redrawAll) gHooks.redrawAll();
}
void ViewLayoutAndRedraw() {
  if (gHooks.layoutAndRedraw) gHooks.layoutAndRedraw();
}
void ViewSelectPlan() {
  if (gHooks.selectPlanView) gHooks.selectPlanView();
}
void ViewUpdateTitle() {
  if (gHooks.updateTitle) gHooks.updateTitle();
}
void ViewShowCrosshair(int show) {
  if (gHooks.showCrosshair) gHooks.showCrosshair(show);
}
void ViewEnableCommandMenus(bool enabled) {
  if (gHooks.enableCommandMenus) gHooks.enableCommandMenus(enabled);
}

void ResetViewState() {
  gView = ViewState{};
  gDrawing = DrawingSettings{};
  gPicks.Clear();
}

namespace {
const StateReset kViewReset(ResetViewState);
const StateReset kHooksReset(ResetViewHooks);
}  // namespace
