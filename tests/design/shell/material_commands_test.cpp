// kdn's material commands on the example hall as the user works them: the
// absorber database dialog in its modes with its save, the choice of a
// material, the face list with its marker and material changes, and the
// printed room-faces summary.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "design/acoustics/calc_faces.h"
#include "design/acoustics/face_list.h"
#include "design/model/absorber_database.h"
#include "design/model/materials.h"
#include "design/model/project.h"
#include "design/shell/core/command_table.h"
#include "design/shell/design_shell.h"
#include "design/shell/material_dialogs.h"
#include "design/windows/face_list_window.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/input_loop.h"
#include "framework/base/printing.h"
#include "framework/base/view_state.h"
#include "framework/core/geometry.h"
#include "framework/model/graphic_object.h"
#include "framework/model/layers.h"
#include "framework/view/rendering.h"
#include "framework/view/view_transform.h"
#include "platform/dialog.h"
#include "platform/drawing.h"
#include "platform/test_seams.h"
#include "tests/design/shell/kdn_fixture.h"
#include "tests/support/bitmap_compare.h"
#include "tests/support/message_recorder.h"
#include "tests/support/object_fixtures.h"

namespace {

using platform::test::DialogUser;
using Texts = std::vector<std::string>;
namespace fs = std::filesystem;

// Handles what the user's last action queued, nested dialogs included.
void Settle() {
  platform::Message m;
  while (platform::PeekMessage(m)) platform::DispatchMessage(m);
}

int DatabaseIndexOf(const std::string& name) {
  const AbsorberDatabase& database = gMaterials.database;
  for (int i = 0; i < database.count; ++i)
    if (database.records[i].name == name) return i;
  return -1;
}

// The texts `recorder` took since the last call.
class NewMessages {
 public:
  explicit NewMessages(const MessageRecorder& recorder) : recorder_(recorder) {}
  Texts operator()() {
    const Texts all = recorder_.texts();
    const Texts fresh(all.begin() + std::ptrdiff_t(seen_), all.end());
    seen_ = all.size();
    return fresh;
  }

 private:
  const MessageRecorder& recorder_;
  size_t seen_ = 0;
};

int ProjectEntriesNamed(const std::string& name) {
  const MaterialTable& project = gMaterials.project;
  return int(std::count_if(project.records.begin(), project.records.begin() + project.count,
                           [&](const AbsorberRecord& r) { return r.name == name; }));
}

class MaterialCommandsTest : public KdnTest {
 protected:
  void SetUp() override {
    KdnTest::SetUp();
    StartWithHall();
  }

  // Room/Select Material Database on a copy of the example database.
  void LoadExampleDatabase() {
    platform::test::FileDialogScript files;
    files.Choose(CopyExample("EXAMPLE.KAB"));
    Command(kCmdSelectMaterialDatabase);
    ASSERT_GT(gMaterials.database.count, 20);
  }

  // The face list on the hall, worked by `actions` (which must close it).
  void FaceList(std::function<void(DialogUser&)> actions) {
    dialogs_.On(kFaceListDialog, std::move(actions));
    Command(kCmdFaceList);
    EXPECT_EQ(gFaceList.dialog, platform::Window::kNone);
  }

  // Pixels of the drawing window in palette colour `index`.
  static int DrawingPixels(int index) {
    const platform::Size size = platform::GetClientSize(DrawWindow->window);
    int n = 0;
    for (int y = 0; y < size.height; y += 2)
      for (int x = 0; x < size.width; x += 2)
        n += platform::test::SurfacePixel(DrawWindow->window, x, y) == gPalette.colours[index];
    return n;
  }

  platform::test::DialogScript dialogs_;
};

// ---- Select Absorber Material ----

TEST_F(MaterialCommandsTest, TheChoiceAsksToLoadADatabaseFirst) {
  MessageRecorder messages;
  messages.Answer(kIdCancel);
  int chosen = -1;
  EXPECT_EQ(SelectDatabaseMaterial(0, chosen), 0);
  ASSERT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(messages.messages()[0].text, "Load now ?");
  EXPECT_EQ(messages.messages()[0].caption, "Must load absorber database first");

  // OK loads one through the file dialog, and the choice opens on it.
  messages.Answer(kIdOk);
  platform::test::FileDialogScript files;
  files.Choose(CopyExample("EXAMPLE.KAB"));
  dialogs_.On(kSelectMaterialDialog, [](DialogUser& user) {
    EXPECT_EQ(user.Caption(), "Select Absorber Material");
    user.Press(110);
  });
  EXPECT_EQ(SelectDatabaseMaterial(0, chosen), 1);
  EXPECT_EQ(chosen, 0);  // nothing highlighted: the first record
  EXPECT_EQ(dialogs_.leftOpen(), 0);
}

TEST_F(MaterialCommandsTest, TheChoiceStartsOnTheFacesMaterialAndTakesADoubleClick) {
  LoadExampleDatabase();
  const int project = 1;  // the hall's second material
  const std::string name = gMaterials.project.records[project].name;
  const int inDatabase = DatabaseIndexOf(name);
  ASSERT_GE(inDatabase, 0) << name;
  const int other = inDatabase == 0 ? 1 : 0;
  const AbsorberRecord& otherRecord = gMaterials.database.records[other];
  dialogs_.On(kSelectMaterialDialog, [&](DialogUser& user) {
    EXPECT_EQ(user.Items(101).size(), size_t(gMaterials.database.count));
    EXPECT_EQ(user.Selection(101), inDatabase);
    EXPECT_EQ(user.Text(102), gMaterials.project.records[project].description);
    EXPECT_EQ(user.Text(103), FormatAbsorption(gMaterials.project.records[project].absorption[0]));
    user.Choose(101, other);
    Settle();
    EXPECT_EQ(user.Text(102), otherRecord.description);
    EXPECT_EQ(user.Text(109), FormatAbsorption(otherRecord.absorption[6]));
    user.DoubleClick(101, other);
  });
  int chosen = -1;
  EXPECT_EQ(SelectDatabaseMaterial(project, chosen), 1);
  EXPECT_EQ(chosen, other);

  dialogs_.On(kSelectMaterialDialog, [](DialogUser& user) { user.Press(111); });
  chosen = -1;
  EXPECT_EQ(SelectDatabaseMaterial(project, chosen), 0);
  EXPECT_EQ(chosen, -1);
}

// ---- The absorber database dialog ----

class DatabaseDialogTest : public MaterialCommandsTest {
 protected:
  void Edit(std::function<void(DialogUser&)> actions) {
    dialogs_.On(kAbsorberDatabaseDialog, std::move(actions));
    Command(kCmdEditMaterialDatabase);
    EXPECT_EQ(dialogs_.leftOpen(), 0);
  }
  // Edit on the first record: its description becomes "changed", and OK.
  static void ChangeFirstRecord(DialogUser& user) {
    user.Press(112);
    Settle();
    user.Type(103, "changed");
    user.Press(111);
    Settle();
  }
  // The button captions and which of them show.
  static Texts Buttons(DialogUser& user) {
    Texts shown;
    for (int id : {111, 112, 113}) shown.push_back(user.IsVisible(id) ? user.Text(id) : "-");
    return shown;
  }
};

TEST_F(DatabaseDialogTest, ModesChangeTheButtonsAndOkRefusesWhatNoRecordMayHold) {
  LoadExampleDatabase();
  const int count = gMaterials.database.count;
  const AbsorberRecord first = gMaterials.database.records[0];
  MessageRecorder messages;
  NewMessages shown(messages);
  messages.Answer(kIdOk);
  messages.Answer(kIdOk);
  messages.Answer(kIdOk);
  messages.Answer(kIdOk);
  messages.Answer(kIdCancel);  // the offer to save on Quit
  Edit([&](DialogUser& user) {
    EXPECT_EQ(user.Caption(), "Absorber Database");
    EXPECT_EQ(Buttons(user), (Texts{"New", "Edit", "Quit"}));
    EXPECT_EQ(user.Selection(101), 0);
    EXPECT_EQ(user.Text(102), first.name);
    EXPECT_EQ(user.Text(114), first.category);
    user.Press(111);  // New
    Settle();
    EXPECT_EQ(Buttons(user), (Texts{"OK", "Cancel", "-"}));
    EXPECT_EQ(user.Text(102), "New");
    EXPECT_TRUE(user.HasFocus(102));
    EXPECT_FALSE(user.IsEnabled(101));
    // Coefficients as typed: a comma is a point; outside 0..1 is refused
    // and the mode stays with the typed values.
    struct Case {
      const char* typed;
      bool accepted;
    };
    for (const Case& c : {Case{"1.01", false}, Case{"-0.1", false}, Case{"x", false}, Case{"0", true}, Case{"1", true},
                          Case{"0,5", true}}) {
      user.Type(104, c.typed);
      Settle();
      user.Type(102, "");
      user.Type(102, "Test panel");
      user.Press(111);
      Settle();
      if (!c.accepted) {
        EXPECT_EQ(shown(), Texts{"Valid coefficients only 0...1"}) << c.typed;
        EXPECT_EQ(Buttons(user), (Texts{"OK", "Cancel", "-"})) << c.typed;
        EXPECT_EQ(user.Text(104), c.typed);
        continue;
      }
      EXPECT_TRUE(shown().empty()) << c.typed;
      EXPECT_EQ(Buttons(user), (Texts{"New", "Edit", "Quit"})) << c.typed;
      EXPECT_EQ(user.Selection(101), gMaterials.database.count - 1);
      user.Press(112);  // Edit the record just made, for the next case
      Settle();
    }
    // An empty name is refused.
    user.Type(102, "x");
    user.Key(platform::kKeyBackspace);
    user.Press(111);
    Settle();
    EXPECT_EQ(shown(), Texts{"Invalid entry !"});
    // Cancel in edit mode shows what the record holds.
    user.Press(112);
    Settle();
    EXPECT_EQ(user.Text(102), "Test panel");
    EXPECT_EQ(user.Text(104), "0.50");
    user.Press(113);
  });
  // "0" made one record; "1" and "0,5" edited it.
  ASSERT_EQ(gMaterials.database.count, count + 3 - 2);
  const AbsorberRecord& made = gMaterials.database.records[count];
  EXPECT_EQ(made.name, "Test panel");
  EXPECT_FLOAT_EQ(made.absorption[0], 0.5f);
  EXPECT_EQ(made.category, first.category);  // new mode keeps the other fields as shown
  EXPECT_EQ(shown(), Texts{"Database has been modified.Save now ?"});
  EXPECT_TRUE(gAbsorberDatabaseEdit.modified);
}

TEST_F(DatabaseDialogTest, QuitSavesAModifiedDatabaseAndAFailedSaveKeepsTheDialog) {
  LoadExampleDatabase();
  const std::string loaded = gMaterials.databasePath;
  const std::string saved = Path("saved.kab");
  platform::test::FileDialogScript files;
  files.Choose(Path("missing/folder/X.KAB"));
  files.Choose(saved);
  MessageRecorder messages;
  Edit([&](DialogUser& user) {
    ChangeFirstRecord(user);
    user.Press(113);  // Quit: save, which fails
    Settle();
    EXPECT_EQ(messages.texts(), (Texts{"Database has been modified.Save now ?",
                                       "Couldn\xB4t write data to disk !\nNo such file or directory"}));
    EXPECT_TRUE(gAbsorberDatabaseEdit.modified);
    user.Press(113);  // again, and now it is written
  });
  ASSERT_EQ(files.dialogs().size(), 2u);
  EXPECT_TRUE(files.dialogs()[0].save);
  EXPECT_FALSE(gAbsorberDatabaseEdit.modified);
  EXPECT_EQ(gMaterials.databasePath, loaded);
  ASSERT_TRUE(fs::exists(saved));
  EXPECT_EQ(fs::file_size(saved), 32 + 256 * uintmax_t(gMaterials.database.count));
  AbsorberDatabase read;
  ASSERT_EQ(ReadAbsorberDatabaseFile(saved, read, "bad"), 1);
  EXPECT_EQ(read, gMaterials.database);
  EXPECT_EQ(read.records[0].description, "changed");

  // Unchanged, Quit asks nothing.
  const size_t before = messages.texts().size();
  Edit([](DialogUser& user) { user.Press(113); });
  EXPECT_EQ(messages.texts().size(), before);
}

// A database file of 270 records loads its first 200 with a message saying
// so. Its save then proposes no name and asks before it writes over that
// file: Cancel keeps the file, OK writes the 200.
TEST_F(DatabaseDialogTest, AFileLoadedInPartSaysSoAndIsOnlyOverwrittenAfterAsking) {
  AbsorberDatabase records;
  for (int i = 0; i < kMaxAbsorberRecords; ++i) records.records[i].name = "m" + std::to_string(i);
  records.count = kMaxAbsorberRecords;
  const std::string big = Path("big.KAB");
  ASSERT_EQ(WriteAbsorberDatabaseFile(big, records), 1);
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadWholeFile(big, bytes));
  const std::vector<uint8_t> last(bytes.end() - 256, bytes.end());
  for (int i = 0; i < 70; ++i) bytes.insert(bytes.end(), last.begin(), last.end());
  {
    SafeFileWriter writer(big);
    writer.Bytes(bytes.data(), bytes.size());
    ASSERT_TRUE(writer.Commit());
  }
  platform::test::FileDialogScript files;
  files.Choose(big);
  MessageRecorder messages;
  NewMessages shown(messages);
  Command(kCmdSelectMaterialDatabase);
  EXPECT_EQ(shown(), Texts{"Database can\xB4t contain more than 200 materials\n"
                           "Loaded 200 of the file's 270 materials; left out 70."});
  EXPECT_EQ(gMaterials.database.count, kMaxAbsorberRecords);

  for (int answer : {kIdCancel, kIdOk}) {
    files.Choose(big);
    messages.Answer(kIdOk);  // save now
    messages.Answer(answer);
    Edit([&](DialogUser& user) {
      ChangeFirstRecord(user);
      user.Press(113);  // Quit: save now
    });
    EXPECT_EQ(files.dialogs().back().request.fileName, "") << "no name is proposed";
    EXPECT_EQ(shown(), (Texts{"Database has been modified.Save now ?", kOverwritePartlyReadDatabaseMessage}));
    EXPECT_EQ(fs::file_size(big), answer == kIdOk ? 32u + 256u * 200 : bytes.size());
    EXPECT_EQ(gAbsorberDatabaseEdit.modified, answer != kIdOk);
  }
  EXPECT_EQ(gMaterials.databasePath, big);
}

TEST_F(DatabaseDialogTest, AnEmptyDatabaseHidesEditAndStartsANewOne) {
  ASSERT_EQ(gMaterials.database.count, 0);
  MessageRecorder messages;
  messages.Answer(kIdCancel);
  Edit([](DialogUser& user) {
    EXPECT_EQ(Buttons(user), (Texts{"New", "-", "Quit"}));
    EXPECT_EQ(user.Text(104), "1.00");
    user.Press(111);
    Settle();
    EXPECT_EQ(Buttons(user), (Texts{"OK", "Cancel", "-"}));
    user.Press(112);  // Cancel: nothing added
    Settle();
    EXPECT_EQ(Buttons(user), (Texts{"New", "-", "Quit"}));
    EXPECT_EQ(user.Text(102), "");
    user.Press(111);
    Settle();
    user.Type(102, "Glass");
    user.Press(111);
    Settle();
    EXPECT_EQ(Buttons(user), (Texts{"New", "Edit", "Quit"}));
    EXPECT_EQ(user.Items(101), Texts{"Glass"});
    user.Close();
  });
  EXPECT_EQ(gMaterials.database.count, 1);
  EXPECT_EQ(gMaterials.database.records[0].name, "Glass");
  EXPECT_EQ(messages.texts(), Texts{"Database has been modified.Save now ?"});
}

TEST_F(DatabaseDialogTest, NewAtTwoHundredRecordsIsRefused) {
  gMaterials.database.count = kMaxAbsorberRecords;
  for (int i = 0; i < kMaxAbsorberRecords; ++i) gMaterials.database.records[i].name = "m" + std::to_string(i);
  MessageRecorder messages;
  Edit([](DialogUser& user) {
    user.Press(111);
    Settle();
    EXPECT_EQ(Buttons(user), (Texts{"New", "Edit", "Quit"}));
    user.Press(113);
  });
  EXPECT_EQ(messages.texts(), Texts{kTooManyMaterialsMessage});
  EXPECT_EQ(gMaterials.database.count, kMaxAbsorberRecords);
}

// ---- The face list ----

TEST_F(MaterialCommandsTest, TheListShowsEveryFaceLargerFirstAndMarksTheChosenOne) {
  const int pickColour = gDrawing.pickColour;
  ASSERT_EQ(DrawingPixels(pickColour), 0);
  const int objects = int(CountObjects());
  FaceList([&](DialogUser& user) {
    EXPECT_EQ(user.Caption(), "Face Listing");
    const Texts rows = user.Items(101);
    ASSERT_EQ(rows.size(), 8u);
    // The ceiling and the hall floor, 24 x 16 and 18 x 16, lead.
    EXPECT_EQ(rows[0], "001\t  384.0\tCeiling plasterboard");
    EXPECT_EQ(rows[1], "002\t  288.0\tAudience floor");
    EXPECT_EQ(user.Selection(101), 0);
    EXPECT_EQ(user.Text(208), "384.0 m\xC2\xB2");
    EXPECT_EQ(user.Text(501), "1476.0 m\xC2\xB2");
    EXPECT_TRUE(user.IsVisible(102));
    // The marker: a line at the head of the model, the outline in the pick
    // colour.
    const GraphicObject* marker = gObjects.model.first;
    EXPECT_EQ(marker, gFaceList.marker);
    EXPECT_EQ(marker->colour, 22u);
    EXPECT_EQ(marker->itemCount, 2u);
    EXPECT_EQ(int(CountObjects()), objects + 1);
    EXPECT_EQ(gPicks.faceObject, gCalcFaceTable.faces[0].object);
    EXPECT_GT(DrawingPixels(pickColour), 0);
    user.Choose(101, 1);
    Settle();
    EXPECT_EQ(gPicks.faceObject, gCalcFaceTable.faces[1].object);
    EXPECT_EQ(user.Text(208), "288.0 m\xC2\xB2");
    EXPECT_EQ(int(CountObjects()), objects + 1);
    // A left click into the drawing is dropped while the list is open.
    platform::test::Click(DrawWindow->window, 40, 40);
    platform::test::SetIdleHook([user]() mutable {
      platform::test::SetIdleHook(nullptr);
      EXPECT_FALSE(gInput.pickFlag);
      user.Press(104);
    });
  });
  EXPECT_EQ(int(CountObjects()), objects);
  EXPECT_EQ(gPicks.faceObject, nullptr);
  EXPECT_EQ(DrawingPixels(pickColour), 0);
}

// Areas and sabins in square feet: the ceiling's 384 m2 are 4133.3 ft2.
TEST_F(MaterialCommandsTest, FeetShowSquareFeet) {
  gUnitFlag = 1;
  const MaterialTable& project = gMaterials.project;
  const auto ceiling = std::find_if(project.records.begin(), project.records.end(),
                                    [](const AbsorberRecord& r) { return r.name == "Ceiling plasterboard"; });
  ASSERT_NE(ceiling, project.records.end());
  const float alpha = ceiling->absorption[3];
  FaceList([&](DialogUser& user) {
    EXPECT_EQ(user.Items(101)[0], "001\t 4133.3\tCeiling plasterboard");
    EXPECT_EQ(user.Text(208), "4133.3 ft\xC2\xB2");
    EXPECT_EQ(user.Text(308), "4133.3 ft\xC2\xB2");
    EXPECT_EQ(user.Text(204), FormatNumber("%3.1f", 384.0 * 10.76391 * alpha));
    user.Press(104);
  });
}

TEST_F(MaterialCommandsTest, ChangeAndReplaceTakeADatabaseMaterialAndPurgeTheOld) {
  LoadExampleDatabase();
  const int glass = DatabaseIndexOf("Glass window");
  ASSERT_GE(glass, 0);
  gProject.modified = 0;
  FaceList([&](DialogUser& user) {
    const Texts before = user.Items(101);
    // The audience floor (row 2) becomes glass.
    user.Choose(101, 1);
    Settle();
    dialogs_.On(kSelectMaterialDialog, [&](DialogUser& choice) { choice.DoubleClick(101, glass); });
    user.Press(102);
    Settle();
    EXPECT_EQ(user.Items(101)[1], "002\t  288.0\tGlass window");
    EXPECT_EQ(user.Items(101)[0], before[0]);
    EXPECT_EQ(user.Selection(101), 1);
    EXPECT_EQ(ProjectEntriesNamed("Audience floor"), 0);  // purged
    EXPECT_EQ(ProjectEntriesNamed("Glass window"), 1);
    EXPECT_NE(gProject.modified, 0);
    // Row 0, the ceiling, replaced by glass as well: the old name goes.
    user.Choose(101, 0);
    Settle();
    dialogs_.On(kSelectMaterialDialog, [&](DialogUser& choice) {
      choice.Choose(101, glass);
      choice.Press(110);
    });
    user.Press(103);
    Settle();
    EXPECT_EQ(user.Items(101)[0], "001\t  384.0\tGlass window");
    EXPECT_EQ(user.Selection(101), 0);
    EXPECT_EQ(ProjectEntriesNamed("Ceiling plasterboard"), 0);
    EXPECT_EQ(ProjectEntriesNamed("Glass window"), 1);
    EXPECT_EQ(user.Text(308), "672.0 m\xC2\xB2");
    user.Press(104);
  });
}

TEST_F(MaterialCommandsTest, AReadOnlyListHasNoMaterialButtons) {
  dialogs_.On(kFaceListDialog, [](DialogUser& user) {
    EXPECT_FALSE(user.IsVisible(102));
    EXPECT_FALSE(user.IsVisible(103));
    EXPECT_TRUE(user.IsVisible(105));
    user.Close();
  });
  uint16_t mark = 0;
  EXPECT_EQ(ShowFaceListDialog(gCalcFaceTable, mark, nullptr), 1);
  EXPECT_EQ(gFaceList.dialog, platform::Window::kNone);
}

TEST_F(MaterialCommandsTest, AListWithoutFacesDoesNotOpen) {
  FreeAllObjects();
  uint16_t mark = 0;
  EXPECT_EQ(ShowFaceListDialog(gCalcFaceTable, mark, nullptr), 0);
  EXPECT_EQ(std::count(dialogs_.opened().begin(), dialogs_.opened().end(), kFaceListDialog), 0);
}

// ---- Picking faces: Assign Material, Audience Areas on Room Faces ----

// Faces picked in the hall: with hidden faces on, a click into the plan
// view finds the ceiling alone and one into the front view one side wall
// alone (the room's faces turned to the viewer are not offered).
class FacePickTest : public MaterialCommandsTest {
 protected:
  using Step = std::function<void()>;
  void SetUp() override {
    MaterialCommandsTest::SetUp();
    gDrawing.hiddenFaces = 1;
    RedrawAllObjects();
  }
  static Step ClickOn(const ObjectVertex& p) {
    return [=] {
      const bool front = gView.mode == kViewXZ;
      platform::test::Click(DrawWindow->window, WorldToScreen(p.x, kAxisHorizontal),
                            WorldToScreen(front ? p.z : p.y, kAxisVertical));
    };
  }
  static Step Key(unsigned key) {
    return [=] { platform::test::KeyPress(key); };
  }
  // The room faces whose material is named `name`.
  static int FacesOf(const std::string& name) {
    int n = 0;
    for (const GraphicObject* o = gObjects.model.first; o; o = o->next)
      if (o->layer == kRoomLayer && o->kind == kKindFace && o->items[1].op == kOpAttribute &&
          gMaterials.project.records[o->items[1].index].name == name)
        ++n;
    return n;
  }
};

TEST_F(FacePickTest, AssignMaterialGivesEveryFacePickedTheMaterialUntilCancelled) {
  LoadExampleDatabase();
  const int glass = DatabaseIndexOf("Glass window");
  ASSERT_GE(glass, 0);
  gProject.modified = 0;
  dialogs_.On(kSelectMaterialDialog, [&](DialogUser& user) { user.DoubleClick(101, glass); });
  std::string prompt;
  RunSteps([&] { Command(kCmdAssignMaterial); },
           {ClickOn({15, 0, 9}), Key(platform::kKeyEnter),
            [&] {
              prompt = gDrawing.prompt;
              platform::test::KeyPress(platform::KeyF(3));  // the front view, while picking
            },
            ClickOn({15, 0, 5}), Key(platform::kKeyEnter), Key(platform::kKeyEscape)});
  EXPECT_EQ(prompt, "Assign Glass window > ");
  EXPECT_EQ(FacesOf("Glass window"), 2);
  EXPECT_EQ(FacesOf("Ceiling plasterboard"), 0);
  EXPECT_EQ(FacesOf("Wooden lining"), 1);
  EXPECT_EQ(ProjectEntriesNamed("Glass window"), 1);
  EXPECT_EQ(ProjectEntriesNamed("Ceiling plasterboard"), 0);  // purged
  EXPECT_NE(gProject.modified, 0);
  EXPECT_TRUE(gDrawing.prompt.empty());

  Command(kCmdUndo);
  EXPECT_EQ(FacesOf("Glass window"), 0);
  EXPECT_EQ(FacesOf("Ceiling plasterboard"), 1);
  EXPECT_EQ(FacesOf("Wooden lining"), 2);
  Command(kCmdRedo);
  EXPECT_EQ(FacesOf("Glass window"), 2);
  EXPECT_EQ(ProjectEntriesNamed("Glass window"), 1);
}

// Cancelled before a face took the material, Assign Material leaves the
// materials as they were: the chosen one is not left behind and no stored
// entry is purged.
TEST_F(FacePickTest, AssignMaterialGivingNoFaceTheMaterialChangesNoMaterial) {
  LoadExampleDatabase();
  const int glass = DatabaseIndexOf("Glass window");
  ASSERT_GE(glass, 0);
  MaterialTable& project = gMaterials.project;
  project.records[size_t(project.count++)].name = "Spare";  // stored, named by no face
  const MaterialTable before = project;
  gProject.modified = 0;
  dialogs_.On(kSelectMaterialDialog, [&](DialogUser& user) { user.DoubleClick(101, glass); });
  RunSteps([&] { Command(kCmdAssignMaterial); }, {Key(platform::kKeyEscape)});
  EXPECT_EQ(project, before);
  EXPECT_EQ(gProject.modified, 0);
}

TEST_F(FacePickTest, AudienceAreasTakeTheHeightAndCopyThePickedFaceRaised) {
  const int areas = CountOnLayer(kAudienceLayer);
  MessageRecorder messages;
  // 10.01 m is refused before anything is picked.
  dialogs_.On("DIALOG_3", [](DialogUser& user) {
    EXPECT_EQ(user.Caption(), "Height above room-face ( 0.0 .. 10.0 )");
    user.Type(105, "10,01");
    user.Press(102);
  });
  Command(kCmdAudienceOnFaces);
  EXPECT_EQ(messages.texts(), Texts{"Invalid entry !"});
  EXPECT_EQ(CountOnLayer(kAudienceLayer), areas);

  // 10 m is taken; the ceiling, "0 3 1 1 2", is copied 10 m up.
  gProject.modified = 0;
  dialogs_.On("DIALOG_3", [](DialogUser& user) {
    user.Type(105, "10.0");
    user.Press(102);
  });
  RunSteps([&] { Command(kCmdAudienceOnFaces); },
           {ClickOn({15, 0, 9}), Key(platform::kKeyEnter), Key(platform::kKeyEscape)});
  EXPECT_EQ(messages.texts().size(), 1u);
  ASSERT_EQ(CountOnLayer(kAudienceLayer), areas + 1);
  const GraphicObject* area = gObjects.model.first;
  ASSERT_EQ(area->layer, uint32_t(kAudienceLayer));
  EXPECT_EQ(area->kind, 8u);
  EXPECT_EQ(area->colour, 21u);
  EXPECT_EQ(area->vertexCount, 4u);
  ASSERT_EQ(area->itemCount, 5u);
  EXPECT_EQ(area->items[1].op, kOpAttribute);
  EXPECT_EQ(area->items[1].index, 0u);
  for (uint32_t i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(area->vertices[i].z, 19) << i;
  EXPECT_NE(gProject.modified, 0);

  // In feet the height is typed in feet: 3.28084 ft raise by 1 m.
  gUnitFlag = 1;
  dialogs_.On("DIALOG_3", [](DialogUser& user) {
    user.Type(105, "3.28084");
    user.Press(102);
  });
  RunSteps([&] { Command(kCmdAudienceOnFaces); },
           {ClickOn({15, 0, 9}), Key(platform::kKeyEnter), Key(platform::kKeyEscape)});
  ASSERT_EQ(CountOnLayer(kAudienceLayer), areas + 2);
  EXPECT_NEAR(gObjects.model.first->vertices[0].z, 10, 1e-4);
}

// ---- The printed summary ----

// 73 faces print on two portrait pages, the second with one face and the
// totals; the PDF's pages are the images a recording printer of the same
// size draws, with their texts as text.
TEST_F(MaterialCommandsTest, PrintClosesTheListAndPrintsTheSummary) {
  FreeAllObjects();
  for (int i = 0; i < 73; ++i) AddObject({RectangleXY(0, 0, 1 + 0.1f * float(i), 1)});
  const std::string pdf = Path("faces.pdf");
  platform::test::PrintDialogScript script;
  script.PrintToPdf(pdf, 300);
  FaceList([](DialogUser& user) { user.Press(105); });
  ASSERT_EQ(script.presets().size(), 1u);
  EXPECT_FALSE(script.presets()[0].landscape);
  const PrintSettings printer = *GetPrintSettings();
  ASSERT_LT(printer.horizontalResolution, printer.verticalResolution);

  platform::test::RecordingPrinter recording;
  recording.caps.widthPixels = printer.horizontalResolution;
  recording.caps.heightPixels = printer.verticalResolution;
  recording.caps.colours = 2;
  script.Record(recording);
  FaceList([](DialogUser& user) { user.Press(105); });
  ASSERT_EQ(script.documents().size(), 1u);
  const auto& recorded = script.documents()[0].pages;
  const std::vector<ListingPage> layout =
      LayOutFaceSummary(gCalcFaceTable, gMaterials.project, printer.horizontalResolution);
  ASSERT_EQ(recorded.size(), 2u);
  ASSERT_EQ(layout.size(), 2u);
  const auto texts = [](const platform::test::RecordedPage& page) {
    return std::count_if(page.operations.begin(), page.operations.end(), [](const auto& op) { return op.kind == 'T'; });
  };
  // The second page: its head, one face and the two rows of totals.
  EXPECT_EQ(texts(recorded[1]), std::ptrdiff_t(layout[1].texts.size()));
  EXPECT_EQ(layout[1].texts.size(), 1u + 17u + 17u + 2u + 8u);
  for (int page = 1; page <= 2; ++page) {
    platform::Bitmap image = PdfPageImage(pdf, page, 300);
    ASSERT_NE(image, platform::Bitmap::kNone) << page;
    int compared = 0;
    const platform::test::RecordedPage& drawn = recorded[size_t(page - 1)];
    EXPECT_EQ(InteriorMismatches(drawn.image, image, 0, 0, &compared, TextBoxes(drawn)), 0) << page;
    EXPECT_GT(compared, 3000000) << page;  // the page around its texts' rectangles
    EXPECT_EQ(PdfPageWords(pdf, page), ListingWords(layout[size_t(page - 1)])) << page;
  }
  EXPECT_EQ(PdfPageImage(pdf, 3, 300), platform::Bitmap::kNone);
  EXPECT_FALSE(IsPrinting());
}

}  // namespace
