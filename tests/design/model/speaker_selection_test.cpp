#include "design/model/speaker_selection.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "database_fixtures.h"
#include "tests/support/message_recorder.h"

namespace {

using Texts = std::vector<std::string>;
namespace fs = std::filesystem;

class SpeakerSelectionTest : public db_fixtures::ScratchFolder {
 protected:
  void TearDown() override {
    FreeObjectList(model_);
    ClearSpeakerTypeTable(table_);
    ScratchFolder::TearDown();
  }

  // The index of a copy of the fixture `name`.
  SpeakerDatabaseIndex Open(const std::string& name) {
    fs::copy_file(db_fixtures::kSeedFolder / name, dir_ / name);
    SpeakerDatabaseIndex index;
    EXPECT_EQ(OpenSpeakerDatabaseIndex(index, PathOf(name)), 1) << name;
    return index;
  }
  int Use(const SpeakerDatabaseIndex& index, const std::string& name) {
    Loudspeaker speaker;
    return UseSpeakerType(index, name, speaker, table_, model_, nullptr);
  }

  SpeakerTypeTable table_;
  ObjectList model_;
};

TEST_F(SpeakerSelectionTest, TheListShowsTheIndexedNamesOfEveryVersionWithTheirDescription) {
  MessageRecorder messages;
  for (const db_fixtures::VersionFixture& c : db_fixtures::kVersionFixtures) {
    SpeakerDatabaseIndex index = Open(c.file);
    ASSERT_EQ(BeginSpeakerSelection(index, 0), 1) << c.file;
    SpeakerSelection selection = OpenSpeakerSelection(index);
    EXPECT_EQ(selection.names, c.names) << c.file;
    for (int entry = 0; entry < int(c.names.size()); ++entry) {
      ChangeSpeakerSelection(index, selection, entry);
      EXPECT_EQ(selection.selection, entry);
      EXPECT_EQ(selection.description, c.descriptions[size_t(entry)]) << c.file << " " << entry;
      EXPECT_EQ(selection.header.TypeName(), c.names[size_t(entry)]) << c.file;
    }
    // The chosen entry loads into the project's table.
    const int chosen = ConfirmSpeakerSelection(index, selection);
    EXPECT_EQ(chosen, int(c.names.size()) - 1);
    EXPECT_EQ(index.position, chosen);
    EXPECT_EQ(Use(index, selection.names[size_t(chosen)]), 1) << c.file;
  }
  EXPECT_TRUE(messages.texts().empty());
}

TEST_F(SpeakerSelectionTest, TheDialogStartsWhereTheLastChoiceOrTheCallerSays) {
  SpeakerDatabaseIndex index = Open("v140_two_records.KSB");
  index.position = 1;
  ASSERT_EQ(BeginSpeakerSelection(index, 0), 1);  // 0 suggests nothing
  SpeakerSelection selection = OpenSpeakerSelection(index);
  EXPECT_EQ(selection.selection, 1);
  EXPECT_EQ(selection.description, "Seed record");

  index.position = 7;  // beyond the list
  ASSERT_EQ(BeginSpeakerSelection(index, 2), 1);
  EXPECT_EQ(index.position, 0);
  ASSERT_EQ(BeginSpeakerSelection(index, 1), 1);
  EXPECT_EQ(index.position, 1);
  ASSERT_EQ(BeginSpeakerSelection(index, -1), 1);
  EXPECT_EQ(index.position, 1);

  // A change to no entry of the list changes nothing.
  ChangeSpeakerSelection(index, selection, 2);
  EXPECT_EQ(selection.selection, 1);
}

TEST_F(SpeakerSelectionTest, WithoutADatabaseOrItsRecordTheUserIsTold) {
  SpeakerDatabaseIndex none;
  MessageRecorder messages;
  EXPECT_EQ(BeginSpeakerSelection(none, 0), 0);
  EXPECT_EQ(messages.texts(), Texts{"Must load speaker database first"});
  EXPECT_FALSE(messages.messages()[0].hasCaption);

  // An empty database lists nothing, and OK chooses nothing.
  const std::vector<uint8_t> empty = db_fixtures::DatabaseHeader(kSpeakerDatabaseV140Magic, 0);
  SpeakerDatabaseIndex emptyIndex;
  ASSERT_EQ(OpenSpeakerDatabaseIndex(emptyIndex, WriteFile("empty.KSB", empty)), 1);
  ASSERT_EQ(BeginSpeakerSelection(emptyIndex, 0), 1);
  EXPECT_EQ(ConfirmSpeakerSelection(emptyIndex, OpenSpeakerSelection(emptyIndex)), -1);

  // A database gone since it was indexed: no description, and the type
  // cannot be had.
  SpeakerDatabaseIndex index = Open("v130_one_record.KSB");
  fs::remove(dir_ / "v130_one_record.KSB");
  const SpeakerSelection selection = OpenSpeakerSelection(index);
  EXPECT_EQ(selection.names, Texts{"MID"});
  EXPECT_EQ(selection.description, "");
  EXPECT_EQ(Use(index, "MID"), 0);
  EXPECT_EQ(messages.texts(), (Texts{"Must load speaker database first", "Loudspeaker not available in database"}));
}

}  // namespace
