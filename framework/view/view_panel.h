// The view panel "3DPANEL": a modeless strip over the drawing window, owned
// by the main window, whose buttons do what the function keys do: XY, YZ,
// XZ and 3D (F1-F4), Z- (F5), Z+ (F6), <> (F7), and the switches H (F8,
// hidden faces), C (F9, coordinate snap) and N (F11, node snap), each
// checked while its switch is on; Print prints the view (PrintView), Copy
// puts the drawing window on the clipboard, Cmt. asks for the drawing
// comment. Beside them X, Y and Z read out the cursor point. Print, Copy and
// Cmt. are commands like the menu's: refused while one runs, and running as
// the program's command meanwhile (InternalCommandScope), so nothing else
// starts while a print job is open.
//
// A button posts kDrawingKeyMessage with its key to the main window, whose
// procedure hands the key to the drawing key handler, and gives the keyboard
// focus back to the main window. The panel answers two commands:
// kPanelRefreshCoordinates reads out the cursor along the axes the view
// shows (XY: X and Y, YZ: Y and Z, XZ: X and Z, 3D: all three, perspective:
// none) in "%0.3f" metres or "%0.2f" feet, the unit in which the panel also
// reads out all three when it opens; kPanelRefreshSwitches, and a key
// message for F1-F4, F8, F9 or F11, checks the view's button and the
// switches as they are.
#pragma once

#include "platform/messages.h"
#include "platform/types.h"

// The message whose wParam the main window hands to the drawing key handler.
constexpr unsigned kDrawingKeyMessage = 32700;
constexpr int kPanelRefreshCoordinates = 300;
constexpr int kPanelRefreshSwitches = 400;

// The panel's window, none while it is closed.
extern platform::Window gViewPanel;

// Opens (1) or closes (0) the panel, the keyboard focus staying with the
// main window; its window, none when closed or when it cannot be made (the
// program works on without it).
platform::Window ShowViewPanel(int show);
// Sends the panel one of its commands when it is open.
void SendViewPanelCommand(int command);
// Reads out all three coordinates, as the 3D view does, whatever the view
// (after a change of unit).
void ShowAllViewPanelCoordinates();
platform::LParam ViewPanelProc(platform::Window panel, unsigned kind, platform::WParam wParam, platform::LParam lParam);
