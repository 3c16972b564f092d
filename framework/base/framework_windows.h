// Start-up and teardown of the framework, its two window classes, menus,
// controls of the main window.
#pragma once

#include <cstdint>
#include <string>

#include "framework/base/drawing_layer.h"
#include "platform/messages.h"
#include "platform/system.h"
#include "platform/types.h"
#include "platform/window.h"

constexpr const char* kMainWindowClass = "QVD_MAINWIN";
constexpr const char* kStatusWindowClass = "QVD_STATUS";
constexpr platform::Colour kLightGrey = 0xC0C0C0;
constexpr int kPatternBrushCount = 16;

struct FrameworkState {
  platform::Instance instance = platform::Instance::kNone;
  std::string startFolder;  // the current folder at start-up
  platform::SystemVersion version;
  platform::Brush patternBrushes[kPatternBrushCount] = {};  // none where the program has no bitmap
  platform::Bitmap patternBitmaps[kPatternBrushCount] = {};
  // The window that owns the message boxes ShowMessage shows: the main
  // window unless a MessageOwnerScope names a dialog.
  platform::Window messageOwner = platform::Window::kNone;
};
extern FrameworkState gFramework;
// Back to the state before start-up (with the printer, capture and back
// buffer), and ShowMessage back to its default.
void ResetFramework();

// Registers the classes, creates the maximised main window with the menu
// `resourceName` (also its icon) and `windowProc`, prepares the drawing
// objects and records the start folder. Returns 1.
int InitFramework(platform::Instance instance, const char* resourceName, platform::WindowProc windowProc);
// Makes the sixteen pattern brushes of "LEV_00".."LEV_15" and selects a new
// black pen and brush, with pen and brush index 0.
void LoadPatternBrushes();
void ReleaseDrawingObjects();
void UnregisterFrameworkClasses();
// For the main window's destruction: releases the drawing objects, the back
// buffer and the printer, and posts the quit message.
void ShutdownFramework();
const std::string& GetStartDirectory();

// While it lives, ShowMessage's boxes are owned by `owner` (a dialog that
// reports its own input) instead of the main window.
class MessageOwnerScope {
 public:
  explicit MessageOwnerScope(platform::Window owner);
  ~MessageOwnerScope();
  MessageOwnerScope(const MessageOwnerScope&) = delete;
  MessageOwnerScope& operator=(const MessageOwnerScope&) = delete;

 private:
  platform::Window previous_;
};

// The owner of the dialogs that belong to what the user works in (file,
// print and polar point dialogs): the active window, else the main window.
platform::Window ActiveOrMainWindow();

// Menus, by command id.
platform::Menu GetWindowMenu(WindowRecord* record);
void ReplaceWindowMenu(WindowRecord* record, const char* resourceName);
bool CheckMenuItemOn(platform::Menu menu, int id);
bool CheckMenuItemOff(platform::Menu menu, int id);
void DeleteMenuItem(platform::Menu menu, int id);
void InsertMenuItem(platform::Menu menu, int newId, int beforeId, const char* text);

// Controls and child windows of the main window.
platform::Window CreatePushButton(const char* text, int x, int y, int width, int height, int id);
platform::Window CreateOwnerDrawButton(const char* text, int x, int y, int width, int height, int id);
platform::Window CreateHorizontalScrollBar(const char* text, int x, int y, int width, int height, int id);
platform::Window CreateVerticalScrollBar(const char* text, int x, int y, int width, int height, int id);
// A child of class "QVD_MAINWIN"; `style` takes platform::kStyleBorder and
// the scroll-bar styles.
platform::Window CreateChildWindow(const char* title, unsigned style, int x, int y, int width, int height, int id);
void DestroyControl(platform::Window window);

struct ScrollParams {
  platform::Window scrollBar = platform::Window::kNone;  // none for a window's own bar
  std::int32_t code = 0;
  std::int32_t thumb = 0;  // sign-extended from 16 bits
};
ScrollParams* UnpackScrollParams(platform::WParam wParam, platform::LParam lParam);
