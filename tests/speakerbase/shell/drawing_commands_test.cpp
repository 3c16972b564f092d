// ksb's drawing menu: the drawing files through their commands (saved,
// opened and merged again), ksb's new-drawing defaults, the Ctrl key over
// the drawing window, and Sort in the database menu.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "framework/base/drawing_layer.h"
#include "framework/base/view_state.h"
#include "framework/model/graphic_object.h"
#include "framework/model/layers.h"
#include "platform/system.h"
#include "platform/test_seams.h"
#include "platform/window.h"
#include "speakerbase/record_operations.h"
#include "speakerbase/shell/record_selector.h"
#include "speakerbase/shell/speaker_command_table.h"
#include "speakerbase/shell/speaker_editor.h"
#include "tests/speakerbase/shell/ksb_fixture.h"
#include "tests/support/message_recorder.h"

namespace {

std::vector<uint32_t> Layers() {
  std::vector<uint32_t> layers;
  for (const GraphicObject* o = gObjects.model.first; o; o = o->next) layers.push_back(o->layer);
  return layers;
}

class DrawingCommandsTest : public KsbTest {
 protected:
  void SetUp() override {
    KsbTest::SetUp();
    StartWithExample();
    Command(kCmdDrawingMenu);
  }
};

TEST_F(DrawingCommandsTest, ANewDrawingHasKsbsScaleSnapLayersAndName) {
  gSpeakerEditor.drawingName = "OLD.TCF";
  UpdateSpeakerTitle();
  AppendSquareToDrawing(0.2f);
  gView.scale = 5.0f;
  Command(kCmdNewDrawing);
  EXPECT_EQ(CountDrawingObjects(), 0);
  EXPECT_EQ(gView.scale, 200.0f);
  EXPECT_EQ(gView.snapStep, 0.01f);
  EXPECT_EQ(gSpeakerEditor.drawingName, kNewSpeakerDrawingName);
  EXPECT_EQ(platform::GetWindowText(MainWindow.window), "KSB V2.90 > LS001");
  EXPECT_TRUE(gLayers.IsVisible(0));
  for (uint32_t layer = 1; layer < uint32_t(kLayerCount); ++layer) EXPECT_FALSE(gLayers.IsVisible(layer)) << layer;
  EXPECT_EQ(gLayers.records[31].name, "LAYER 32");
}

TEST_F(DrawingCommandsTest, SavedDrawingsOpenAndMergeAgain) {
  AppendSquareToDrawing(0.25f);
  AppendSquareToDrawing(0.5f);
  gObjects.model.last->layer = 2;
  gView.snapStep = 0.05f;
  {
    platform::test::FileDialogScript files;
    files.Choose(Path("shape"));
    Command(kCmdSaveDrawing);
    ASSERT_EQ(files.dialogs().size(), 1u);
    EXPECT_EQ(files.dialogs()[0].request.fileName, "KV12") << "named after the current record";
  }
  ASSERT_TRUE(std::filesystem::exists(Path("shape.TCF")));
  EXPECT_EQ(gSpeakerEditor.drawingName, Path("shape.TCF"));

  Command(kCmdNewDrawing);
  ASSERT_EQ(CountDrawingObjects(), 0);
  {
    platform::test::FileDialogScript files;
    files.Choose(Path("shape.TCF"));
    Command(kCmdOpenDrawing);
  }
  EXPECT_EQ(Layers(), (std::vector<uint32_t>{0, 2}));
  EXPECT_EQ(gView.snapStep, 0.05f);
  EXPECT_EQ(platform::GetWindowText(MainWindow.window), "KSB V2.90 > " + platform::UpperCaseText(Path("shape.TCF")));

  // Merged, the drawing's objects come onto the current layer.
  gDrawing.currentLayer = 4;
  {
    platform::test::FileDialogScript files;
    files.Choose(Path("shape.TCF"));
    Command(kCmdMergeDrawing);
  }
  EXPECT_EQ(Layers(), (std::vector<uint32_t>{0, 2, 4, 4}));
}

TEST_F(DrawingCommandsTest, AFileOfAnotherKindLeavesTheDrawing) {
  AppendSquareToDrawing(0.25f);
  const std::string bad = CopyFixture("speakerbase/imports/data", "gdf/speaker.gdf");
  MessageRecorder messages;
  platform::test::FileDialogScript files;
  files.Choose(bad);
  Command(kCmdOpenDrawing);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"Invalid file format !"});
  EXPECT_EQ(CountDrawingObjects(), 1);
}

TEST_F(DrawingCommandsTest, CtrlOverTheDrawingHidesTheCrosshair) {
  platform::test::MouseMove(gSpeakerEditor.drawingWindow, 100, 100, platform::kMouseControl);
  Pump();
  EXPECT_EQ(platform::test::ShownCursor(gSpeakerEditor.drawingWindow), platform::CursorShape::kArrow);
}

TEST_F(KsbTest, SortListsTheRecordsInByteOrderAndMakesTheFirstCurrent) {
  StartWithExample();
  // A third record named so that it sorts first.
  gSpeakerEditor.database.currentRecord.SetTypeName("AA");
  AppendNewRecord(gSpeakerEditor.database, gSpeakerEditor.session);
  RebuildRecordSelector(2);
  Command(kCmdSortSpeakers);
  EXPECT_EQ(Listed().front(), "AA");
  EXPECT_EQ(gSpeakerEditor.database.currentRecordIndex, 0);
  EXPECT_EQ(gSpeakerEditor.database.currentRecord.TypeName(), "AA");
}

}  // namespace

namespace {

TEST_F(DrawingCommandsTest, AnOpenedDrawingIsShown) {
  platform::test::FileDialogScript files;
  files.Choose(CopyFixture("speakerbase/data", "drawing.TCF"));
  Command(kCmdOpenDrawing);
  ASSERT_EQ(CountDrawingObjects(), 2);
  for (const GraphicObject* o = gObjects.model.first; o; o = o->next) {
    EXPECT_EQ(o->state & kStateHiddenMask, 0u) << o->layer;
    EXPECT_TRUE(gLayers.IsVisible(o->layer)) << o->layer;
  }
}

}  // namespace
