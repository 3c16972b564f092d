// The File menu's EASE exchange in kdn: the file dialogs of each command
// with their filters, the loudspeakers of the example hall through an
// export and an import, the speaker database asked for first, the Edit
// Loudspeaker dialog for a type the database lacks, and the face imports,
// which leave the project's file dialog state as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "design/model/ease_exchange.h"
#include "design/model/loudspeaker.h"
#include "design/model/project.h"
#include "design/shell/core/command_table.h"
#include "design/shell/design_shell.h"
#include "framework/base/framework_windows.h"
#include "framework/base/view_state.h"
#include "framework/base/work_buffers.h"
#include "framework/core/file_dialog_state.h"
#include "framework/model/layers.h"
#include "framework/view/projection.h"
#include "framework/view/rendering.h"
#include "platform/test_seams.h"
#include "tests/design/shell/kdn_fixture.h"
#include "tests/support/message_recorder.h"
#include "tests/support/object_fixtures.h"

namespace {

namespace fs = std::filesystem;
using platform::test::DialogUser;
using Texts = std::vector<std::string>;

class EaseCommandsTest : public KdnTest {
 protected:
  void SetUp() override {
    KdnTest::SetUp();
    StartWithHall();
  }
  void SelectDatabase() {
    platform::test::FileDialogScript files;
    files.Choose(CopyExample("EXAMPLE.KSB"));
    Command(kCmdSelectSpeakerDatabase);
    ASSERT_FALSE(gDesignShell.speakerDatabase.path.empty());
  }
  void Write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
  static std::vector<ExchangeSpeaker> Speakers() { return ExchangeSpeakersOf(gObjects.model, gSpeakerModel.types); }
  static void RemoveLoudspeakers() {
    for (GraphicObject* o = gObjects.model.first; o;) {
      GraphicObject* next = o->next;
      if (o->layer == kLoudspeakerLayer) {
        UnlinkObject(o);
        FreeObject(o);
      }
      o = next;
    }
  }

  platform::test::DialogScript dialogs_;
};

// Each command's dialog: save for the exports, open for the imports, with
// the format's filter.
TEST_F(EaseCommandsTest, EachCommandAsksForItsFileWithItsFilter) {
  SelectDatabase();
  struct Case {
    int id;
    bool save;
    const char* filter;
  };
  const Case cases[] = {
      {kCmdImportFacesEase3, false, "EASE-Export"},    {kCmdImportFacesEase2, false, "EASE-Export"},
      {kCmdImportSpeakersEase3, false, "EASE-Export"}, {kCmdExportSpeakersEase3, true, "EASE-Import"},
      {kCmdImportSpeakersEase2, false, "EASE-Export"}, {kCmdExportSpeakersEase2, true, "EASE-Import"},
  };
  const char* patterns[] = {"*.xfc", "*.exp", "*.xld", "*.xld", "*.exp", "*.imp"};
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].id);
    platform::test::FileDialogScript files;
    files.Cancel();
    EXPECT_TRUE(ChooseItem(cases[i].id));
    ASSERT_EQ(files.dialogs().size(), 1u);
    EXPECT_EQ(files.dialogs()[0].save, cases[i].save);
    ASSERT_FALSE(files.dialogs()[0].request.filters.empty());
    EXPECT_EQ(files.dialogs()[0].request.filters[0].description, cases[i].filter);
    EXPECT_EQ(files.dialogs()[0].request.filters[0].patterns, patterns[i]);
  }
}

// The hall's loudspeakers go out to EASE 3 (the extension added) and come
// back from the database with their positions, angles, delays and powers.
TEST_F(EaseCommandsTest, TheHallsLoudspeakersComeBackFromTheirOwnExport) {
  SelectDatabase();
  const std::vector<ExchangeSpeaker> before = Speakers();
  {
    platform::test::FileDialogScript files;
    files.Choose(Path("hall"));
    Command(kCmdExportSpeakersEase3);
  }
  ASSERT_TRUE(fs::exists(Path("hall.xld")));
  RemoveLoudspeakers();
  gProject.modified = 0;
  {
    platform::test::FileDialogScript files;
    files.Choose(Path("hall.xld"));
    MessageRecorder messages;
    Command(kCmdImportSpeakersEase3);
    EXPECT_TRUE(messages.messages().empty());
  }
  EXPECT_EQ(std::count(dialogs_.opened().begin(), dialogs_.opened().end(), "DIALOG_9"), 0);
  const std::vector<ExchangeSpeaker> after = Speakers();
  ASSERT_EQ(after.size(), before.size());
  EXPECT_NE(gProject.modified, 0);
  for (const ExchangeSpeaker& read : after) {
    // Imported loudspeakers stand at the head of the list: match by position.
    const auto same = std::find_if(before.begin(), before.end(), [&](const ExchangeSpeaker& s) {
      return s.speaker.position == read.speaker.position;
    });
    ASSERT_NE(same, before.end());
    EXPECT_EQ(read.typeName, same->typeName);
    EXPECT_NEAR(read.speaker.horizontal, same->speaker.horizontal, 1e-3);
    EXPECT_NEAR(read.speaker.vertical, same->speaker.vertical, 1e-3);
    EXPECT_EQ(read.speaker.delay, same->speaker.delay);
    for (int b = 0; b < kBandCount; ++b) EXPECT_NEAR(read.speaker.power[b], same->speaker.power[b], 0.05) << b;
  }
}

TEST_F(EaseCommandsTest, WithoutADatabaseTheImportAsksForOneFirst) {
  ASSERT_TRUE(gDesignShell.speakerDatabase.path.empty());
  platform::test::FileDialogScript files;
  MessageRecorder messages;
  messages.Answer(kIdCancel);
  Command(kCmdImportSpeakersEase3);
  ASSERT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(messages.messages()[0].text, kLoadSpeakerDatabaseFirstMessage);
  EXPECT_EQ(messages.messages()[0].caption, kWarningCaption);
  EXPECT_TRUE(files.dialogs().empty());

  // OK: the database dialog, then the file's.
  files.Choose(CopyExample("EXAMPLE.KSB"));
  files.Cancel();
  Command(kCmdImportSpeakersEase2);
  ASSERT_EQ(files.dialogs().size(), 2u);
  EXPECT_FALSE(gDesignShell.speakerDatabase.path.empty());
  EXPECT_EQ(files.dialogs()[1].request.filters[0].patterns, "*.exp");
}

// A type neither the project nor the database holds: the Edit Loudspeaker
// dialog once, whose Cancel leaves the loudspeaker out.
TEST_F(EaseCommandsTest, AnUnknownTypeOpensTheEditDialogOnce) {
  SelectDatabase();
  Write(Path("odd.xld"),
        "\"Filetype\",\"Loudspeakers\"\r\n\"Format\",3.0\r\n\"LengthUnit\",\"m\"\r\n\"Label\",\"S1\"\r\n"
        "\"Position\",1.00,2.00,3.00\r\n\"Ver/Hor/Rot\",0.0,90.0,0.0\r\n\"Speaker\",\"NOPE\"\r\n"
        "\"Delay/Align\",0.000000,0.000000\r\n\"dB 1m\",0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0\r\n"
        "\"Watts\",1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1\r\n");
  dialogs_.On("DIALOG_9", [](DialogUser& user) {
    EXPECT_EQ(user.Text(101), "NOPE");
    user.Press(122);
  });
  platform::test::FileDialogScript files;
  files.Choose(Path("odd.xld"));
  Command(kCmdImportSpeakersEase3);
  EXPECT_EQ(std::count(dialogs_.opened().begin(), dialogs_.opened().end(), "DIALOG_9"), 1);
  EXPECT_EQ(CountOnLayer(kLoudspeakerLayer), 2);
}

// A face file comes in as room faces; the file dialog keeps the project's
// folder and name for the next save.
TEST_F(EaseCommandsTest, FaceImportsAddRoomFacesAndKeepTheProjectsDialogState) {
  Write(Path("quad.xfc"),
        "\"Filetype\",\"Faces\"\r\n\"Format\",3,0\r\n\"LengthUnit\",\"m\"\r\n\"Material\",\"Absorber\"\r\n"
        "1.0,0.0,0.0\r\n1.0,1.0,0.0\r\n0.0,1.0,0.0\r\n0.0,0.0,0.0\r\n\"End\"\r\n");
  Write(Path("tri.exp"), "0.0,0.0,0.0\n0.0,1.0,0.0\n1.0,0.0,0.0\n0\n0\n0\n0\n0\n0\n0\n");
  const int rooms = CountOnLayer(kRoomLayer);
  fs::create_directories(Path("elsewhere"));
  for (const auto& [id, file] : {std::pair{kCmdImportFacesEase3, "quad.xfc"}, {kCmdImportFacesEase2, "tri.exp"}}) {
    fs::copy_file(Path(file), Path("elsewhere/") + file, fs::copy_options::overwrite_existing);
    const FileDialogState project = gFileDialog;
    gProject.modified = 0;
    platform::test::FileDialogScript files;
    files.Choose(Path("elsewhere/") + file);
    Command(id);
    EXPECT_EQ(gFileDialog.directory, project.directory) << file;
    EXPECT_EQ(gFileDialog.fileName, project.fileName) << file;
    EXPECT_NE(gProject.modified, 0) << file;
    EXPECT_EQ(gObjects.model.first->layer, kRoomLayer);
  }
  EXPECT_EQ(CountOnLayer(kRoomLayer), rooms + 2);
}

// The face export writes the room faces the user picks, then deselects
// them; Escape in the picker writes nothing.
TEST_F(EaseCommandsTest, TheFaceExportsWriteThePickedFaces) {
  ResetObjectStore();
  GraphicObject* picked = AddObject({RectangleXY(0, 0, 4, 3)});
  AddObject({RectangleXY(10, 10, 12, 12)});
  ZoomToFit();
  ProjectPointToScreen({2, 0, 0});
  const platform::Point edge{gWork.screenPoints[0].x, gWork.screenPoints[0].y};
  const GraphicObject* const only[] = {picked};
  struct Case {
    int id;
    const char* name;
    const char* pattern;
  };
  for (const auto& [id, name, pattern] :
       {Case{kCmdExportFacesEase3, "picked.xfc", "*.xfc"}, Case{kCmdExportFacesEase2, "picked.imp", "*.imp"}}) {
    platform::test::FileDialogScript files;
    files.Choose(Path(name));
    RunSteps([this, id = id] { Command(id); }, {[&] { platform::test::Click(DrawWindow->window, edge.x, edge.y); },
                                                [] { platform::test::KeyPress(platform::kKeyEnter); }});
    ASSERT_EQ(files.dialogs().size(), 1u) << name;
    EXPECT_TRUE(files.dialogs()[0].save);
    EXPECT_EQ(files.dialogs()[0].request.filters[0].patterns, pattern);
    std::ifstream in(Path(name), std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string expected;
    if (id == kCmdExportFacesEase3) expected = FormatFacesEase3(only);
    else ASSERT_TRUE(FormatFacesEase2(only, expected));
    EXPECT_EQ(written, expected) << name;
    EXPECT_FALSE(picked->state & kStateSelected);
    EXPECT_EQ(gDrawing.currentLayer, kRoomLayer);
  }

  platform::test::FileDialogScript files;
  RunSteps([this] { Command(kCmdExportFacesEase3); }, {[] { platform::test::KeyPress(platform::kKeyEscape); }});
  EXPECT_TRUE(files.dialogs().empty());
}

TEST_F(EaseCommandsTest, WithoutLoudspeakersTheExportsDoNothing) {
  RemoveLoudspeakers();
  platform::test::FileDialogScript files;
  Command(kCmdExportSpeakersEase3);
  Command(kCmdExportSpeakersEase2);
  EXPECT_TRUE(files.dialogs().empty());
}

}  // namespace
