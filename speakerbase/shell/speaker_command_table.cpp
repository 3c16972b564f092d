#include "speakerbase/shell/speaker_command_table.h"

#include <array>

namespace {

struct Entry {
  int id;
  unsigned flags;
};

constexpr unsigned S = kSnapshotFirst;

// In ascending order of id, so that FindCommand can search it.
// clang-format off
constexpr Entry kEntries[] = {
    // Drawing menu: File, Edit, Options, View
    {101, 0}, {102, 0}, {103, 0}, {104, 0}, {105, 0},
    {201, 0}, {210, 0},
    {503, 0}, {506, 0}, {508, 0}, {509, 0}, {510, 0}, {511, 0}, {512, 0}, {513, 0}, {514, 0},
    {602, 0}, {603, 0}, {604, 0}, {605, 0}, {606, 0}, {607, 0}, {614, 0},
    // Drawing menu: the figures, Merge Drawing, the edit and face commands, the text
    {2201, S}, {2202, S}, {2203, S}, {2204, S}, {2206, S},
    {2301, S}, {2302, S}, {2303, S}, {2304, S}, {2305, S}, {2306, S}, {2307, S}, {2308, S}, {2309, S},
    {2310, S}, {2311, S}, {2312, S}, {2313, S}, {2314, S}, {2315, S},
    {4205, S},
    // Database menu
    {6001, 0}, {6002, 0}, {6003, 0}, {6004, 0},
    {6104, 0}, {6105, 0}, {6106, 0}, {6107, 0}, {6108, 0}, {6109, 0}, {6110, 0},
    {6111, 0}, {6112, 0}, {6113, 0}, {6114, 0}, {6115, 0},
    {6201, 0}, {6202, 0}, {6203, 0},
    {6301, 0}, {6302, 0},
};
// clang-format on

constexpr bool IsDrawingCommand(int id) { return id >= 1000 && id <= 4999; }

constexpr CommandSpec WithMenu(const Entry& entry) {
  CommandSpec spec{entry.id, entry.flags, std::nullopt};
  if (IsDrawingCommand(entry.id)) spec.flags |= kCommandButtons | kRepeatCommand;
  return spec;
}

constexpr auto kCommands = [] {
  std::array<CommandSpec, std::size(kEntries)> commands{};
  for (size_t i = 0; i < commands.size(); ++i) commands[i] = WithMenu(kEntries[i]);
  return commands;
}();
static_assert(IdsAscend(kCommands), "the command table is searched by id");

// The dispatch greys at most as many popups as the menu shown has: all six
// of the drawing menu, all four of the database menu.
constexpr CommandTable kSpeakerEditorTable{kCommands, kDrawingMenuPopups};

}  // namespace

const CommandTable& SpeakerEditorCommandTable() { return kSpeakerEditorTable; }
