#include "framework/base/bitmaps.h"

#include <cstdlib>

#include "framework/base/drawing_layer.h"
#include "framework/base/framework_windows.h"
#include "platform/clipboard.h"
#include "platform/drawing.h"
#include "platform/resources.h"
#include "platform/window.h"

CaptureState gCapture;
BackBufferState gBackBuffer;

namespace {

constexpr int kCaptureMargin = 8;
constexpr std::int16_t kWhiteIndex = 30;

// The current window's client size, as its context has it.
platform::Size CurrentClient() {
  return gOutput.currentWindow ? platform::GetClientSize(gOutput.currentWindow->window) : platform::Size{};
}

platform::Context WindowContext() {
  return gOutput.currentWindow ? gOutput.currentWindow->context : platform::Context::kNone;
}

// Makes `context` the drawing layer's current one, with the layer's pen
// and brush.
void MakeCurrent(platform::Context context) {
  gOutput.context = context;
  platform::SelectPen(context, gOutput.pen);
  platform::SelectBrush(context, gOutput.brush);
}

// A resource bitmap drawn at (x, y) of the current context, or with its
// middle there when `centred`.
void BlitResource(int x, int y, const char* name, int mixMode, bool centred) {
  platform::Bitmap bitmap = platform::LoadBitmap(gFramework.instance, name ? name : "");
  if (bitmap == platform::Bitmap::kNone) return;
  platform::Size size = platform::GetBitmapSize(bitmap);
  if (centred) {
    x -= size.width / 2;
    y -= size.height / 2;
  }
  platform::Context memory = platform::CreateMemoryContext();
  platform::SelectBitmap(memory, bitmap);
  platform::Blit(gOutput.context, x, y, size.width, size.height, memory, 0, 0, mixMode);
  platform::SelectBitmap(memory, platform::Bitmap::kNone);
  platform::DeleteContext(memory);
  platform::DeleteObject(bitmap);
}

}  // namespace

void ResetBitmaps() {
  ReleaseBitmapDc(platform::Bitmap::kNone);
  if (gBackBuffer.memory != platform::Context::kNone) {
    platform::SelectBitmap(gBackBuffer.memory, platform::Bitmap::kNone);
    platform::DeleteContext(gBackBuffer.memory);
    platform::DeleteObject(gBackBuffer.bitmap);
  }
  gBackBuffer = {};
}

int CaptureWindowBitmap(const platform::Rect& rect, platform::Bitmap* bitmap) {
  if (gCapture.memory == platform::Context::kNone) gCapture.memory = platform::CreateMemoryContext();
  int w = std::abs(rect.right - rect.left) + 1, h = std::abs(rect.bottom - rect.top) + 1;
  platform::Bitmap made = platform::CreateBitmap(w + kCaptureMargin, h + kCaptureMargin);
  if (made == platform::Bitmap::kNone) return 0;
  platform::Bitmap before = platform::SelectBitmap(gCapture.memory, made);
  if (gCapture.bitmap == platform::Bitmap::kNone) gCapture.replaced = before;
  else platform::DeleteObject(gCapture.bitmap);
  gCapture.bitmap = made;
  if (bitmap) *bitmap = made;
  return platform::Blit(gCapture.memory, 0, 0, w, h, WindowContext(), rect.left, rect.top, platform::kMixCopy) ? 1 : 0;
}

void StretchCapturedBitmap(const platform::Rect& source, const platform::Rect& destination, int mixMode) {
  platform::Rect from{source.left, source.top, source.left + std::abs(source.right - source.left) + 1,
                      source.top + std::abs(source.bottom - source.top) + 1};
  platform::Rect to{destination.left, destination.top,
                    destination.left + std::abs(destination.right - destination.left) + 1,
                    destination.top + std::abs(destination.bottom - destination.top) + 1};
  platform::StretchBlit(gOutput.context, to, gCapture.memory, from, mixMode);
}

void ReleaseBitmapDc(platform::Bitmap bitmap) {
  if (gCapture.memory != platform::Context::kNone) {
    platform::SelectBitmap(gCapture.memory, gCapture.replaced);
    platform::DeleteContext(gCapture.memory);
  }
  if (bitmap != platform::Bitmap::kNone) platform::DeleteObject(bitmap);
  if (gCapture.bitmap != bitmap) platform::DeleteObject(gCapture.bitmap);
  gCapture = {};
}

int CopyViewToClipboard() {
  platform::Size client = CurrentClient();
  if (client.width < 2 || client.height < 2) return 0;
  platform::Bitmap bitmap = platform::CreateBitmap(client.width + 1, client.height + 1);
  if (bitmap == platform::Bitmap::kNone) return 0;
  platform::Context memory = platform::CreateMemoryContext();
  platform::SelectBitmap(memory, bitmap);
  bool copied = platform::Blit(memory, 0, 0, client.width, client.height, WindowContext(), 0, 0, platform::kMixCopy) &&
                platform::CopyBitmapToClipboard(bitmap);
  platform::SelectBitmap(memory, platform::Bitmap::kNone);
  platform::DeleteContext(memory);
  platform::DeleteObject(bitmap);
  return copied ? 1 : 0;
}

int ManageBackBuffer(int mode) {
  switch (mode) {
    case 1: {
      if (gBackBuffer.memory != platform::Context::kNone) ManageBackBuffer(0);
      platform::Size client = CurrentClient();
      if (client.width < 2 || client.height < 2) return 0;
      platform::Bitmap bitmap = platform::CreateBitmap(client.width + 1, client.height + 1);
      if (bitmap == platform::Bitmap::kNone) return 0;
      gBackBuffer = {platform::CreateMemoryContext(), bitmap, client.width + 1, client.height + 1};
      platform::SelectBitmap(gBackBuffer.memory, bitmap);
      SetPenColor(0);
      SetBrushColor(kWhiteIndex);
      MakeCurrent(gBackBuffer.memory);
      return 1;
    }
    case 2:
      if (gBackBuffer.memory == platform::Context::kNone) return 0;
      platform::Blit(WindowContext(), 0, 0, gBackBuffer.width, gBackBuffer.height, gBackBuffer.memory, 0, 0,
                     platform::kMixCopy);
      return 1;
    default:
      if (gBackBuffer.memory == platform::Context::kNone) return 0;
      platform::SelectBitmap(gBackBuffer.memory, platform::Bitmap::kNone);
      platform::DeleteObject(gBackBuffer.bitmap);
      SetPenColor(0);
      SetBrushColor(kWhiteIndex);
      platform::DeleteContext(gBackBuffer.memory);
      gBackBuffer = {};
      MakeCurrent(WindowContext());
      return 0;
  }
}

void DrawResourceBitmap(int x, int y, const char* name, int mode) {
  BlitResource(x, y, name, mode == 1 ? platform::kMixCopy : platform::kMixMerge, false);
}

void DrawResourceBitmapCentred(const char* name, int mode) {
  DrawResourceBitmapCentredAt(GetClientWidth() / 2, GetClientHeight() / 2, name, mode);
}

void DrawResourceBitmapCentredAt(int x, int y, const char* name, int mode) {
  BlitResource(x, y, name, mode == 1 ? platform::kMixCopy : platform::kMixXor, true);
}

void DrawResourceIcon(int x, int y, const char* name) {
  platform::DrawIcon(gOutput.context, x, y, gFramework.instance, name ? name : "");
}

std::optional<std::vector<std::uint8_t>> LoadRcDataResource(const char* name) {
  std::vector<std::uint8_t> block;
  if (!platform::LoadRcData(gFramework.instance, name ? name : "", block)) return std::nullopt;
  return block;
}
