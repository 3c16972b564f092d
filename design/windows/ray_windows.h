// The reflection window and the impulse-response ("ETC") window, which show
// the RayPath objects of a reflection-path search or a ray file, and which
// the user switches between until "<-" closes both.
//
// The reflection window is a 3D view of the model (it becomes the view
// window while it is open, so the view keys, scroll bars and mouse work as
// in the drawing window) in which the path scroll bar picks one path or all
// of them. The impulse-response window plots every path's level over its
// arrival time for one band or all (the band buttons), the
// backward-integrated decay of the arrivals, the read-outs Ld-Lr, RT 60 and
// Alcons, and the selected path's XOR marker with its details in a box
// beside it (over the plot, on a black ground), then the status strip again
// when it shows a text. "APF" stores
// an audio profile of the paths, "RTA" plays the WAV input through them at
// once. Both windows print ("PRINT") and copy ("COPY") themselves.
//
// The windows take what they show through a RayWindowContext and know no
// program's commands; the program routes its window procedure's messages
// through RouteRayWindowMessage while they are open. The controls are
// children of the main window, keyed by window here, so the path scroll bar
// and the switch button can share their id 20030.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "design/acoustics/reflection_search.h"
#include "design/acoustics/result_map.h"
#include "design/acoustics/reverberation.h"
#include "framework/base/drawing_layer.h"
#include "framework/core/sound_output.h"
#include "platform/messages.h"
#include "platform/types.h"

// Ids of the windows and controls.
constexpr int kRayChildWindowId = 10002;
constexpr int kPathScrollBarId = 20030;
constexpr int kSwitchButtonId = 20030;
constexpr int kRayPrintButtonId = 20031;
constexpr int kRayBackButtonId = 20032;
constexpr int kRayCopyButtonId = 20033;
constexpr int kProfileButtonId = 20034;    // "APF"
constexpr int kRealTimeButtonId = 20035;   // "RTA"
constexpr int kFirstBandButtonId = 20000;  // 20000 .. 20007: 125 Hz .. 8 kHz, all bands
constexpr int kPathScrollRange = 1000;

inline constexpr char kRayWindowFailedMessage[] = "Can\xB4t create Ray-window";
inline constexpr char kImpulseWindowFailedMessage[] = "Can\xB4t create ETC-window";

// ---- The arithmetic of the windows ----

// The path scroll bar's positions per path: 1000 / (paths - 1), and 1000
// for a single path, whose bar then stays at 0.
double PathScrollFactor(int paths);
// The selection after scroll `code` (platform::msg::kScroll...) with the
// thumb at `thumb` (0 .. 1000), of `paths` paths from `selection`; the
// reflection window also selects -1 (all paths), the impulse-response window
// only single paths.
int ScrollPathSelection(int selection, int paths, unsigned code, int thumb, bool impulseWindow);
// The bar's position for a selection (0 for -1).
int PathScrollPosition(int selection, int paths);

// The time axis of the plot: the first of 100, 200, ... 1000, 1500, 2000,
// 3000, ... 10000 ms above the latest arrival; from 10000 ms on the next
// whole 1000 ms above it.
float ImpulseTimeSpan(float latestArrival);
// The articulation loss in percent: 0.6406 T 10^(Lr / 10) / D with D =
// 10^(Ld / 10), or 1.0 when that is 1 or less; 100.0 from 100 on.
double AlconsPercent(double reverberationTime, double reverberantLevel, double earlyLevel);

// The frame and scales of the plot in a window of `width` x `height`.
struct ImpulsePlot {
  int left = 0, right = 0, top = 0, baseline = 0;
  double topLevel = 0;     // dB at the top, 10 x ceil(highest / 10)
  double pixelsPerDb = 0;  // 60 dB from the top to the baseline
  double span = 0;         // ms across
  double pixelsPerMs = 0;
  int LevelY(double db) const;  // may lie below the baseline
  int TimeX(double ms) const;
};
ImpulsePlot LayoutImpulsePlot(int width, int height, float highestLevel, float latestArrival);

// "Reflecting Faces : #3 #7 ": the faces of a path's reflections, numbered
// from 1, as long as the path needs.
std::string ReflectingFacesText(const GraphicObject* path);

// ---- The windows ----

struct RayWindowContext {
  RaySearchState* search = nullptr;  // its tables, mean free path and results
  DesignTables design;
  ReverbSettings reverb;     // the room's reverberation for the reverberant level
  std::string programTitle;  // above the plot
  std::string projectName;
  int band = kAllBands;                  // the band selection (0 .. 7); restored when the windows close
  SoundSystem* sound = nullptr;          // "RTA" plays through it; none: nothing is played
  std::function<void()> selectWavInput;  // "RTA" without a WAV input asks for one
  bool profileButton = true;             // the impulse-response window offers "APF"
};

// Links the paths of the design's model to its loudspeakers (which may
// delete some), sorts them by time and shows them (ShowRayPaths). 0 when no
// path is left.
int ShowRayResults(RayWindowContext& context);
// The windows on paths already linked and sorted: the impulse response
// computed, then the reflection window first, the impulse-response window
// after "ETC", back after "RAY", until "<-" or a window that cannot be
// made. 1 when the windows were shown.
int ShowRayPaths(RayWindowContext& context);

// The end of the search at a point the result window's user clicked, whose
// paths SearchPathsAtPoint left linked and sorted: the impulse response with
// each band's reverberant level replaced by its early level minus
// `mapLevel` (dB, what the map shows there), played at once as "RTA" plays
// it, then the paths deleted. 1 when it played.
int PlayPathsAtPoint(RayWindowContext& context, float mapLevel);

// Load Ray File behind its dialog: a ray file's paths join the model, are
// shown, and leave it again. 1 when shown.
int OpenRayFile(RayWindowContext& context);

// Whether the windows are open, and the message `kind` for `window` when it
// is theirs (the child window, a scroll of the path bar, a new size of the
// main window); false for any other, which the program handles as usual.
bool RayWindowsOpen();
bool RouteRayWindowMessage(platform::Window window, unsigned kind, platform::WParam wParam, platform::LParam lParam);

// The window state, for tests: which window is open, its child, controls and
// selection.
enum class RayWindowKind { kNone, kReflection, kImpulse };
struct RayWindowState {
  RayWindowKind open = RayWindowKind::kNone;
  RayWindowContext* context = nullptr;
  WindowRecord record;  // the child window
  WindowRecord* previousView = nullptr;
  int selection = -1;  // -1: all paths
  int paths = 0;
  GraphicObject* selected = nullptr;
  platform::Window scrollBar = platform::Window::kNone;
  platform::Window switchButton = platform::Window::kNone;
  platform::Window printButton = platform::Window::kNone;
  platform::Window copyButton = platform::Window::kNone;
  platform::Window backButton = platform::Window::kNone;
  std::array<platform::Window, 10> impulseButtons{};  // eight bands, "RTA", "APF"
  bool switchRequested = false;
  // The XOR marker of the selected path: shown, its column and its two ends;
  // the box of its details (both edges inside).
  bool markerShown = false;
  int markerX = 0, markerTop = 0, markerBottom = 0;
  platform::Rect details;
};
extern RayWindowState gRayWindows;
void ResetRayWindows();
