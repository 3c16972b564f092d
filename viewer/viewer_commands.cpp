#include "viewer/viewer_commands.h"

#include <array>

#include "design/acoustics/calc_faces.h"
#include "design/acoustics/reverberation.h"
#include "design/commands/calculation_windows.h"
#include "design/commands/command_ids.h"
#include "design/commands/project_open.h"
#include "design/commands/view_commands.h"
#include "design/model/design_tables.h"
#include "design/model/project.h"
#include "design/windows/face_list_window.h"
#include "design/windows/speaker_listing_window.h"
#include "framework/base/drawing_layer.h"
#include "framework/program/drawing_program.h"

namespace {

constexpr unsigned H = kWriteHistory;
// The listing and the face list: the last command, on their menu's layer.
constexpr unsigned R = kRepeatCommand;

// In ascending order of id, so that FindCommand can search it.
// clang-format off
constexpr CommandSpec kCommands[] = {
    // File
    {101, 0, {}}, {105, 0, {}},
    // Options
    {503, 0, {}}, {506, 0, {}}, {508, 0, {}}, {509, 0, {}}, {510, 0, {}}, {511, 0, {}}, {512, 0, {}},
    {513, 0, {}}, {514, 0, {}}, {516, H, {}}, {517, H, {}},
    // View
    {602, 0, {}}, {603, 0, {}}, {604, 0, {}}, {605, 0, {}}, {606, 0, {}}, {608, 0, {}},
    {610, 0, {}}, {611, 0, {}}, {612, 0, {}}, {613, 0, {}}, {614, 0, {}},
    // Loudspeakers, Room
    {kCmdSpeakerListing, R, ActiveLayerChoice{2, 27}}, {kCmdFaceList, R, ActiveLayerChoice{0, 0}},
    // Calculate
    {5010, 0, {}}, {5011, 0, {}}, {5012, 0, {}}, {5013, 0, {}}, {5021, 0, {}},
    {5101, 0, {}}, {5102, 0, {}}, {5103, 0, {}},
    // Help
    {kHelpCommand, 0, {}},
};
// clang-format on
static_assert(IdsAscend(kCommands), "the command table is searched by id");

// File, Room, Loudspeakers, View, Calculate, Options; Help stays.
constexpr int kGreyedMenus = 6;

constexpr CommandTable kViewerTable{kCommands, kGreyedMenus};

// Loudspeakers/Listing...: the listing without its type changes, which kv
// does not offer.
void CmdSpeakerListing() {
  SpeakerListingSetup setup;
  setup.design = ProjectTables();
  setup.owner = DrawWindow->window;
  setup.programTitle = kViewerTitle;
  setup.fileName = gProject.path;
  ShowSpeakerListing(setup);
}

// Room/Facelist: the list without its material changes.
void CmdFaceList() { ShowFaceListDialog(gCalcFaceTable, gProject.modified, nullptr); }

}  // namespace

const CommandTable& ViewerCommandTable() { return kViewerTable; }

void BindViewerCommands(CommandRegistry& r) {
  r.Bind(kCmdOpenProject, CmdOpenProject);
  r.Bind(kCmdExitProgram, ExitApplication);
  BindOptionCommands(r);
  BindViewCommands(r);
  r.Bind(kCmdSpeakerListing, CmdSpeakerListing);
  r.Bind(kCmdFaceList, CmdFaceList);
  r.Bind(kCmdRt60Sabine, [] { CmdRt60(kRt60Sabine); });
  r.Bind(kCmdRt60Eyring, [] { CmdRt60(kRt60Eyring); });
  r.Bind(kCmdRt60Fitzroy, [] { CmdRt60(kRt60Fitzroy); });
  // The measured times are shown as the project holds them: kv edits nothing.
  r.Bind(kCmdRt60Measurement, [] { CmdRt60(kRt60Measured); });
  r.Bind(kCmdLoadRayFile, CmdLoadRayFile);
  r.Bind(kCmdShowLastCalculation, CmdShowLastCalculation);
  r.Bind(kCmdSaveCalculation, CmdSaveCalculation);
  r.Bind(kCmdLoadCalculation, CmdLoadCalculation);
}
