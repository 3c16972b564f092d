// The seed files in data/ (see data/README.md) are whole, good files of each
// format: every one imports a record without a message.
#include <gtest/gtest.h>

#include <filesystem>

#include "speakerbase/imports/acoustacadd_import.h"
#include "speakerbase/imports/ease_import.h"
#include "speakerbase/imports/gdf_import.h"
#include "speakerbase/imports/knf_import.h"

namespace {

const std::filesystem::path kData = std::filesystem::path(KORVANE_TESTS_DIR "/speakerbase/imports") / "data";

std::string Seed(const char* name) { return (kData / name).string(); }

TEST(SeedFiles, EveryOneImports) {
  AcoustaCaddImportState state;
  SpeakerType complete, paired;
  std::vector<ImportMessage> messages;
  ASSERT_TRUE(PickSpkFile(state, complete, Seed("acoustacadd/SPEAKER.SPK"), messages));
  const SpeakerImport acoustaCadd = FinishAcoustaCaddImport(state, complete);
  EXPECT_EQ(acoustaCadd.records.size(), 1u);
  EXPECT_EQ(acoustaCadd.records.at(0).ImportMask(1), 1);
  ResetAcoustaCaddImport(state);
  ASSERT_TRUE(PickSpkFile(state, paired, Seed("acoustacadd/HORN.SPK"), messages));
  ASSERT_TRUE(PickSpkFile(state, paired, Seed("acoustacadd/DRIVER.SPK"), messages));
  EXPECT_TRUE(AcoustaCaddRecordComplete(paired, messages));

  const SpeakerImport catalog = ImportEase2SpeakerBase(Seed("ease/catalog.lsp"), 500);
  EXPECT_EQ(catalog.records.size(), 2u);
  for (const SpeakerImport& one :
       {ImportEase3Speaker(Seed("ease/SPEAKER.spk")), ImportGdfSpeaker(Seed("gdf/speaker.gdf")),
        ImportKnfSpeaker(Seed("knf/speaker.knf"))}) {
    EXPECT_EQ(one.records.size(), 1u);
    EXPECT_TRUE(one.messages.empty());
  }
  EXPECT_TRUE(messages.empty());
}

}  // namespace
