#include "design/shell/core/command_table.h"

#include <array>

namespace {

struct Entry {
  int id;
  unsigned flags;
};

constexpr unsigned S = kSnapshotFirst, H = kWriteHistory, P = kPurgeMaterials;

// In ascending order of id, so that FindCommand can search it.
// clang-format off
constexpr Entry kEntries[] = {
    // File
    {101, H}, {102, H}, {103, 0}, {104, 0}, {105, 0},
    {110, H}, {111, H}, {112, H}, {113, H},
    {120, S}, {121, 0}, {122, S}, {123, 0}, {124, S}, {125, 0}, {126, S}, {127, 0},
    // Edit
    {201, 0}, {202, 0}, {210, 0},
    // Options
    {503, 0}, {506, 0}, {507, 0}, {508, 0}, {509, 0}, {510, 0}, {511, 0}, {512, 0}, {513, 0}, {514, 0},
    {516, H}, {517, H},
    // View
    {602, 0}, {603, 0}, {604, 0}, {605, 0}, {606, 0}, {608, 0},
    {610, 0}, {611, 0}, {612, 0}, {613, 0}, {614, 0}, {615, 0},
    // Loudspeakers
    {1002, S}, {1003, S}, {1004, S}, {1005, S}, {1006, S}, {1007, S}, {1008, S}, {1009, S}, {1010, S},
    {1011, S}, {1012, S}, {1013, S}, {1014, S}, {1015, S}, {1016, 0}, {1017, S}, {1018, S}, {1019, S},
    {1020, S}, {1021, H},
    // Room
    {2201, S}, {2202, S}, {2203, S}, {2204, S}, {2206, S},
    {2301, S | P}, {2302, S}, {2303, S}, {2304, S}, {2305, S}, {2306, S}, {2307, S}, {2308, S}, {2309, S},
    {2310, S}, {2311, S}, {2312, S}, {2313, S}, {2314, S}, {2315, S | P}, {2319, S}, {2320, S},
    {2501, S}, {2502, S}, {2601, S}, {2801, H}, {2802, 0}, {2803, S},
    // Audience Areas
    {3202, S}, {3203, S}, {3204, S},
    {3301, S | P}, {3302, S}, {3303, S}, {3304, S}, {3305, S}, {3306, S}, {3311, S},
    // AUX Drawing
    {4201, S}, {4202, S}, {4203, S}, {4204, S}, {4205, S}, {4206, S},
    {4301, S | P}, {4302, S}, {4303, S}, {4304, S}, {4305, S}, {4306, S}, {4307, S}, {4308, S}, {4309, S},
    {4310, S}, {4311, S}, {4312, S}, {4313, S}, {4314, S}, {4315, S | P},
    // Calculate
    {5001, 0}, {5010, 0}, {5011, 0}, {5012, 0}, {5013, 0}, {5020, 0}, {5021, 0},
    {5030, 0}, {5031, 0}, {5032, 0}, {5033, 0}, {5034, 0},
    {5101, 0}, {5102, 0}, {5103, 0},
    // Help
    {11111, 0},
};
// clang-format on

constexpr bool IsDrawingMenuCommand(int id) { return id >= 1000 && id <= 4999; }

// The layer and colour of the drawing menu of `id`.
constexpr ActiveLayerChoice MenuLayer(int id) {
  switch (id / 1000) {
    case 1: return {2, 27};
    case 2: return {0, 0};
    case 3: return {1, 21};
    default: return {7, 14};
  }
}

// An entry with what its menu adds to it.
constexpr CommandSpec WithMenu(const Entry& entry) {
  CommandSpec spec{entry.id, entry.flags, std::nullopt};
  if (!IsDrawingMenuCommand(entry.id)) return spec;
  spec.flags |= kRepeatCommand;
  if (entry.id != kCmdSpeakerListing && entry.id != kCmdFaceList) spec.flags |= kCommandButtons;
  spec.layer = MenuLayer(entry.id);
  return spec;
}

constexpr auto kCommands = [] {
  std::array<CommandSpec, std::size(kEntries)> commands{};
  for (size_t i = 0; i < commands.size(); ++i) commands[i] = WithMenu(kEntries[i]);
  return commands;
}();
static_assert(IdsAscend(kCommands), "the command table is searched by id");

// File .. Calculate; Help stays.
constexpr int kGreyedMenus = 9;

constexpr CommandTable kDesignTable{kCommands, kGreyedMenus};

}  // namespace

const CommandTable& DesignCommandTable() { return kDesignTable; }
