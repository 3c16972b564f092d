// ksb's imports through their commands on the importers' seed files: the
// file dialog, the reader's messages, the records appended as the
// session's, the last one current and listed; AcoustaCadd's horn and driver
// picked in its dialog make one record.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/test_seams.h"
#include "speakerbase/imports/acoustacadd_import.h"
#include "speakerbase/imports/speaker_import.h"
#include "speakerbase/record_operations.h"
#include "speakerbase/shell/speaker_command_table.h"
#include "speakerbase/shell/speaker_editor.h"
#include "tests/speakerbase/shell/ksb_fixture.h"
#include "tests/support/message_recorder.h"

namespace {

constexpr char kSeeds[] = "speakerbase/imports/data";

SpeakerDatabase& Db() { return gSpeakerEditor.database; }

class ImportCommandsTest : public KsbTest {
 protected:
  void SetUp() override {
    KsbTest::SetUp();
    StartWithExample();
    gSpeakerEditor.session = MakeSessionOwnerBlock("me");
  }

  // The command on `file` (a seed copied into the scratch folder).
  void Import(int command, const std::string& file) {
    platform::test::FileDialogScript files;
    files.Choose(file);
    Command(command);
    ASSERT_EQ(files.dialogs().size(), 1u);
    const auto& filters = files.dialogs()[0].request.filters;
    filter_ = filters.empty() ? "" : filters[0].description + "|" + filters[0].patterns;
  }

  void ExpectAppended(size_t count) {
    ASSERT_EQ(Db().records.size(), before_ + count);
    EXPECT_EQ(Db().currentRecordIndex, int(Db().records.size()) - 1);
    EXPECT_EQ(Listed().size(), Db().records.size());
    EXPECT_EQ(Listed().back(), Db().records.back().type->TypeName());
    EXPECT_TRUE(RecordAccessGranted(*Db().records.back().type, MakeSessionOwnerBlock("me")));
    EXPECT_FALSE(RecordAccessGranted(*Db().records.back().type, MakeSessionOwnerBlock("someone else")));
    EXPECT_TRUE(Db().modified);
  }

  size_t before_ = 2;
  std::string filter_;
};

TEST_F(ImportCommandsTest, TextAndEase3FilesAddOneRecordEach) {
  struct Case {
    int command;
    const char* file;
    const char* filter;
  };
  for (const Case& c :
       {Case{kCmdAddGdf, "gdf/speaker.gdf", "GDF|*.GDF"}, Case{kCmdAddKnf, "knf/speaker.knf", "KNF|*.KNF"},
        Case{kCmdAddEase3, "ease/SPEAKER.spk", "*.SPK|*.spk"}}) {
    SCOPED_TRACE(c.file);
    CopyFixture(kSeeds, "ease/SPEAKER.LOB");
    MessageRecorder messages;
    before_ = Db().records.size();
    Import(c.command, CopyFixture(kSeeds, c.file));
    EXPECT_EQ(filter_, c.filter);
    EXPECT_TRUE(messages.texts().empty());
    ExpectAppended(1);
  }
}

TEST_F(ImportCommandsTest, AnEase2CatalogAddsEveryRecordAfterItsWarnings) {
  const std::string seed = CopyFixture(kSeeds, "ease/catalog.lsp");
  // The two records of the seed and its first once more.
  std::ifstream in(seed, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  bytes.insert(bytes.end(), bytes.begin(), bytes.begin() + 4096);
  const std::string catalog = Path("catalog.lsp");
  std::ofstream(catalog, std::ios::binary | std::ios::trunc).write(bytes.data(), std::streamsize(bytes.size()));

  MessageRecorder messages;
  Import(kCmdAddEase2, catalog);
  ExpectAppended(3);
  ASSERT_FALSE(messages.messages().empty());
  for (const RecordedMessage& m : messages.messages()) EXPECT_EQ(m.caption, kEfficiencyWarning);
}

TEST_F(ImportCommandsTest, ARefusedFileAddsNothingAndSaysWhy) {
  const std::string bad = Path("bad.knf");
  std::ofstream(bad) << "Device Class: X\n";
  MessageRecorder messages;
  Import(kCmdAddKnf, bad);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"Unknown device class"});
  EXPECT_EQ(Db().records.size(), 2u);
  EXPECT_EQ(Listed().size(), 2u);
  EXPECT_FALSE(Db().modified);
}

TEST_F(ImportCommandsTest, AFullDatabaseRefusesBeforeTheDialog) {
  while (Db().records.size() < kMaxDatabaseRecords) AppendNewRecord(Db(), gSpeakerEditor.session);
  MessageRecorder messages;
  platform::test::FileDialogScript files;
  Command(kCmdAddGdf);
  EXPECT_TRUE(files.dialogs().empty());
  EXPECT_EQ(messages.texts(), std::vector<std::string>{kDatabaseFullMessage});
}

TEST_F(ImportCommandsTest, AcoustaCaddHornThenDriverMakeOneRecord) {
  const std::string horn = CopyFixture(kSeeds, "acoustacadd/HORN.SPK");
  const std::string driver = CopyFixture(kSeeds, "acoustacadd/DRIVER.SPK");
  platform::test::FileDialogScript files;
  files.Choose(horn);
  files.Choose(driver);
  // The dialog's clicks are queued: each step acts once the one before was taken.
  platform::test::DialogScript dialogs;
  platform::Window dialog = platform::Window::kNone;
  dialogs.On("DIALOG_8", [&](platform::test::DialogUser& user) {
    dialog = user.dialog();
    user.Press(103);  // Search: the horn
  });
  std::vector<std::string> typeShown;
  int step = 0;
  platform::test::SetIdleHook([&] {
    if (dialog == platform::Window::kNone) return;
    platform::test::DialogUser user(dialog);
    switch (step++) {
      case 0:
        typeShown.push_back(user.Text(101));
        user.Press(700);  // a lone horn is refused, the dialog stays
        break;
      case 1: user.Press(103); break;  // Search: its driver
      case 2:
        typeShown.push_back(user.Text(101));
        user.Type(600, "paired in the dialog");
        user.Press(700);
        break;
      default: break;
    }
  });
  MessageRecorder messages;
  Command(kCmdAddAcoustaCadd);
  platform::test::SetIdleHook(nullptr);
  // The horn has no balloon files: they are named, and the efficiency its
  // sensitivity gives over flat balloons warns in every band.
  std::string missing = kMissingBalloonsMessage;
  for (const char* extension : {".B01", ".B02", ".B05", ".B10", ".B20", ".B40", ".B80"})
    missing += "\n" + (std::filesystem::path(horn).parent_path() / "BALLOONS/HORN").string() + extension;
  std::vector<std::string> expected = {kHornWithoutDriverMessage, missing};
  for (const char* band : {"125 Hz", "250 Hz", "500 Hz", "1 kHz", "2 kHz", "4 kHz", "8 kHz"})
    expected.push_back(std::string("Check balloon and SPL at ") + band);
  EXPECT_EQ(messages.texts(), expected);
  EXPECT_EQ(messages.messages().back().caption, kEfficiencyWarning);
  EXPECT_EQ(typeShown, (std::vector<std::string>{"HORN", "DRIVER"}));
  ExpectAppended(1);
  const SpeakerType& r = *Db().records.back().type;
  EXPECT_GT(r.Efficiency(3), 500);
  EXPECT_EQ(r.Composition(), kCompositionComplete);
  EXPECT_EQ(r.Comment(), "paired in the dialog");
  EXPECT_EQ(r.TypeName(), "DRIVER");
}

TEST_F(ImportCommandsTest, AcoustaCaddCancelAddsNothing) {
  platform::test::DialogScript dialogs;
  dialogs.On("DIALOG_8", [](platform::test::DialogUser& user) { user.Press(701); });
  Command(kCmdAddAcoustaCadd);
  EXPECT_EQ(Db().records.size(), 2u);
  EXPECT_FALSE(Db().modified);
}

}  // namespace
