// kab's file and sort commands: Open takes the records the file's size
// holds, says what it left out and refuses another format without changing
// anything, New and Open ask before unsaved changes go, Save as makes the
// saved file the current one and guards a file loaded in part, a failed
// Save as keeps the old file and the unsaved state, and the sorts refill
// the panel.
#include "absorberbase/absorber_editor.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

#include "absorberbase/material_panel.h"
#include "framework/base/drawing_layer.h"
#include "framework/core/byte_codec.h"
#include "framework/core/services.h"
#include "platform/window.h"
#include "tests/absorberbase/kab_fixture.h"
#include "tests/support/message_recorder.h"

namespace {

namespace fs = std::filesystem;
using AbsorberEditorTest = KabTest;

const std::string kStartTitle = "Korvane Absorber Database 2.90";

std::vector<std::string> Names() {
  std::vector<std::string> names;
  for (int i = 0; i < gAbsorberEditor.database.count; ++i) names.push_back(gAbsorberEditor.database.records[i].name);
  return names;
}

TEST_F(AbsorberEditorTest, StartsEmptyWithTheVersionInTheTitleAndNoPanel) {
  EXPECT_EQ(platform::GetWindowText(MainWindow.window), kStartTitle);
  // The splash in the middle of the window, after any resize: its 1 kHz bar.
  platform::MoveWindow(MainWindow.window, 0, 0, 900, 700, true);
  Pump();
  const platform::Size client = platform::GetClientSize(MainWindow.window);
  EXPECT_EQ(platform::test::SurfacePixel(MainWindow.window, client.width / 2, client.height / 2), 0xA06030u);
  EXPECT_EQ(gAbsorberEditor.database.count, 0);
  EXPECT_EQ(gAbsorberEditor.panel, platform::Window::kNone);
  Command(kCmdEditRecord);  // no panel: nothing happens
  EXPECT_EQ(gAbsorberEditor.mode, PanelMode::kView);
  Command(kCmdNew);
  EXPECT_NE(gAbsorberEditor.panel, platform::Window::kNone);
  EXPECT_TRUE(Panel().Items(kPanelList).empty());
  EXPECT_EQ(platform::test::SurfacePixel(MainWindow.window, client.width / 2, client.height / 2), 0xC0C0C0u)
      << "the splash has gone";
}

TEST_F(AbsorberEditorTest, OpenTakesTheRecordsTheFileSizeHolds) {
  struct Case {
    size_t tail;
    int count;
  };
  for (Case c : {Case{0, 0}, Case{256, 1}, Case{512, 2}}) {
    std::vector<uint8_t> bytes = KabFileBytes({Material("Glass", "Glazing", 0.3f), Material("Oak", "Wood", 0.1f)});
    bytes.resize(32 + c.tail);
    const std::string path = WriteFile("sized" + std::to_string(c.tail) + ".kab", bytes);
    platform::test::FileDialogScript files;
    files.Choose(path);
    Command(kCmdOpen);
    ASSERT_EQ(files.dialogs().size(), 1u);
    EXPECT_FALSE(files.dialogs()[0].save);
    EXPECT_EQ(gAbsorberEditor.database.count, c.count) << c.tail;
    EXPECT_EQ(Panel().Items(kPanelList).size(), size_t(c.count));
    EXPECT_EQ(gAbsorberEditor.fileName, path);
    EXPECT_EQ(platform::GetWindowText(MainWindow.window), "Korvane Absorber Database " + path);
  }
  EXPECT_EQ(Panel().Text(kPanelCategory), "Glazing");
  EXPECT_EQ(Panel().Text(kPanelFirstCoefficient + 3), "0.30");
}

TEST_F(AbsorberEditorTest, ANameWithoutTheExtensionGetsIt) {
  const std::string path = WriteFile("HALL.KAB", KabFileBytes({Material("Glass", "Glazing", 0.3f)}));
  platform::test::FileDialogScript files;
  files.Choose((dir_ / "HALL").string());
  Command(kCmdOpen);
  EXPECT_EQ(gAbsorberEditor.fileName, path);
  EXPECT_EQ(Names(), std::vector<std::string>{"Glass"});
}

TEST_F(AbsorberEditorTest, AFileOfAnotherFormatChangesNothing) {
  const std::string good = WriteFile("good.KAB", KabFileBytes({Material("Glass", "Glazing", 0.3f)}));
  std::vector<uint8_t> bytes = KabFileBytes({Material("Oak", "Wood", 0.1f)});
  bytes[29] = '2';  // "... V1.2"
  const std::string bad = WriteFile("bad.KAB", bytes);
  platform::test::FileDialogScript files;
  files.Choose(good);
  files.Choose(bad);
  Command(kCmdOpen);
  const std::string title = platform::GetWindowText(MainWindow.window);
  MessageRecorder messages;
  Command(kCmdOpen);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{kInvalidDatabaseMessage});
  EXPECT_FALSE(messages.messages()[0].hasCaption);
  EXPECT_EQ(Names(), std::vector<std::string>{"Glass"});
  EXPECT_EQ(gAbsorberEditor.fileName, good);
  EXPECT_EQ(platform::GetWindowText(MainWindow.window), title);
  EXPECT_EQ(Panel().Items(kPanelList), std::vector<std::string>{"Glass"});
}

// A file of more records than the database holds, or one that ends inside a
// record, is opened with a message saying what was left out. Save as then
// proposes no name, so that Enter does not drop what was left out, and
// asks before it writes over that file; once written, the file is whole
// and proposed again.
TEST_F(AbsorberEditorTest, AFileLoadedInPartSaysSoAndIsNotProposedForSaveAs) {
  struct Case {
    int records;
    size_t partialBytes;
    int loaded;
    std::string firstLine;
  };
  const Case cases[] = {
      {270, 0, 200, kTooManyMaterialsMessage},
      {90, 143, 90, "The file ends in a partial record (143 bytes), which was left out."},
      {0, 100, 0, "The file ends in a partial record (100 bytes), which was left out."},
  };
  for (const Case& c : cases) {
    std::vector<AbsorberRecord> records;
    for (int i = 0; i < c.records; ++i) records.push_back(Material("R" + std::to_string(i), "Test", 0.5f));
    std::vector<uint8_t> bytes = KabFileBytes(records);
    bytes.resize(bytes.size() + c.partialBytes, 0x41);
    const std::string path = WriteFile("part.KAB", bytes);
    platform::test::FileDialogScript files;
    files.Choose(path);
    {
      MessageRecorder messages;
      Command(kCmdOpen);
      ASSERT_EQ(messages.texts().size(), 1u) << c.records;
      EXPECT_EQ(messages.texts()[0].substr(0, c.firstLine.size()), c.firstLine);
      EXPECT_FALSE(messages.messages()[0].hasCaption);
    }
    EXPECT_EQ(gAbsorberEditor.database.count, c.loaded);
    EXPECT_EQ(Panel().Items(kPanelList).size(), size_t(c.loaded));
    EXPECT_EQ(gAbsorberEditor.fileName, path);

    // Save as over it: asked, and Cancel writes nothing.
    files.Choose(path);
    {
      MessageRecorder messages;
      messages.Answer(kIdCancel);
      Command(kCmdSaveAs);
      ASSERT_EQ(files.dialogs().size(), 2u);
      EXPECT_EQ(files.dialogs()[1].request.fileName, "") << "no name is proposed";
      ASSERT_EQ(messages.texts(), std::vector<std::string>{kOverwritePartlyReadDatabaseMessage});
      EXPECT_EQ(messages.messages()[0].caption, kWarningCaption);
      EXPECT_EQ(messages.messages()[0].flags, unsigned(kMsgOkCancel | kMsgDefaultButton2));
      EXPECT_EQ(fs::file_size(path), bytes.size());
    }
    // OK writes the database over it, which is then whole.
    files.Choose(path);
    {
      MessageRecorder messages;
      messages.Answer(kIdOk);
      Command(kCmdSaveAs);
      EXPECT_EQ(messages.texts().size(), 1u);
      EXPECT_EQ(fs::file_size(path), 32u + 256u * unsigned(c.loaded));
    }
    MessageRecorder messages;
    files.Cancel();
    Command(kCmdSaveAs);
    ASSERT_EQ(files.dialogs().size(), 4u);
    EXPECT_EQ(files.dialogs()[3].request.fileName, "part.KAB");
    EXPECT_TRUE(messages.texts().empty());
  }
}

// After Save as the file saved is the current one (the one Print heads its
// pages with): the title names it and the next Save as proposes it.
TEST_F(AbsorberEditorTest, SaveAsMakesTheSavedFileTheCurrentOne) {
  const std::string opened = WriteFile("opened.KAB", KabFileBytes({Material("Glass", "Glazing", 0.3f)}));
  const std::string copy = (dir_ / "copy.KAB").string();
  platform::test::FileDialogScript files;
  files.Choose(opened);
  Command(kCmdOpen);
  files.Choose((dir_ / "copy").string());
  Command(kCmdSaveAs);
  EXPECT_EQ(gAbsorberEditor.fileName, copy);
  EXPECT_EQ(platform::GetWindowText(MainWindow.window), "Korvane Absorber Database " + copy);
  files.Cancel();
  Command(kCmdSaveAs);
  ASSERT_EQ(files.dialogs().size(), 3u);
  EXPECT_EQ(files.dialogs()[2].request.fileName, "copy.KAB");
}

// New and Open ask first while changes are unsaved: Cancel keeps the
// database as it is, OK goes on and leaves nothing unsaved.
TEST_F(AbsorberEditorTest, NewAndOpenAskBeforeUnsavedChangesGo) {
  const std::string path =
      WriteFile("two.KAB", KabFileBytes({Material("Glass", "Glazing", 0.3f), Material("Oak", "Wood", 0.1f)}));
  for (int command : {kCmdNew, kCmdOpen}) {
    ShowDatabase({Material("Felt", "Textiles", 0.6f)});
    gAbsorberEditor.modified = true;
    platform::test::FileDialogScript files;
    files.Choose(path);
    {
      MessageRecorder messages;
      messages.Answer(kIdCancel);
      Command(command);
      EXPECT_EQ(messages.texts(), std::vector<std::string>{kDatabaseNotSavedMessage});
      EXPECT_TRUE(files.dialogs().empty());
      EXPECT_EQ(Names(), std::vector<std::string>{"Felt"});
      EXPECT_TRUE(gAbsorberEditor.modified);
    }
    MessageRecorder messages;
    messages.Answer(kIdOk);
    Command(command);
    EXPECT_EQ(messages.texts().size(), 1u);
    const std::vector<std::string> expected =
        command == kCmdNew ? std::vector<std::string>{} : std::vector<std::string>{"Glass", "Oak"};
    EXPECT_EQ(Names(), expected);
    EXPECT_FALSE(gAbsorberEditor.modified);
    EXPECT_EQ(Panel().Items(kPanelList), Names());
  }
  // New after Open: no file, the title without one.
  Command(kCmdNew);
  EXPECT_EQ(gAbsorberEditor.fileName, "");
  EXPECT_EQ(platform::GetWindowText(MainWindow.window), kStartTitle);
}

// A save that cannot be written: the message, the old file as it was, and
// the database still unsaved under its old title. A read-only folder stops
// every user but root; a file-size limit stops root too.
TEST_F(AbsorberEditorTest, AFailedSaveKeepsTheOldFileAndTheUnsavedState) {
  const std::vector<uint8_t> old = KabFileBytes({Material("Glass", "Glazing", 0.3f)});
  const std::string path = WriteFile("kept.KAB", old);
  platform::test::FileDialogScript files;
  files.Choose(path);
  Command(kCmdOpen);
  for (int i = 0; i < 5; ++i)
    gAbsorberEditor.database.records[gAbsorberEditor.database.count++] = Material("M", "C", 0.5f);
  gAbsorberEditor.modified = true;
  const std::string title = platform::GetWindowText(MainWindow.window);

  for (bool sizeLimit : {false, true}) {
    if (!sizeLimit && ::geteuid() == 0) continue;
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    auto previousSignal = std::signal(SIGXFSZ, SIG_IGN);
    if (sizeLimit) {
      rlimit small = saved;
      small.rlim_cur = 512;
      ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    } else {
      fs::permissions(dir_, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                      fs::perm_options::remove);
    }
    files.Choose(path);
    MessageRecorder messages;
    Command(kCmdSaveAs);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousSignal);
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
    const std::string reason = sizeLimit ? "File too large" : "Permission denied";
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Couldn\xB4t write data to disk !\n" + reason}) << sizeLimit;
    std::vector<uint8_t> now;
    ASSERT_TRUE(ReadWholeFile(path, now));
    EXPECT_EQ(now, old) << sizeLimit;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1) << "no temporary left";
    EXPECT_TRUE(gAbsorberEditor.modified);
    EXPECT_EQ(platform::GetWindowText(MainWindow.window), title);
  }
  ASSERT_EQ(files.dialogs().size(), ::geteuid() == 0 ? 2u : 3u);
  EXPECT_TRUE(files.dialogs()[1].save);
  EXPECT_EQ(files.dialogs()[1].request.fileName, "kept.KAB");
}

// Save as over a file the user may not write (no write bit: root is held
// to it too) says so and leaves the file; over a private one it keeps the
// file private.
TEST_F(AbsorberEditorTest, SaveAsRefusesAWriteProtectedFileAndKeepsModes) {
  const std::vector<uint8_t> old = KabFileBytes({Material("Glass", "Glazing", 0.3f)});
  const std::string path = WriteFile("kept.KAB", old);
  platform::test::FileDialogScript files;
  files.Choose(path);
  Command(kCmdOpen);
  gAbsorberEditor.database.records[gAbsorberEditor.database.count++] = Material("M", "C", 0.5f);
  gAbsorberEditor.modified = true;

  const fs::perms readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
  fs::permissions(path, readOnly);
  files.Choose(path);
  {
    MessageRecorder messages;
    Command(kCmdSaveAs);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Couldn\xB4t write data to disk !\nPermission denied"});
  }
  std::vector<uint8_t> now;
  ASSERT_TRUE(ReadWholeFile(path, now));
  EXPECT_EQ(now, old);
  EXPECT_EQ(fs::status(path).permissions(), readOnly);
  EXPECT_TRUE(gAbsorberEditor.modified);

  const fs::perms privateMode = fs::perms::owner_read | fs::perms::owner_write;
  fs::permissions(path, privateMode);
  files.Choose(path);
  Command(kCmdSaveAs);
  EXPECT_FALSE(gAbsorberEditor.modified);
  EXPECT_EQ(fs::status(path).permissions(), privateMode);
  ASSERT_TRUE(ReadWholeFile(path, now));
  EXPECT_EQ(now.size(), 32u + 2 * 256u);
}

TEST_F(AbsorberEditorTest, SortsRefillThePanel) {
  ShowDatabase({Material("Banana", "Wood", 0.1f), Material("apple", "Wood", 0.2f), Material("Cherry", "Glass", 0.3f),
                Material("apple", "Wood", 0.4f)});
  Panel().Choose(kPanelList, 2);
  Pump();
  Command(kCmdSortByNames);
  EXPECT_EQ(Panel().Items(kPanelList), (std::vector<std::string>{"apple", "apple", "Banana", "Cherry"}));
  EXPECT_EQ(gAbsorberEditor.database.records[1].absorption[0], 0.4f);
  EXPECT_EQ(Panel().Selection(kPanelList), 0);
  EXPECT_EQ(Panel().Text(kPanelFirstCoefficient), "0.20");
  Command(kCmdSortByCategories);
  EXPECT_EQ(Panel().Items(kPanelList), (std::vector<std::string>{"Cherry", "apple", "apple", "Banana"}));
}

}  // namespace
