// The drawing editor on the framework's views: a drawing window handled by
// the program skeleton's window procedure, so that clicks, moves and keys
// posted through the toolkit reach the pointer code as they do in the
// programs; the crosshair installed; a command running (the pickers and
// steps wait only while one runs); the plan view at 20 pixels a metre
// around the origin, coordinate snap off.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "framework/base/input_loop.h"
#include "framework/editor/pointer_input.h"
#include "framework/program/program_windows.h"
#include "platform/test_seams.h"
#include "tests/framework/view/view_fixture.h"
#include "tests/support/object_fixtures.h"

class EditorTest : public ViewTest {
 protected:
  using Step = std::function<void()>;

  void SetUp() override {
    ViewTest::SetUp();
    InitPointerInput();
    onMessage = [](const platform::Message& m) -> platform::LParam {
      if (m.window == DrawWindow->window) return ViewWindowProc(m.window, m.kind, m.wParam, m.lParam);
      if (m.kind == platform::msg::kKeyDown) {
        HandleDrawingKey(unsigned(m.wParam));
        return 0;
      }
      return platform::DefaultWindowProc(m.window, m.kind, m.wParam, m.lParam);
    };
    gView.coordinateSnap = 0;
    Show(kViewXY, 20);
    gInput.activeCommand = 2302;
  }
  void TearDown() override {
    gInput.activeCommand = 0;
    ViewTest::TearDown();
  }

  // The pixel of a model point in the current view.
  platform::Point PixelOf(const ObjectVertex& p) const {
    switch (gView.mode) {
      case kViewYZ: return {WorldToScreen(p.y, kAxisHorizontal), WorldToScreen(p.z, kAxisVertical)};
      case kViewXZ: return {WorldToScreen(p.x, kAxisHorizontal), WorldToScreen(p.z, kAxisVertical)};
      default: return {WorldToScreen(p.x, kAxisHorizontal), WorldToScreen(p.y, kAxisVertical)};
    }
  }
  // Input as the user gives it, for RunSteps; a model point is taken in the
  // view shown when its step runs.
  Step ClickAt(int x, int y) const {
    return [=, this] { platform::test::Click(draw_, x, y); };
  }
  Step ClickOn(const ObjectVertex& p) const {
    return [=, this] {
      const platform::Point at = PixelOf(p);
      platform::test::Click(draw_, at.x, at.y);
    };
  }
  Step MoveTo(const ObjectVertex& p) const {
    return [=, this] {
      const platform::Point at = PixelOf(p);
      platform::test::MouseMove(draw_, at.x, at.y);
    };
  }
  static Step Key(unsigned key) {
    return [=] { platform::test::KeyPress(key); };
  }
  static Step RightClickIn(platform::Window window) {
    return [=] { platform::test::Click(window, 5, 5, platform::kMouseRight); };
  }

  // One face object of two squares, (0, 0)..(1, 1) and (1, 0)..(2, 1), that
  // share the edge from vertex 1 (1, 0) to vertex 2 (1, 1); drawn.
  static GraphicObject* AddFacesSharingAnEdge() {
    GraphicObject* o = CreateObject(0, 6, 8);
    const ObjectVertex v[6] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {2, 0, 0}, {2, 1, 0}};
    const ObjectItem items[8] = {{kOpStart, 0}, {kOpLineTo, 1}, {kOpLineTo, 2}, {kOpClose, 3},
                                 {kOpStart, 1}, {kOpLineTo, 4}, {kOpLineTo, 5}, {kOpClose, 2}};
    std::copy(v, v + 6, o->vertices);
    std::copy(items, items + 8, o->items);
    o->kind = kKindFace;
    AppendObject(o);
    RedrawAllObjects();
    return o;
  }

  // Every pixel of the drawing window.
  std::vector<platform::Colour> Pixels() const {
    const platform::Size size = platform::test::SurfaceSize(draw_);
    std::vector<platform::Colour> pixels;
    pixels.reserve(size_t(size.width) * size_t(size.height));
    for (int y = 0; y < size.height; ++y)
      for (int x = 0; x < size.width; ++x) pixels.push_back(At(x, y));
    return pixels;
  }
  // Whether the window shows what a fresh redraw shows: nothing of an XOR
  // figure left behind or missing.
  void ExpectCleanRedraw() {
    const std::vector<platform::Colour> before = Pixels();
    RedrawAllObjects();
    const std::vector<platform::Colour> after = Pixels();
    size_t differing = 0;
    for (size_t i = 0; i < before.size() && i < after.size(); ++i) differing += before[i] != after[i];
    EXPECT_EQ(differing, 0u) << "pixels that differ from a fresh redraw";
  }
};

// The model as bytes: every object's header words, data, vertices and items
// in list order, so that a test can tell that nothing changed at all.
inline std::vector<uint8_t> ModelBytes() {
  std::vector<uint8_t> bytes;
  const auto put = [&](const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    bytes.insert(bytes.end(), b, b + n);
  };
  for (const GraphicObject* o = gObjects.model.first; o; o = o->next) {
    const uint32_t words[7] = {o->kind, o->state, o->colour, o->layer, o->vertexCount, o->itemCount, o->dataSize};
    put(words, sizeof words);
    if (o->dataSize) put(o->data, o->dataSize);
    if (o->vertexCount) put(o->vertices, o->vertexCount * sizeof(ObjectVertex));
    if (o->itemCount) put(o->items, o->itemCount * sizeof(ObjectItem));
  }
  return bytes;
}
