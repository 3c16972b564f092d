// ksb, the speaker-database editor: its description for the program
// skeleton (framework/program: the menu "KSB", the splash "KSBBMP290", the
// title "KSB V2.90", its command table and new drawing), then what only ksb
// does: the database menu "KSB_ENH" and the drawing menu "DRAWMENU", the
// record selector bar, the axis cross, the session password, its commands,
// the main loop and the end.
//
// ksb runs in one of two modes. In database mode the database menu and the
// record selector show and the main window is the view window, which no new
// size and no view key lays out as a drawing window; in drawing mode the
// drawing menu, the drawing window and the view panel show, and the
// drawing editor edits a copy of the current record's shape: leaving with a
// drawing stores the drawing as the record's shape, leaving with none keeps
// the shape the record had. The undo ring is cleared on each switch, so an
// undo never brings back the shape of another record.
//
// gSpeakerEditor is the editor's one record: the open database, the
// session's owner block, the two menus, the drawing window, the mode, the
// drawing's name, modified mark and file header, and the name the title
// shows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "design/model/project_file.h"
#include "design/model/speaker_database.h"
#include "framework/base/drawing_layer.h"
#include "platform/messages.h"
#include "platform/types.h"
#include "speakerbase/record_operations.h"

inline constexpr char kSpeakerEditorTitle[] = "KSB V";
inline constexpr char kSpeakerEditorVersion[] = "2.90";
inline constexpr char kStartMenu[] = "KSB";
inline constexpr char kDatabaseMenu[] = "KSB_ENH";
inline constexpr char kDrawingMenu[] = "DRAWMENU";
inline constexpr char kSpeakerSplashBitmap[] = "KSBBMP290";
inline constexpr char kSpeakerHelpFile[] = "KSB_E.HLP";
inline constexpr char kSpeakerDatabaseFilter[] = "KSB|*.ksb|";

inline constexpr char kPasswordPrompt[] = "Session password(20 chars. max.):";
inline constexpr char kNoPasswordMessage[] = "Without password your data will be unprotected.Repeat?";
inline constexpr char kStartMemoryMessage[] = "Insufficient memory for system start";
inline constexpr char kStoreDrawingMessage[] = "Store drawing file ?";
inline constexpr char kNoSpeakerCaption[] = "Warning : No speaker assigned";

// The drawing name of a new drawing.
inline constexpr char kNewSpeakerDrawingName[] = "LS001";

struct SpeakerEditorState {
  SpeakerDatabase database;
  SessionOwnerBlock session = MakeSessionOwnerBlock("");
  platform::Menu databaseMenu = platform::Menu::kNone;
  platform::Menu drawingMenu = platform::Menu::kNone;
  platform::Window drawingWindow = platform::Window::kNone;
  // The drawing window's record; in database mode the main window is the
  // view window instead.
  WindowRecord* drawingRecord = nullptr;
  bool drawingMode = false;
  std::string drawingName = kNewSpeakerDrawingName;
  uint16_t drawingModified = 0;
  // The header of the drawing file read last; a save writes its other fields.
  ProjectHeader drawingHeader;
  std::string titleName;  // the database's, or in drawing mode the drawing's
};
extern SpeakerEditorState gSpeakerEditor;
// Back to the state before start-up.
void ResetSpeakerEditor();

// The start-up up to the main loop, without the password prompt: 0 when the
// work buffers or the editor's tables cannot be had (the program then ends
// with exit code 1).
int StartSpeakerEditor(platform::Instance instance);
// The tables the editor cannot work without, taken whole at start-up: the
// table of `records` records (kMaxDatabaseRecords), so that adding a record
// never has to move it. 1; 0 after "Insufficient memory for system start"
// when the memory cannot be had, the table left as it was.
int AllocSpeakerTables(SpeakerDatabase& database, size_t records);
// "Session password(20 chars. max.):" until a password is given or the
// warning on an empty one is answered Cancel; the password becomes the
// session owner's.
void AskSessionPassword();
// The main loop, until the program quits.
void RunSpeakerEditor();
// What the editor holds after the loop: the menus, the selector, the axis
// cross and what the skeleton holds.
void EndSpeakerEditor();

// The framework's new-drawing routine: the framework's reset with ksb's
// values (200 pixels per metre, a snap step of 0.01 m, the name "LS001",
// only the first layer shown).
void ResetSpeakerDrawing();

platform::LParam SpeakerEditorWindowProc(platform::Window window, unsigned kind, platform::WParam wParam,
                                         platform::LParam lParam);
// The greyed and checked items of the menu shown, each time it opens.
void UpdateSpeakerMenuState();

// The title: "KSB V2.90 > " and the database's file name (in drawing mode
// the drawing's name).
void UpdateSpeakerTitle();

// Drawing mode (6301) and database mode (6302).
void EnterDrawingMode();
void LeaveDrawingMode();

// The drawing menu's Exit and the close box: unless the user keeps an
// unsaved drawing, the drawing is freed and the main window destroyed.
void ExitSpeakerEditor();
// Quit (6004), Exit (105) and the close box: nothing unless the user gives
// up an unsaved database.
void QuitSpeakerEditor();
