// The framework with its views on the smoke program's windows: a drawing
// window laid out inside the main window, the work buffers and the view
// hooks installed, an empty drawing in the given view.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "framework/base/drawing_layer.h"
#include "framework/base/drawing_reset.h"
#include "framework/base/framework_windows.h"
#include "framework/base/input_loop.h"
#include "framework/base/view_state.h"
#include "framework/base/work_buffers.h"
#include "framework/view/rendering.h"
#include "framework/view/view_transform.h"
#include "platform/test_seams.h"
#include "tests/support/gui_fixture.h"

class ViewTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    AllocWorkBuffers();
    InitViews();
    DrawWindow->window = CreateChildWindow("", 0, kDrawMarginLeft, kDrawMarginTop, 100, 100, 10000);
    draw_ = DrawWindow->window;
    LayoutAndRedraw();
    Pump();
  }

  // The view `mode` at `scale` around the origin (h, v), laid out.
  void Show(ViewMode mode, float scale = 5, float h = 0, float v = 0) {
    gView.mode = mode;
    gView.scale = scale;
    gView.originX = h;
    gView.originY = v;
    LayoutAndRedraw();
  }
  int Width() const { return DrawWindow->right; }
  int Height() const { return DrawWindow->bottom; }
  platform::Colour At(int x, int y) const { return platform::test::SurfacePixel(draw_, x, y); }
  platform::Colour Palette(int index) const { return gPalette.colours[index]; }
  // Drawing calls that reach the drawing window while `draw` runs.
  template <class F>
  std::uint64_t CallsDuring(F draw) {
    const std::uint64_t before = platform::test::DrawCallCount(draw_);
    draw();
    return platform::test::DrawCallCount(draw_) - before;
  }
  // Pixels of palette colour `index` in the box [x0, x1) x [y0, y1).
  int CountColour(int index, int x0, int y0, int x1, int y1) const {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += At(x, y) == Palette(index);
    return n;
  }

  platform::Window draw_ = platform::Window::kNone;
};
