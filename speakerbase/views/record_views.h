// The speaker-database editor's three views of a record, drawn: the data
// sheet, the polar plots and the balloons. Each routine fills the current
// output window (SelectOutputWindow) and draws the layout of
// speakerbase/data_sheet.h, polar_plot.h or balloon_view.h for its client
// size, so the window that shows it only has to make itself the output and
// call it when it paints; Print and Copy take what the window then shows.
// The balloon views go through the framework's renderer, which draws into
// the view window: for the time of the call the output window is made the
// view window and the view is set to each cell's projection; both are put
// back afterwards. Every routine leaves pen 0 and brush 30 selected.
#pragma once

#include "design/model/speaker_type.h"
#include "speakerbase/balloon_view.h"

// The window is filled white and the sheet drawn in black.
void DrawDataSheet(const SpeakerType& record);
// The plots of all seven bands: the horizontal curve in pen 21, the vertical
// one in pen 32 (dotted, its gaps letting the horizontal curve show where
// the two lie on each other).
void DrawPolarPlots(const SpeakerType& record);
// The balloon of the state's band: the four views, or the 3D view alone
// with the 3D flag. `rebuild` first fills the state's mesh from the band
// (the window's paint, its band and 3D buttons); turning the 3D view by the
// scroll bars draws the mesh as it is. Nothing is drawn without a mesh or
// for a band outside 0 .. 6.
void DrawBalloons(const SpeakerType& record, BalloonViewState& state, bool rebuild);
// The 3D view alone (DrawBalloons with the 3D flag): heading, band header,
// the mesh turned by the state's angles and the axis cross at the lower left.
void DrawBalloon3D(const SpeakerType& record, const BalloonViewState& state);
