// Seams for tests: act as the user, look at what windows show, answer
// message boxes, dialogs, file and print dialogs, record printed pages and
// help, and set the clock. Tests run under the offscreen platform
// (QT_QPA_PLATFORM=offscreen); everything here works there.
//
// Acting as the user whenever the program waits:
//   platform::test::SetIdleHook([&] { ... });
// The hook runs each time GetMessage (or a modal message box) would block
// with nothing to do; it posts input (below), a command or a quit. It runs
// again while the loop would still block, so it must make progress.
//
// Input (sent through the toolkit as real events the way the window system
// sends them, so they arrive translated as messages on the queue):
//   Click(window, x, y)                      left down + up at the window's client pixel
//                                            (a push button's own pixel for a button)
//   Click(window, x, y, kMouseRight)         right down + up
//   DoubleClick, MouseMove                   the same; the toolkit picks the widget under
//                                            the point, so a window covering it gets it
//   Drag(window, x0, y0, x1, y1)             down at the first point, move and up at the
//                                            second (which may lie outside the window)
//   MouseMoveInFrame(window, x, y)           a move at a pixel of the window's outer
//                                            rectangle (its menu bar, frame, caption)
//   Wheel(window, x, y, delta)               a wheel turn, 120 a notch, > 0 away from the user
//   KeyPress(kKeyF5), TypeText("ab")         to the window that has the keyboard focus
//   ChooseMenuItem(window, id)               as if picked from its menu
//   ClickControl(button), ScrollAction(window or bar, ScrollBar, code),
//   DragScrollThumb(window or bar, ScrollBar, position)
//   RequestClose(window)                     the close box
//
// Message boxes: while a MessageBoxScript lives, boxes are not shown; each
// is recorded and answered from the script (kAnswerOk when it runs out).
//
// Dialogs: while a DialogScript lives, a dialog made from a template it has
// actions for is made, initialised and shown as usual, and the actions run
// the next time a loop waits: they act as the user would, through the
// dialog's controls (so every notification reaches the procedure), and read
// what the dialog shows. A modal dialog the actions leave open is ended
// with 0 when the loop waits again without an idle hook, and counted in
// leftOpen().
//   test::DialogScript script;
//   script.On("DIALOG_3", [](test::DialogUser& user) {
//     EXPECT_EQ(user.Text(105), "0.5");
//     user.Type(105, "1,5");
//     user.Press(102);
//   });
//
// File dialogs (FileDialogScript), print dialogs with recording and PDF
// printers (PrintDialogScript), help (HelpRecorder) and sound
// (SoundRecorder): see below.
//
// Surfaces: SurfacePixel(window, x, y) reads a pixel (0x00BBGGRR),
// SaveSurfacePng(window, path) writes the surface, SaveWindowPng the window
// as the screen shows it (menu, caption, children), SaveScreenPng the whole
// screen. DrawCallCount(window) counts the drawing calls that reached the
// window's surface, so a test can tell that nothing was drawn.
//
// Start folder: SetStartDirectory(path) makes StartDirectory() answer
// `path` (a program's folder of its own files, such as a history file);
// an empty path goes back to the folder current at the start.
//
// Clock: SetClock(ticks, time) fixes TickCount and LocalTime,
// AdvanceClock(ms) moves both on, SetClockStep(ms) moves them on by ms after
// every TickCount (for loops that pace themselves by it), UseRealClock()
// goes back.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_dialog.h"
#include "platform/help.h"
#include "platform/messages.h"
#include "platform/printer.h"
#include "platform/sound.h"
#include "platform/types.h"
#include "platform/window.h"

namespace platform::test {

void SetIdleHook(std::function<void()> hook);  // an empty function removes it

void Click(Window window, int x, int y, WParam button = kMouseLeft, WParam modifiers = 0);
void DoubleClick(Window window, int x, int y, WParam button = kMouseLeft, WParam modifiers = 0);
void MouseMove(Window window, int x, int y, WParam modifiers = 0);
void MouseMoveInFrame(Window window, int x, int y);
void Wheel(Window window, int x, int y, int delta);
void Drag(Window window, int fromX, int fromY, int toX, int toY, WParam button = kMouseLeft);
void KeyPress(unsigned virtualKey, WParam modifiers = 0);
void TypeText(std::string_view text);
bool ChooseMenuItem(Window window, int id);  // false when missing or greyed

// Menus as the screen shows them. OpenMenuPopup opens the top-level popup
// at `position` of the window's menu bar as a click on the bar would (the
// window gets kInitMenu first); CloseMenus closes every open popup.
bool OpenMenuPopup(Window window, int position);
void CloseMenus();
struct ShownMenuItem {
  bool exists = false, checked = false;
  bool enabled = false;      // it and every popup on the way to it
  bool inOpenPopup = false;  // the item's popup is open now
};
ShownMenuItem ShownItem(Window window, int id);
// The toolkit objects under the window's menu bar, after deferred deletions.
int MenuObjectCount(Window window);
// The cursor the pointer shows over the window's client area now: the wait
// cursor while it is on, else the window's own.
CursorShape ShownCursor(Window window);
bool ClickControl(Window control);
void ScrollAction(Window window, ScrollBar bar, unsigned code);
void DragScrollThumb(Window window, ScrollBar bar, int position);
void RequestClose(Window window);

// Keys sent to the box or dialog now shown modally (from an idle hook).
bool PressKeyInModal(unsigned virtualKey);
bool CloseModal();
std::string ModalText();     // its text, "" when none is shown
std::string ModalCaption();  // its caption
// Its caption as the window system's title bar shows it at the width the
// box or dialog has ("Warnin…" where the frame is too narrow).
std::string ModalShownCaption();

struct RecordedBox {
  std::string text;
  std::optional<std::string> caption;
  unsigned flags = 0;
  Window owner = Window::kNone;
};
class MessageBoxScript {
 public:
  MessageBoxScript();
  ~MessageBoxScript();
  MessageBoxScript(const MessageBoxScript&) = delete;
  MessageBoxScript& operator=(const MessageBoxScript&) = delete;
  void Answer(int answer);
  const std::vector<RecordedBox>& boxes() const { return boxes_; }

 private:
  friend int AnswerScripted(Window, std::string_view, std::optional<std::string_view>, unsigned);
  std::vector<int> answers_;
  std::size_t next_ = 0;
  std::vector<RecordedBox> boxes_;
};

// A dialog as its user sees and works it (see DialogScript above).
class DialogUser {
 public:
  explicit DialogUser(Window dialog) : dialog_(dialog) {}
  Window dialog() const { return dialog_; }
  std::string Caption() const;
  std::string ShownCaption() const;  // as ModalShownCaption shows it
  std::string Text(int id) const;
  bool IsChecked(int id) const;
  bool IsEnabled(int id) const;
  bool IsVisible(int id) const;
  bool IsBold(int id) const;  // its text in the bold weight
  bool HasFocus(int id) const;
  std::vector<std::string> Items(int id) const;  // a list's or combo box's entries
  int Selection(int id) const;
  // Focuses the field, selects what it holds and types over it.
  void Type(int id, std::string_view text);
  // A click on a button, check box, radio button or owner-drawn button.
  void Press(int id);
  // Picks the entry of a list or combo box; DoubleClick picks and double-clicks it.
  void Choose(int id, int index);
  void DoubleClick(int id, int index);
  // A key to the control that has the focus.
  void Key(unsigned virtualKey, WParam modifiers = 0);
  void Close();  // the close box

 private:
  Window dialog_;
};

class DialogScript {
 public:
  DialogScript();
  ~DialogScript();
  DialogScript(const DialogScript&) = delete;
  DialogScript& operator=(const DialogScript&) = delete;
  // Actions for the next dialog made from `templateName`; given several
  // times, they serve one opening each, in turn.
  void On(std::string templateName, std::function<void(DialogUser&)> actions);
  const std::vector<std::string>& opened() const { return opened_; }  // every template opened meanwhile
  int leftOpen() const { return leftOpen_; }

 private:
  friend struct DialogScriptAccess;
  std::vector<std::pair<std::string, std::function<void(DialogUser&)>>> actions_;
  std::vector<std::string> opened_;
  int leftOpen_ = 0;
};

// File dialogs: while a FileDialogScript lives, each open or save dialog is
// recorded with its request and answered from the script in turn: a path
// as if the user chose it, Cancel, a failure, or Look, which shows the real
// dialog and acts on it (its listing, its filters, a name to accept). Once
// the answers run out, dialogs are cancelled.
class FileDialogUser {
 public:
  explicit FileDialogUser(void* dialog) : dialog_(dialog) {}
  // The names the dialog lists now under its filter (folders left out),
  // once it has read its folder.
  std::vector<std::string> Shown() const;
  void ChooseFilter(int index);        // from 1
  void Choose(std::string_view name);  // types the name into the name field and presses Open/Save
  void Cancel();

 private:
  void* dialog_;
};

struct RecordedFileDialog {
  bool save = false;
  FileDialogRequest request;
};

class FileDialogScript {
 public:
  FileDialogScript();
  ~FileDialogScript();
  FileDialogScript(const FileDialogScript&) = delete;
  FileDialogScript& operator=(const FileDialogScript&) = delete;
  void Choose(std::string path);
  void Cancel();
  void Fail();
  void Look(std::function<void(FileDialogUser&)> actions);
  const std::vector<RecordedFileDialog>& dialogs() const { return dialogs_; }

 private:
  friend struct FileDialogScriptAccess;
  struct Answer {
    FileDialogResult result = FileDialogResult::kCancelled;
    std::string path;
    std::function<void(FileDialogUser&)> look;
  };
  std::vector<Answer> answers_;
  std::size_t next_ = 0;
  std::vector<RecordedFileDialog> dialogs_;
};

// Printing: while a PrintDialogScript lives, each print dialog records what
// the program preset and is answered in turn: OK with a printer that
// records its documents (each page's image, when kept, and a summary of its
// drawing operations), OK with a PDF printer writing a file, or Cancel.
// Once the answers run out, print dialogs are cancelled.
struct RecordedPageOp {
  char kind = 0;  // 'L' lines, 'P' polygons, 'R' rectangles, 'F' fills, 'S' pixels, 'T' texts, 'B' blits and icons
  Rect bounds;    // right and bottom exclusive
};
struct RecordedPage {
  std::vector<RecordedPageOp> operations;
  Bitmap image = Bitmap::kNone;  // the printed page, when the printer keeps images
};
struct RecordedPrint {
  std::string name;
  std::vector<RecordedPage> pages;
  bool ended = false, aborted = false;
};
struct RecordingPrinter {
  PrinterCaps caps;
  bool keepImages = true;
  int driverCopies = 1;
};
class PrintDialogScript {
 public:
  PrintDialogScript();
  ~PrintDialogScript();
  PrintDialogScript(const PrintDialogScript&) = delete;
  PrintDialogScript& operator=(const PrintDialogScript&) = delete;
  void Record(const RecordingPrinter& printer, int copies = 1);
  void PrintToPdf(std::string path, int dotsPerInch, int copies = 1);
  void Cancel();
  const std::vector<PrintSetup>& presets() const { return presets_; }  // what each dialog was preset with
  const std::vector<RecordedPrint>& documents() const { return documents_; }

 private:
  friend struct PrintDialogScriptAccess;
  struct Answer {
    bool ok = false;
    RecordingPrinter recording;
    std::string pdfPath;
    int dotsPerInch = 0;
    int copies = 1;
  };
  std::vector<Answer> answers_;
  std::size_t next_ = 0;
  std::vector<PrintSetup> presets_;
  std::vector<RecordedPrint> documents_;
};

// Help: while a HelpRecorder lives, help files are not shown; the address
// each would have been shown at ("file:///.../KDN_E.HLP#context-1004") is
// recorded instead.
class HelpRecorder {
 public:
  HelpRecorder();
  ~HelpRecorder();
  HelpRecorder(const HelpRecorder&) = delete;
  HelpRecorder& operator=(const HelpRecorder&) = delete;
  const std::vector<std::string>& opened() const { return opened_; }

 private:
  friend bool platform::OpenHelpFile(std::string_view, int);
  std::vector<std::string> opened_;
};

// Sound: while a SoundRecorder lives, no sound reaches a device. Each stream
// opened is recorded with every block queued to it, and a block completes at
// once (never while `stall` is set); the player takes its whole source at
// once; beeps are counted. With `failOpen` no stream or sound opens, as on a
// machine without a sound card.
struct RecordedSoundStream {
  SoundFormat format;
  std::vector<int> tags;  // of the blocks queued, in order
  std::vector<std::int16_t> samples;
  int resets = 0, drains = 0;
  bool closed = false;
};
struct RecordedSound {
  SoundFormat format;
  std::vector<std::int16_t> samples;
};
class SoundRecorder {
 public:
  SoundRecorder();
  ~SoundRecorder();
  SoundRecorder(const SoundRecorder&) = delete;
  SoundRecorder& operator=(const SoundRecorder&) = delete;

  bool failOpen = false;
  bool stall = false;
  std::vector<RecordedSoundStream> streams;
  std::vector<RecordedSound> played;
  int stops = 0;
  int beeps = 0;
};

// The most bytes one band of a printed page holds (0: back to 32 MB), so
// that a small page shows the seams between bands.
void SetPrintBandBytes(std::int64_t bytes);

// An image file (PNG) as a bitmap, for looking at what a program wrote.
Bitmap LoadImageFile(const std::string& path);
bool SaveBitmapPng(Bitmap bitmap, const std::string& path);
// The image on the clipboard as a bitmap, none when it holds no image.
Bitmap ClipboardBitmap();

Colour SurfacePixel(Window window, int x, int y);  // 0xFFFFFFFF outside
Size SurfaceSize(Window window);
bool SaveSurfacePng(Window window, const std::string& path);
bool SaveWindowPng(Window window, const std::string& path);
bool SaveScreenPng(const std::string& path);
std::uint64_t DrawCallCount(Window window);

// Live objects that a program created (stock objects not counted).
struct LiveObjects {
  int pens = 0, brushes = 0, fonts = 0, bitmaps = 0;
};
LiveObjects CountLiveObjects();

void SetStartDirectory(const std::string& path);

void SetClock(std::uint32_t ticks, std::time_t localTime);
void AdvanceClock(std::uint32_t milliseconds);
void SetClockStep(std::uint32_t milliseconds);
void UseRealClock();

}  // namespace platform::test
