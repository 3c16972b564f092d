// What the loudspeaker commands do to the model, without their prompts,
// picks and dialogs: adding, editing, moving, copying, mirroring, deleting,
// switching, aligning, delaying, aiming and equalising loudspeakers, and
// turning or tilting them as an array. The commands collect the picks and
// answers and hand them in; the dialogs come in as functions, so a test
// scripts them.
//
// Every operation works on the program's model (the object list, the
// loudspeaker types, the project) and on the loudspeaker objects it is
// given, in the order given: a snapshot of the selection taken before the
// operation starts (SelectedLoudspeakers), because rebuilding a symbol moves
// its object to the head of the model list, so a walk along the list would
// meet it again. Objects in the snapshot that are no loudspeakers are passed
// over (Delete excepted). An operation that changes a loudspeaker sets the
// project's modified mark to 65535; those that move, add, remove, aim or
// switch loudspeakers also rebuild the aim-line overlay (RefreshAimLines),
// the equaliser, the alignment and the delay do not. A symbol whose rebuild
// runs out of memory is freed with its loudspeaker ("Insufficient Memory"),
// so the snapshot is not to be used after an operation that rebuilds.
//
// The loudspeaker limit is one rule for every operation that adds: the
// loudspeakers after it may number at most 5000, else "Maximum amount of
// speakers is 5000" ("Sorry!") and nothing is added.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "design/model/equalizer.h"
#include "design/model/loudspeaker.h"
#include "design/model/speaker_database_index.h"
#include "framework/core/perspective.h"
#include "framework/model/graphic_object.h"

// The mark an operation leaves on the project.
constexpr uint16_t kSpeakerChangedMark = 65535;

// The question of the equaliser command for more than one loudspeaker
// (Yes, No and Cancel under "Warning"): Yes is the common equalisation.
inline constexpr char kCommonEqualizerQuestion[] = "Multiple speakers selected.Set common equalization ?";
inline constexpr char kCommonEqualizerCaption[] = "Warning";

// ---- The selection and the limits ----

// The selected loudspeakers of the model list, in list order.
std::vector<GraphicObject*> SelectedLoudspeakers();
// Every selected object of the model list, in list order (what Delete takes).
std::vector<GraphicObject*> SelectedObjects();

// Whether `adding` more loudspeakers stay within the limit; otherwise false
// after the limit message.
bool CheckSpeakerLimit(uint32_t adding);
// Whether copies of `sources` fit: within the limit (its message otherwise)
// and, their packed sizes summed, within GetAvailableMemory ("Insufficient
// Memory" otherwise). Copy and Mirror check this before their base point and
// again for every pass.
bool CheckSpeakerCopies(std::span<GraphicObject* const> sources);

// The number typed into an array's angle input (ReadTypedNumber,
// text_lines.h); none, after "Invalid entry !", when the text is no number.
// The command then changes nothing.
std::optional<double> ReadSpeakerEntry(std::string_view text);
// The same for the delay input, which also refuses a delay outside 0 ..
// kMaxTypedDelay.
std::optional<double> ReadSpeakerDelay(std::string_view text);

// ---- Placing and editing ----

// The edit dialog on one loudspeaker and its type name: 1 on OK with both
// edited in place, 0 on Cancel.
using EditSpeakerDialog = std::function<int(Loudspeaker& speaker, std::string& typeName)>;

// A new loudspeaker at `position` (set up the loudspeaker model first when
// it is not): within the limit, the dialog runs on its values as created
// and an empty type name; only on OK with a type that UseSpeakerType finds
// in the project or loads from `index` is it placed: its band powers
// computed, its symbol built at the head of the list. Its object, or null
// when the limit, Cancel or the type (after UseSpeakerType's message) stop
// it, and the list is as it was.
GraphicObject* AddLoudspeaker(const ObjectVertex& position, const SpeakerDatabaseIndex& index,
                              const EditSpeakerDialog& dialog);

// The dialog on each loudspeaker in turn, with its type's name. OK: a new
// type name that UseSpeakerType refuses keeps the old type; the band powers
// are recomputed and the symbol rebuilt. Cancel leaves it. When any was
// changed: the aim lines and the purge of unused types. How many changed.
int EditLoudspeakers(std::span<GraphicObject* const> speakers, const SpeakerDatabaseIndex& index,
                     const EditSpeakerDialog& dialog);

// Each loudspeaker's position moved by `offset` and its symbol rebuilt
// there, whatever the move preview did to its vertices.
void MoveLoudspeakers(std::span<GraphicObject* const> speakers, const ObjectVertex& offset);

// One pass of Copy: a copy of each source loudspeaker, its block with empty
// name and group and its position moved by `offset`, its symbol built
// there; the copies stand at the head of the list in the sources' order.
// The copies, none when CheckSpeakerCopies refuses.
std::vector<GraphicObject*> CopyLoudspeakers(std::span<GraphicObject* const> sources, const ObjectVertex& offset);

// The plane a view mirrors in: the plan and the rotated 3D view in XY, the
// side view in YZ, the front view in XZ; the perspective view in none.
enum class MirrorPlane { kXY, kYZ, kXZ, kNone };
MirrorPlane MirrorPlaneOfView(int viewMode);
// A point reflected across the line through `base` with the direction
// `point` - `base` in `plane`; none when that direction, projected into the
// plane, has a squared length of 1e-6 or less, or the plane is none.
std::optional<ObjectVertex> MirrorPoint(const ObjectVertex& p, const ObjectVertex& base, const ObjectVertex& point,
                                        MirrorPlane plane);
// Mirror: a copy of each source loudspeaker with empty name and group, its
// symbol and position reflected by MirrorPoint, its angles read back from
// the mirrored symbol and its faces turned round so they face outwards
// again. Where MirrorPoint gives none the copy is an unmirrored duplicate.
// The copies stand at the head of the list in the sources' order; none
// when CheckSpeakerCopies refuses.
std::vector<GraphicObject*> MirrorLoudspeakers(std::span<GraphicObject* const> sources, const ObjectVertex& base,
                                               const ObjectVertex& point, MirrorPlane plane);

// Frees every object given, loudspeaker or not, then purges the types no
// loudspeaker uses any more.
void DeleteLoudspeakers(std::span<GraphicObject* const> objects);

// On: `on` 1, the switched-on colour, the band powers recomputed. Off: `on`
// 0 and the switched-off colour; the calculations pass it over.
void SwitchLoudspeakers(std::span<GraphicObject* const> speakers, bool on);

// ---- Delay and aim ----

// Delays so that the sound of all arrives at `reference` together: each
// gets (t_max - t) x 1000 ms, t its distance / 343 m/s, t_max the largest.
void AlignLoudspeakers(std::span<GraphicObject* const> speakers, const ObjectVertex& reference);
void SetLoudspeakerDelay(std::span<GraphicObject* const> speakers, double delayMs);

// The aim of a loudspeaker at `position` at `target`: the azimuth by
// atan2 when |dx| > 0.001, else +pi/2 (dy >= 0) or -pi/2; the elevation
// atan2(dz, horizontal distance + 1e-9).
AxisAngles AimAtTarget(const std::array<float, 3>& position, const ObjectVertex& target);
// Each loudspeaker aimed at `target` (its rotation kept), its symbol rebuilt.
void AimLoudspeakersAtTarget(std::span<GraphicObject* const> speakers, const ObjectVertex& target);
// The loudspeaker aimed along the axis of the perspective view `view` looks
// along, its symbol rebuilt (the aim lines are the command's, at its end).
void AimLoudspeakerByPerspective(GraphicObject* speaker, const PerspectiveAngles& view);

// ---- The equaliser (its total check is AcceptEqGains, equalizer.h) ----

// What the common equalisation starts from: the largest gain of the
// loudspeakers per band (-1000 for none) and the largest of those. The
// dialog shows the bands offset by their negatives, so that it starts at 0
// everywhere.
struct CommonEqualizerStart {
  EqualizerBands bandMax{};
  double overallMax = 0;
};
CommonEqualizerStart StartCommonEqualizer(std::span<GraphicObject* const> speakers);
// One loudspeaker takes `gains`: 1; 0, keeping its old gains, when
// AcceptEqGains refuses them (their total exceeds 0 dB; it shows why).
int ApplySpeakerEqualizer(GraphicObject* speaker, const EqualizerBands& gains);
// Every loudspeaker's gains moved by what the dialog changed (`edited` -
// `start.bandMax` per band): 1; 0 with no loudspeaker changed when
// AcceptEqGains refuses the new gains of any of them.
int ApplyCommonEqualizer(std::span<GraphicObject* const> speakers, const CommonEqualizerStart& start,
                         const EqualizerBands& edited);

// ---- Arrays ----

// Axes of RotateSpeakerAboutPoint.
enum SpeakerTurnAxis : int { kTurnAboutX = 1, kTurnAboutY = 2, kTurnAboutZ = 3 };
// A point turned about `base` by `angle`: about x from y toward z, about y
// from x toward z, about z counter-clockwise seen from +z.
ObjectVertex RotatePointAboutAxis(const ObjectVertex& p, double angle, const ObjectVertex& base, int axis);
// The loudspeaker's position turned so; its angles stay.
void RotateSpeakerAboutPoint(Loudspeaker& speaker, double angle, const ObjectVertex& base, int axis);
// An angle brought into -pi .. pi, however many turns it holds.
double WrapSpeakerAngle(double angle);

// Turn array: every loudspeaker and its symbol turned about the vertical
// line through `base` by `degrees`, its azimuth turned with it.
void TurnLoudspeakerArray(std::span<GraphicObject* const> speakers, const ObjectVertex& base, double degrees);
// Tilt array: every loudspeaker turned by `degrees` about the level line
// through `base` across its own azimuth, its elevation raised by as much,
// its symbol rebuilt.
void TiltLoudspeakerArray(std::span<GraphicObject* const> speakers, const ObjectVertex& base, double degrees);
