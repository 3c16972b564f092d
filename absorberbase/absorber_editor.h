// kab, the absorber-database editor: its one database of up to 200
// materials, the main window with the menu "KAB" and its commands (new,
// open, save as, print, exit; add, delete and edit a record through the
// record panel; the two sorts), and the program's own message loop, which
// hands every message to the record panel first so that Tab, Enter and
// Escape work in it.
//
// The database is the .KAB file's table (design/model/absorber_database.h),
// read and written whole. The modified flag is set by every change the
// panel makes and cleared by a successful New, Open or Save as; New, Open,
// Exit and the close box ask before unsaved changes are dropped.
#pragma once

#include <cstdint>
#include <string>

#include "design/model/absorber_database.h"
#include "platform/messages.h"
#include "platform/types.h"

// The record panel's modes: the main menus are greyed outside view mode.
enum class PanelMode : int16_t { kView = 0, kEdit = 1, kNew = 2, kDelete = 3 };

struct AbsorberEditorState {
  AbsorberDatabase database;
  std::string fileName;  // the file last opened or saved (UTF-8); empty after New
  // The file the database was loaded from in part (records past the 200th
  // or a partial record left out): saving over it would drop them.
  std::string partlyReadFile;
  bool modified = false;
  platform::Window panel = platform::Window::kNone;  // none until New or Open first shows it
  PanelMode mode = PanelMode::kView;
  int currentIndex = 0;  // the record the panel shows
};
extern AbsorberEditorState gAbsorberEditor;
void ResetAbsorberEditor();

// Commands of the menu "KAB".
constexpr int kCmdNew = 101, kCmdOpen = 102, kCmdSaveAs = 103, kCmdPrint = 104, kCmdExit = 105;
constexpr int kCmdAddRecord = 201, kCmdDeleteRecord = 202, kCmdEditRecord = 203;
constexpr int kCmdSortByCategories = 301, kCmdSortByNames = 302;

inline constexpr char kAbsorberEditorTitle[] = "Korvane Absorber Database ";
inline constexpr char kAbsorberEditorVersion[] = "2.90";
inline constexpr char kInvalidDatabaseMessage[] = "Invalid Database";
inline constexpr char kDatabaseNotSavedMessage[] = "Database has not been saved";

// Start-up: the title with the version, the framework with the menu "KAB"
// and AbsorberEditorWindowProc, an empty database, the splash bitmap
// "KABBMP290" in the middle of the window (until the record panel shows).
// The record panel first shows on New or Open.
void StartAbsorberEditor(platform::Instance instance);
// The program's loop, until the quit message.
void RunAbsorberEditorLoop();
// One message of that loop: to the record panel when it is the panel's,
// else dispatched.
void DispatchAbsorberEditorMessage(const platform::Message& message);

platform::LParam AbsorberEditorWindowProc(platform::Window window, unsigned kind, platform::WParam wParam,
                                          platform::LParam lParam);

// True when nothing is unsaved or the user answers OK to "Database has not
// been saved" (caption "Warning", OK and Cancel).
bool ConfirmDiscardChanges();

// File commands. Open and Save as ask for the file (filter "*.KAB"; ".KAB"
// is added to a name without it); the title then names the path.
void NewAbsorberDatabase();
void OpenAbsorberDatabase();
// Save as proposes the current file, unless the database was loaded from it
// in part, and asks before it writes over that file. The file written
// becomes the current one.
void SaveAbsorberDatabaseAs();
// The file half of Open: 1 when `path` was read (it becomes the current
// file, the flag is cleared, the title names it, the next file dialog
// starts in its folder), 0 for a file of another
// format ("Invalid Database"; nothing changes), -1 when it cannot be opened
// (nothing changes, no message).
int OpenAbsorberDatabaseFile(const std::string& path);
