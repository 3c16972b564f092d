// Loudspeakers/Listing... in kdn: the listing window's rows, powers and
// totals, the loudspeaker it selects in the drawing, the type changes of
// one loudspeaker and of all of a type through "Select Loudspeaker", the
// types purged when it closes and the printed summary; and the listing
// without type changes that the viewer shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "design/document/speaker_listing.h"
#include "design/document/speaker_operations.h"
#include "design/model/loudspeaker.h"
#include "design/model/project.h"
#include "design/shell/core/command_table.h"
#include "design/shell/design_shell.h"
#include "design/windows/speaker_listing_window.h"
#include "framework/base/framework_windows.h"
#include "framework/base/input_loop.h"
#include "framework/base/printing.h"
#include "framework/model/layers.h"
#include "platform/test_seams.h"
#include "tests/design/shell/kdn_fixture.h"
#include "tests/support/bitmap_compare.h"
#include "tests/support/message_recorder.h"

namespace {

namespace fs = std::filesystem;
using platform::test::DialogUser;
using Texts = std::vector<std::string>;

constexpr char kListing[] = "SPKRLIST_DLG";

// What the user's last action queued.
void Settle() {
  platform::Message m;
  while (platform::PeekMessage(m)) platform::DispatchMessage(m);
}

bool Opened(const platform::test::DialogScript& dialogs, const char* name) {
  return std::count(dialogs.opened().begin(), dialogs.opened().end(), name) == 1;
}

class SpeakerListingWindowTest : public KdnTest {
 protected:
  void SetUp() override {
    KdnTest::SetUp();
    Start();
    const std::string path = CopyExample("EXAMPLE.KSB");
    platform::test::FileDialogScript files;
    files.Choose(path);
    Command(kCmdSelectSpeakerDatabase);
    ASSERT_EQ(gDesignShell.speakerDatabase.path, path);
  }

  // A loudspeaker of the example database placed at (x, y, z).
  GraphicObject* Place(float x, float y, float z, const char* type, bool on = true) {
    GraphicObject* object =
        AddLoudspeaker({x, y, z}, gDesignShell.speakerDatabase, [&](Loudspeaker& speaker, std::string& typeName) {
          typeName = type;
          speaker.on = on ? 1 : 0;
          return 1;
        });
    EXPECT_NE(object, nullptr) << type;
    return object;
  }
  static Loudspeaker Read(GraphicObject* object) {
    Loudspeaker speaker;
    EXPECT_TRUE(ReadLoudspeaker(object, speaker));
    return speaker;
  }
  static std::string TypeOf(GraphicObject* object) {
    const SpeakerType* type = gSpeakerModel.types.At(Read(object).typeIndex);
    return type ? type->TypeName() : std::string();
  }
  static Texts Fields(DialogUser& user, int first) {
    Texts texts;
    for (int b = 0; b < kBandCount; ++b) texts.push_back(user.Text(first + b));
    return texts;
  }
  static Texts Formatted(const std::array<std::string, kBandCount>& texts) { return Texts(texts.begin(), texts.end()); }

  platform::test::DialogScript dialogs_;
};

// Rows sorted by x, y, z; the selected loudspeaker's powers (0.00 when it
// is off) and selection in the drawing follow the list; the totals leave
// the switched-off one out.
TEST_F(SpeakerListingWindowTest, RowsArePlacedInOrderAndTheSelectedOneIsShownAndMarked) {
  GraphicObject* high = Place(1, 2, 3, "KV12");
  GraphicObject* low = Place(1, 2, 1, "KV8C", false);
  GraphicObject* front = Place(0, 5, 5, "KV12");
  std::vector<Loudspeaker> on = {Read(high), Read(front)};
  const SpeakerPowerTotals totals = ComputeSpeakerPowerTotals(on, ProjectTables());
  dialogs_.On(kListing, [&](DialogUser& user) {
    EXPECT_EQ(user.Caption(), "Loudspeaker Listing");
    EXPECT_EQ(user.Items(101), (Texts{"001\tKV12\t0.0,5.0,5.0", "002\tKV8C\t1.0,2.0,1.0", "003\tKV12\t1.0,2.0,3.0"}));
    EXPECT_EQ(user.Selection(101), 0);
    EXPECT_EQ(Fields(user, 201), Formatted(FormatSpeakerBandPowers(Read(front))));
    EXPECT_TRUE(front->state & kStateSelected);
    EXPECT_EQ(Fields(user, 301), Formatted(FormatSpeakerPowerTotals(totals.electrical)));
    EXPECT_EQ(Fields(user, 401), Formatted(FormatSpeakerPowerTotals(totals.acoustic)));
    EXPECT_NE(user.Text(301), " 0.00");

    user.Choose(101, 1);
    Settle();
    EXPECT_EQ(Fields(user, 201), Texts(kBandCount, "0.00"));
    EXPECT_TRUE(low->state & kStateSelected);
    EXPECT_FALSE(front->state & kStateSelected);
    user.Choose(101, 2);
    Settle();
    EXPECT_EQ(Fields(user, 201), Formatted(FormatSpeakerBandPowers(Read(high))));
    user.Press(104);
  });
  gProject.modified = 0;
  Command(kCmdSpeakerListing);
  EXPECT_TRUE(Opened(dialogs_, kListing));
  for (GraphicObject* o : {high, low, front}) EXPECT_FALSE(o->state & kStateSelected);
  EXPECT_EQ(gProject.modified, 0);
  EXPECT_EQ(gInput.activeCommand, 0);
}

// 103 changes the loudspeakers of the current one's old type, 102 the
// current one alone; each at -9 dB with the type's largest rated power as
// its nominal power. Types no loudspeaker uses any more go at the close.
TEST_F(SpeakerListingWindowTest, TypeChangesTakeTheLoudspeakersOfTheOldTypeAndPurgeOnClosing) {
  GraphicObject* a = Place(0, 0, 3, "KV12");
  GraphicObject* b = Place(1, 0, 3, "KV8C");
  GraphicObject* c = Place(2, 0, 3, "KV12");
  const float bGain = Read(b).eqGain[0];
  // Row 0 (a, KV12) to KV8C: a and c; then row 1 (b) alone to KV12.
  dialogs_.On("DIALOG_12", [](DialogUser& user) {
    user.Choose(101, 1);
    user.Press(110);
  });
  dialogs_.On("DIALOG_12", [](DialogUser& user) {
    EXPECT_EQ(user.Selection(101), 1);  // on the current row's type
    user.Choose(101, 0);
    user.Press(110);
  });
  dialogs_.On(kListing, [&](DialogUser& user) {
    user.Press(103);
    Settle();
    EXPECT_EQ(user.Items(101), (Texts{"001\tKV8C\t0.0,0.0,3.0", "002\tKV8C\t1.0,0.0,3.0", "003\tKV8C\t2.0,0.0,3.0"}));
    EXPECT_EQ(user.Selection(101), 0);
    EXPECT_EQ(Read(b).eqGain[0], bGain);
    user.Choose(101, 1);
    Settle();
    user.Press(102);
    Settle();
    EXPECT_EQ(user.Items(101)[1], "002\tKV12\t1.0,0.0,3.0");
    EXPECT_EQ(Fields(user, 201), Formatted(FormatSpeakerBandPowers(Read(b))));
    user.Press(104);
  });
  gProject.modified = 0;
  Command(kCmdSpeakerListing);
  EXPECT_EQ(TypeOf(a), "KV8C");
  EXPECT_EQ(TypeOf(b), "KV12");
  EXPECT_EQ(TypeOf(c), "KV8C");
  for (GraphicObject* o : {a, b, c}) {
    EXPECT_EQ(Read(o).eqGain, (std::array<float, kBandCount>{-9, -9, -9, -9, -9, -9, -9}));
    const SpeakerType& type = *gSpeakerModel.types.At(Read(o).typeIndex);
    float largest = 0;
    for (int band = 0; band < kBandCount; ++band) largest = std::max(largest, type.RatedPower(band));
    EXPECT_EQ(Read(o).nominalPower, largest);
  }
  EXPECT_EQ(gProject.modified, 65535);
  EXPECT_EQ(gSpeakerModel.types.count, 2);
}

TEST_F(SpeakerListingWindowTest, ACancelledPickChangesNothingAndTheUnusedTypeIsPurged) {
  GraphicObject* a = Place(0, 0, 3, "KV12");
  dialogs_.On("DIALOG_12", [](DialogUser& user) { user.Press(111); });
  dialogs_.On(kListing, [](DialogUser& user) {
    user.Press(102);
    Settle();
    user.Close();
  });
  // A type the project loaded that no loudspeaker uses.
  GraphicObject* other = Place(5, 0, 3, "KV8C");
  UnlinkObject(other);
  FreeObject(other);
  gProject.modified = 0;
  ASSERT_EQ(gSpeakerModel.types.count, 2);
  Command(kCmdSpeakerListing);
  EXPECT_EQ(TypeOf(a), "KV12");
  EXPECT_EQ(gProject.modified, 0);
  EXPECT_EQ(gSpeakerModel.types.count, 1);
}

// "Print" closes the window and prints the summary landscape, 44
// loudspeakers a page.
TEST_F(SpeakerListingWindowTest, PrintClosesTheWindowAndPrintsTheSummaryPages) {
  for (int i = 0; i < 45; ++i) Place(float(i % 9), float(i / 9), 3, "KV12");
  platform::test::PrintDialogScript printing;
  platform::test::RecordingPrinter printer;
  printer.caps.widthPixels = 3300;
  printer.caps.heightPixels = 2400;
  printer.caps.colours = 2;
  printer.keepImages = false;
  printing.Record(printer);
  dialogs_.On(kListing, [](DialogUser& user) { user.Press(105); });
  ASSERT_TRUE(ChooseItem(kCmdSpeakerListing));
  ASSERT_EQ(printing.presets().size(), 1u);
  EXPECT_TRUE(printing.presets()[0].landscape);
  ASSERT_EQ(printing.documents().size(), 1u);
  const platform::test::RecordedPrint& printed = printing.documents()[0];
  EXPECT_TRUE(printed.ended);
  ASSERT_EQ(printed.pages.size(), 2u);
  const auto texts = [](const platform::test::RecordedPage& page) {
    return std::count_if(page.operations.begin(), page.operations.end(), [](const auto& op) { return op.kind == 'T'; });
  };
  // The second page: its head and one loudspeaker's row, then the totals.
  EXPECT_LT(texts(printed.pages[1]), texts(printed.pages[0]));
  EXPECT_FALSE(IsPrinting());
}

// With no printer the summary goes to the PDF file the print dialog names,
// its texts as text: the page's words hold its head, the row and the totals.
TEST_F(SpeakerListingWindowTest, TheSummaryPrintsToAPdfFile) {
  Place(0, 0, 3, "KV12");
  platform::test::PrintDialogScript printing;
  printing.PrintToPdf(Path("summary.pdf"), 300);
  dialogs_.On(kListing, [](DialogUser& user) { user.Press(105); });
  Command(kCmdSpeakerListing);
  ASSERT_TRUE(fs::exists(Path("summary.pdf")));
  EXPECT_GT(fs::file_size(Path("summary.pdf")), 1000u);
  EXPECT_GT(GetPrintSettings()->horizontalResolution, GetPrintSettings()->verticalResolution);
  const std::vector<std::string> words = PdfPageWords(Path("summary.pdf"), 1);
  for (const char* word : {"Loudspeakers", "Summary", "Korvane", "KV12", "Aim", "Total", "acoustic", "power"})
    EXPECT_TRUE(std::binary_search(words.begin(), words.end(), word)) << word;
}

// A listing without a type picker (the viewer's) offers no type change.
TEST_F(SpeakerListingWindowTest, WithoutATypePickerTheTypeChangesAreNotOffered) {
  GraphicObject* a = Place(0, 0, 3, "KV12");
  dialogs_.On(kListing, [](DialogUser& user) {
    EXPECT_FALSE(user.IsVisible(102));
    EXPECT_FALSE(user.IsVisible(103));
    EXPECT_TRUE(user.IsVisible(105));
    user.Press(102);
    user.Press(104);
  });
  SpeakerListingSetup setup;
  setup.design = ProjectTables();
  setup.owner = DrawWindow->window;
  EXPECT_EQ(ShowSpeakerListing(setup), 1);
  EXPECT_TRUE(Opened(dialogs_, kListing));
  EXPECT_EQ(TypeOf(a), "KV12");
}

// The listing's loop waits for the user (the idle hook runs while it is
// open) and the close box ends it.
TEST_F(SpeakerListingWindowTest, TheListingWaitsForTheUserAndClosesByItsCloseBox) {
  Place(0, 0, 3, "KV12");
  platform::Window shown = platform::Window::kNone;
  dialogs_.On(kListing, [&](DialogUser& user) { shown = user.dialog(); });
  RunSteps([this] { Command(kCmdSpeakerListing); }, {[&] {
             ASSERT_TRUE(platform::IsWindow(shown));
             platform::test::RequestClose(shown);
           }});
  EXPECT_FALSE(platform::IsWindow(shown));
}

TEST_F(SpeakerListingWindowTest, NoLoudspeakerNoListing) {
  Command(kCmdSpeakerListing);
  EXPECT_FALSE(Opened(dialogs_, kListing));
}

}  // namespace
