#include "framework/base/framework_windows.h"

#include <cstdio>

#include "framework/base/bitmaps.h"
#include "framework/base/printing.h"
#include "framework/base/progress_window.h"
#include "framework/core/services.h"
#include "framework/core/state_reset.h"
#include "framework/core/text_encoding.h"
#include "platform/menu.h"
#include "platform/message_box.h"
#include "platform/resources.h"

FrameworkState gFramework;

static_assert(kMsgOkCancel == platform::kBoxOkCancel && kMsgYesNoCancel == platform::kBoxYesNoCancel &&
              kMsgIconStop == platform::kBoxIconStop && kMsgIconExclamation == platform::kBoxIconExclamation &&
              kMsgDefaultButton2 == platform::kBoxDefaultButton2 && kMsgSystemModal == platform::kBoxSystemModal);
static_assert(kIdOk == platform::kAnswerOk && kIdCancel == platform::kAnswerCancel && kIdYes == platform::kAnswerYes &&
              kIdNo == platform::kAnswerNo);

namespace {

// ShowMessage's handler while the framework runs: the message box over the
// main window.
int ShowMessageBox(const char* text, const char* caption, unsigned flags) {
  std::string shown = Cp1252ToUtf8(text ? text : "");
  std::string title = caption ? Cp1252ToUtf8(caption) : std::string();
  platform::Window owner = platform::IsWindow(gFramework.messageOwner) ? gFramework.messageOwner : MainWindow.window;
  return platform::MessageBox(owner, shown, caption ? std::optional<std::string_view>(title) : std::nullopt, flags);
}

platform::Window CreateMainChild(platform::ControlKind kind, const char* text, int x, int y, int width, int height,
                                 int id) {
  return platform::CreateControl(kind, Cp1252ToUtf8(text ? text : ""), x, y, width, height, MainWindow.window, id);
}

}  // namespace

void ResetFramework() {
  ResetBitmaps();
  ResetPrinting();
  gFramework = {};
  InstallCoreServices({});
}

namespace {
const StateReset kReset(ResetFramework);
}  // namespace

int InitFramework(platform::Instance instance, const char* resourceName, platform::WindowProc windowProc) {
  gFramework.instance = instance;
  InitPalette();
  gOutput.stockPen = platform::GetStockPen(platform::StockPen::kBlack);
  gOutput.stockBrush = platform::GetStockBrush(platform::StockBrush::kWhite);
  gOutput.pen = gOutput.stockPen;
  gOutput.brush = gOutput.stockBrush;

  platform::WindowClass main;
  main.name = kMainWindowClass;
  main.proc = windowProc;
  main.style = platform::kClassRedrawOnResize | platform::kClassOwnContext;
  main.background = kLightGrey;
  main.icon = resourceName ? resourceName : "";
  main.cursor = platform::CursorShape::kArrow;
  main.instance = instance;
  platform::RegisterWindowClass(main);
  platform::WindowClass status;
  status.name = kStatusWindowClass;
  status.proc = StatusWindowProc;
  status.style = platform::kClassNoClose;
  status.background = 0xFFFFFF;
  status.instance = instance;
  platform::RegisterWindowClass(status);

  platform::Menu menu = platform::LoadMenu(instance, resourceName ? resourceName : "");
  platform::WindowCreation creation;
  creation.className = kMainWindowClass;
  creation.caption = Cp1252ToUtf8(GetMainTitle());
  creation.style = platform::kStyleOverlapped | platform::kStyleClipChildren;
  MainWindow.window = platform::CreateWindow(creation);
  SelectOutputWindow(&MainWindow);
  platform::SetWindowMenu(MainWindow.window, menu);
  platform::ShowWindow(MainWindow.window, platform::ShowMode::kMaximised);
  platform::UpdateWindow(MainWindow.window);

  LoadPatternBrushes();
  platform::SetBackMode(gOutput.context, platform::kBackTransparent);
  QueryDefaultPrinter();
  SetPrintLandscape(0);
  SetPrintScale(100);
  gFramework.startFolder = platform::StartDirectory();
  gFramework.version = platform::GetSystemVersion();
  SetDefaultTextStyle();
  CoreServices windows;
  windows.showMessage = ShowMessageBox;
  windows.openProgress = OpenProgressWindow;
  windows.updateProgress = UpdateProgress;
  windows.closeProgress = [] { CloseProgressWindow(); };
  windows.waitCursor = ShowWaitCursor;
  windows.tickCount = platform::TickCount;
  InstallCoreServices(windows);
  return 1;
}

void LoadPatternBrushes() {
  for (int i = 0; i < kPatternBrushCount; ++i) {
    char name[8];
    std::snprintf(name, sizeof name, "LEV_%02d", i);
    gFramework.patternBitmaps[i] = platform::LoadBitmap(gFramework.instance, name);
    gFramework.patternBrushes[i] = platform::CreatePatternBrush(gFramework.patternBitmaps[i]);
  }
  ReplaceOutputPen(platform::CreatePen(platform::PenStyle::kSolid, 1, 0));
  ReplaceOutputBrush(platform::CreateSolidBrush(0));
  // The indexes say what is selected now (black), so that the next colour
  // asked for after a print job is selected, not taken as already there.
  gOutput.penIndex = 0;
  gOutput.brushIndex = 0;
}

void ReleaseDrawingObjects() {
  ReplaceOutputPen(gOutput.stockPen);
  ReplaceOutputBrush(gOutput.stockBrush);
  for (int i = 0; i < kPatternBrushCount; ++i) {
    platform::DeleteObject(gFramework.patternBrushes[i]);
    platform::DeleteObject(gFramework.patternBitmaps[i]);
    gFramework.patternBrushes[i] = platform::Brush::kNone;
    gFramework.patternBitmaps[i] = platform::Bitmap::kNone;
  }
}

void UnregisterFrameworkClasses() {
  platform::UnregisterWindowClass(kStatusWindowClass);
  platform::UnregisterWindowClass(kMainWindowClass);
}

void ShutdownFramework() {
  SelectOutputWindow(&MainWindow);
  ReleaseDrawingObjects();
  ResetBitmaps();
  FreePrinterSetup();
  MainWindow.context = platform::Context::kNone;
  platform::PostQuitMessage(0);
}

const std::string& GetStartDirectory() { return gFramework.startFolder; }

MessageOwnerScope::MessageOwnerScope(platform::Window owner) : previous_(gFramework.messageOwner) {
  gFramework.messageOwner = owner;
}
MessageOwnerScope::~MessageOwnerScope() { gFramework.messageOwner = previous_; }

platform::Window ActiveOrMainWindow() {
  const platform::Window active = platform::GetActiveWindow();
  return active != platform::Window::kNone ? active : MainWindow.window;
}

platform::Menu GetWindowMenu(WindowRecord* record) {
  return record ? platform::GetWindowMenu(record->window) : platform::Menu::kNone;
}

void ReplaceWindowMenu(WindowRecord* record, const char* resourceName) {
  if (!record) return;
  platform::Menu old = platform::GetWindowMenu(record->window);
  platform::Menu menu = platform::LoadMenu(gFramework.instance, resourceName ? resourceName : "");
  platform::DestroyMenu(old);
  platform::SetWindowMenu(record->window, menu);
}

bool CheckMenuItemOn(platform::Menu menu, int id) { return platform::SetMenuItemChecked(menu, id, true); }
bool CheckMenuItemOff(platform::Menu menu, int id) { return platform::SetMenuItemChecked(menu, id, false); }
void DeleteMenuItem(platform::Menu menu, int id) { platform::RemoveMenuItem(menu, id); }

void InsertMenuItem(platform::Menu menu, int newId, int beforeId, const char* text) {
  platform::InsertMenuItemBefore(menu, beforeId, newId, Cp1252ToUtf8(text ? text : ""));
}

platform::Window CreatePushButton(const char* text, int x, int y, int width, int height, int id) {
  return CreateMainChild(platform::ControlKind::kPushButton, text, x, y, width, height, id);
}

platform::Window CreateOwnerDrawButton(const char* text, int x, int y, int width, int height, int id) {
  return CreateMainChild(platform::ControlKind::kOwnerDrawButton, text, x, y, width, height, id);
}

platform::Window CreateHorizontalScrollBar(const char* text, int x, int y, int width, int height, int id) {
  return CreateMainChild(platform::ControlKind::kHorizontalScrollBar, text, x, y, width, height, id);
}

platform::Window CreateVerticalScrollBar(const char* text, int x, int y, int width, int height, int id) {
  return CreateMainChild(platform::ControlKind::kVerticalScrollBar, text, x, y, width, height, id);
}

platform::Window CreateChildWindow(const char* title, unsigned style, int x, int y, int width, int height, int id) {
  platform::WindowCreation creation;
  creation.className = kMainWindowClass;
  creation.caption = Cp1252ToUtf8(title ? title : "");
  creation.style = style | platform::kStyleChild | platform::kStyleVisible | platform::kStyleClipChildren;
  creation.x = x;
  creation.y = y;
  creation.width = width;
  creation.height = height;
  creation.parent = MainWindow.window;
  creation.id = id;
  return platform::CreateWindow(creation);
}

void DestroyControl(platform::Window window) { platform::DestroyWindow(window); }

ScrollParams* UnpackScrollParams(platform::WParam wParam, platform::LParam lParam) {
  static ScrollParams params;
  params.scrollBar = platform::ParamWindow(lParam);
  params.code = std::int32_t(platform::LowWord(wParam));
  params.thumb = platform::HighSigned(wParam);
  return &params;
}
