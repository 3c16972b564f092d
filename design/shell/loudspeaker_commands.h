// The commands of kdn's Loudspeakers menu: their prompts, selections, picks
// and dialogs around the model operations of design/document
// (speaker_operations.h), which change the loudspeakers, rebuild their
// symbols and aim lines and mark the project modified. The dispatch has
// taken the undo snapshot and made the loudspeaker layer current before
// each starts; each ends with ResetCommandState.
//
// A command works on a snapshot of the selected loudspeakers taken once the
// selection is made, because rebuilding a symbol moves its object to the
// head of the list.
//
// Aim by Central Perspective looks out of each selected loudspeaker in turn
// in the perspective view, with the -3, -6 and -9 dB isobars of its balloon
// drawn round the view's centre and seven band buttons (ids 20000 .. 20006,
// "125" .. " 8k") at the left edge: a click in the view turns the view to
// look at the clicked direction, a band button shows that band's isobars,
// Enter, Space, a right click or "OK" aims the loudspeaker where the view
// looks, Escape leaves it as it was and goes on with the next one. The view,
// the view panel and the band are restored at the end.
#pragma once

#include "platform/types.h"

inline constexpr char kAddSpeakerPrompt[] = "ADD NEW LOUDSPEAKER > ";
inline constexpr char kPlaceAtText[] = "Place at :";
inline constexpr char kEditSpeakersPrompt[] = "EDIT LOUDSPEAKER > ";
inline constexpr char kMoveSpeakersPrompt[] = "MOVE LOUDSPEAKERS > ";
inline constexpr char kCopySpeakersPrompt[] = "COPY LOUDSPEAKERS > ";
inline constexpr char kMirrorSpeakersPrompt[] = "MIRROR LOUDSPEAKERS > ";
inline constexpr char kDeleteSpeakersPrompt[] = "DELETE LOUDSPEAKERS > ";
inline constexpr char kAimSpeakersPrompt[] = "AIM LOUDSPEAKERS > ";
inline constexpr char kSwitchOnPrompt[] = "LOUDSPEAKER ON > ";
inline constexpr char kSwitchOffPrompt[] = "LOUDSPEAKER OFF > ";
inline constexpr char kEqualizerPrompt[] = "LOUDSPEAKER EQUALIZER > ";
inline constexpr char kAlignSpeakersPrompt[] = "LOUDSPEAKER ALIGNMENT > ";
inline constexpr char kReferencePointText[] = "Reference Point";
inline constexpr char kSetDelayText[] = "Set Delay Time > ";
inline constexpr char kDelayTitle[] = "Delay Time [ms]:";
inline constexpr char kAimByPerspectivePrompt[] = "Aim loudspeaker > ";
inline constexpr char kTurnArrayPrompt[] = "Turn speakers";
inline constexpr char kTiltArrayPrompt[] = "Tilt speakers>";
inline constexpr char kBasepointText[] = "Basepoint :";
inline constexpr char kArrayAngleTitle[] = "Angle [deg] : ";

// The band buttons of the perspective aiming: 125 Hz at this id, 8 kHz six on.
constexpr int kFirstAimingBandButton = 20000;

// Loudspeakers/New (1002): a point ("Place at :"), then Edit Loudspeaker on
// the new loudspeaker; it is placed only on OK with a type of the database.
void CmdAddSpeaker();
// Loudspeakers/Edit (1003): Edit Loudspeaker on each selected one in turn,
// the one being edited highlighted.
void CmdEditSpeakers();
// Loudspeakers/Move (1005): a base point and an offset point, the symbols
// following the cursor meanwhile; Escape at the offset puts them back.
void CmdMoveSpeakers();
// Loudspeakers/Copy (1006): a base point, then one copy of the selection
// (without names and groups) per offset point until the input ends.
void CmdCopySpeakers();
// Loudspeakers/Mirror (1013): copies reflected across the line from the
// base point to the second point, in the plane of the view (none in the
// perspective view, where the copies stay on their sources).
void CmdMirrorSpeakers();
// Loudspeakers/Delete (1007): every selected object.
void CmdDeleteSpeakers();
// Loudspeakers/Switch On and Switch Off (1008, 1009).
void CmdSwitchSpeakersOn();
void CmdSwitchSpeakersOff();
// Loudspeakers/Equalizer (1014): for more than one loudspeaker the question
// whether to set a common equalisation (Yes: the equaliser starts at 0 in
// every band and moves every loudspeaker's gains by what is changed, or none
// of them when any would exceed 0 dB in total; No: each in turn; Cancel:
// nothing).
void CmdSpeakerEqualizer();
// Loudspeakers/Align to Target (1010): delays that make the sound of every
// selected loudspeaker arrive at the picked reference point together.
void CmdAlignSpeakers();
// Loudspeakers/Set Delay Time (1011): one typed delay for every selected one.
void CmdSetSpeakerDelay();
// Loudspeakers/Aim at Target (1012): every selected one aimed at the picked point.
void CmdAimSpeakersAtTarget();

// Loudspeakers/Aim by Central Perspective (1015), as above.
void CmdAimByCentralPerspective();
// Loudspeakers/Array/Calculate Cluster Balloons (1016): with two or more
// objects selected, the balloon the selected loudspeakers radiate together
// (progress with Cancel), a description ("Cluster Description :", Cancel
// leaves it empty) and a file, written as a one-record speaker database.
void CmdClusterBalloons();
// Loudspeakers/Array/Turn array and Tilt array (1017, 1018): a base point and
// an angle in degrees; the selected loudspeakers turn about the vertical
// line through the base point, or tilt about the level line through it
// across each one's own azimuth.
void CmdTurnArray();
void CmdTiltArray();

// The main window's share of the perspective aiming: a command from one of
// its band buttons shows that band and ends the wait for the next click.
// False for any other id, or while the aiming does not run.
bool TakeAimingBandButton(int id);
