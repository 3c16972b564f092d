// The receiver-point engine: what arrives at one point in space from every
// switched-on loudspeaker, per octave band. For a receiver point it collects
// the direct sound of each active loudspeaker (optionally only when no room
// face shades it) and each first-order reflection off the room faces (image
// method, weighted by the face material) as arrivals with a time and an
// energy, and folds each band's arrivals into one band result by the chosen
// phase relations.
//
// Before a calculation the switched-on loudspeakers are collected once into
// an ActiveSpeakerTable, so that the work per point walks no object list and
// does no aiming trigonometry. All working state of a point lives in a
// ReceiverContext that the caller owns and passes in, and everything the
// engine reads (the active loudspeakers with their types, the calculation
// faces and their index, the materials) is named by the context:
// independent contexts compute points side by side over the same read-only
// tables. With a FaceIndex the engine tests only the faces it names, which
// gives the same arrivals in the same order as testing every face.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "design/acoustics/calc_faces.h"
#include "design/acoustics/face_index.h"
#include "design/model/absorber_database.h"
#include "design/model/loudspeaker.h"
#include "design/model/speaker_type.h"

// ---- Constants ----

// Fraction of energy left after one metre of air, per band (raised to the
// path length).
inline constexpr std::array<double, kBandCount> AirTransmissionTable = {1.0,   0.99997, 0.9999, 0.9995,
                                                                        0.998, 0.991,   0.965};
// Band centre frequencies as angular frequencies, rad/s.
inline constexpr std::array<double, kBandCount> BandAngularFrequencies = {785.4,   1570.8,  3141.6, 6283.2,
                                                                          12566.4, 25132.7, 50265.5};
constexpr double kSpeedOfSound = 343.0;  // m/s

// Closer than this (m) the distance law 1 / d^2 stops at kNearFieldFactor.
constexpr double kNearField = 0.01;
constexpr double kNearFieldFactor = 100.0;  // 1 / kNearField^2

// A band counts as played by a loudspeaker when |intensity| exceeds this.
constexpr float kActiveBandIntensity = 1000.0f;
// An aiming angle is turned only when its magnitude exceeds this (rad).
constexpr float kTurnedAngle = 0.01f;

// The time of "no arrival" in a band, s; also the value of a placeholder.
constexpr float kNoArrivalTime = 10000.0f;
constexpr float kPlaceholderValue = 0.001f;

// The arrivals combined into a band result end this long after the band's
// first arrival, s.
constexpr double kCombineWindow = 0.036;
// A later arrival becomes the first arrival when it is more than this many
// times stronger than the one before it (12.5 dB).
constexpr double kPrecedenceFactor = 17.782;

// Squared path limits of first reflections, m^2: with the direct sound
// unshaded d^2 plus this, else the open limit.
constexpr double kReflectionPathMargin = 144.0;
constexpr double kOpenReflectionPathLimit = 1.0e8;

// ---- The active loudspeakers ----

constexpr int kMaxActiveSpeakers = kMaxLoudspeakers;

// The calculation entry of one switched-on loudspeaker with at least one
// played band. A sine and cosine pair is meaningful only when its flag is 1.
struct ActiveSpeaker {
  Loudspeaker speaker;                // its decoded block; speaker.object is the placed object
  const SpeakerType* type = nullptr;  // its type in the project
  uint16_t rotationTurned = 0;        // 1 when |rotation| > kTurnedAngle
  uint16_t verticalTurned = 0;
  uint16_t horizontalTurned = 0;
  uint16_t bandMask = 0;  // bit b set when band b is played
  float sinRotation = 0, cosRotation = 1;
  float sinVertical = 0, cosVertical = 1;
  float sinHorizontal = 0, cosHorizontal = 1;
};

// Words 0 to 6: active loudspeakers per band; word 7: 1 when any of words 1
// to 5 (250 Hz to 4 kHz) is non-zero. Map files store the eight words.
struct BandSpeakerCounts {
  std::array<uint16_t, 8> words{};
};

struct ActiveSpeakerTable {
  std::vector<ActiveSpeaker> entries;  // at most kMaxActiveSpeakers
  BandSpeakerCounts counts;
  int Count() const { return int(entries.size()); }
};

// The bands a loudspeaker plays in a calculation: bit b when |intensity b|
// exceeds kActiveBandIntensity.
uint16_t CalculationBandMask(const Loudspeaker& speaker);

// Appends the entry of `speaker` playing the bands of `bandMask` and counts
// them. False, with nothing added, when the mask is 0, the type index names
// no type of `types` or the table is full. The entry points into `types`.
bool AddActiveSpeaker(ActiveSpeakerTable& table, const Loudspeaker& speaker, uint16_t bandMask,
                      const SpeakerTypeTable& types);

// Rebuilds `table` from the switched-on loudspeakers of `model`, in list
// order, each with its CalculationBandMask. Returns the entry count.
int PrepareActiveSpeakers(ActiveSpeakerTable& table, const ObjectList& model, const SpeakerTypeTable& types);

// The loudspeaker's position, its acoustic centre.
Vec3d SpeakerPosition(const ActiveSpeaker& entry);

// `local` (a vector from the loudspeaker) turned into the loudspeaker's frame:
// back by the horizontal, then the vertical, then the rotation angle, each
// only when turned. The loudspeaker's axis is the local +x direction, its up
// direction local +z.
Vec3d TurnIntoSpeakerFrame(const ActiveSpeaker& entry, Vec3d local);

// ---- The balloon lookup ----

// Radians to balloon rows (180 / pi / 5), as the rows are read.
constexpr double kBalloonStepsPerRadian = 11.4592;

// The four balloon cells a direction reads and their weights.
struct BalloonPosition {
  int row = 0, secondRow = 0;        // 0 .. 36 (polar angle in 5-degree steps)
  float rowFraction = 0;             // weight of the second row
  int column = 0, secondColumn = 0;  // 0 .. 71 (azimuth about the axis in 5-degree steps)
  float columnFraction = 0;          // weight of the second column
};

// Rows from the polar position (the angle off the axis in 5-degree steps, at
// most 36): the row below and the one above; from row `halfRow` on, the row
// below and row `halfRow` at half weight. The engine reads with halfRow 36
// (row 36 alone, twice, at 180 degrees), the reflection paths with 35.
void LocateBalloonRow(double polarSteps, BalloonPosition& at, int halfRow = kBalloonRows - 1);
// Columns from the direction's local y and z: the azimuth from +y towards +z,
// between the column below and the next one (71 wraps to 0). A direction with
// |y| of 0.001 or less reads column 18 (z >= 0) or 54 (z < 0), half weighted.
void LocateBalloonColumn(double y, double z, BalloonPosition& at);
// The balloon's energy factor at `at` in `band`: the four cells' factors
// interpolated linearly.
double InterpolateBalloon(const SpeakerType& type, int band, const BalloonPosition& at);

// ---- One receiver point ----

enum class PhaseRelations : int {
  kEnergy = 1,           // arrivals add as energy
  kOctaveBandwidth = 2,  // add with phase at 0.8, 1 and 1.25 times the band centre, averaged
  kSingleFrequency = 3,  // add with phase at the band centre
};

// The calculation options the engine reads; the caller maps its own.
struct ReceiverOptions {
  bool shading = false;           // the direct sound and reflections only where no face blocks them
  bool firstReflections = false;  // add the first-order reflections off the room faces
  PhaseRelations phase = PhaseRelations::kOctaveBandwidth;
};

// The arrivals of one band. Arrival i is the same path in every band; in a
// band its loudspeaker does not play it is a placeholder (kPlaceholderValue
// at kNoArrivalTime, real 0) that takes no part in the band's results.
struct BandEchogram {
  std::vector<float> times;             // s, delay included
  std::vector<float> values;            // polarity x energy
  std::vector<uint8_t> real;            // 1 for an arrival the band plays
  float firstArrival = kNoArrivalTime;  // s
  float bandResult = 0;                 // 1.0 + the combined arrivals of the window
  uint32_t firstIndex = 0;
};

// Arrival lists start with room for this many arrivals of a point and grow
// (kept from point to point) up to kMaxArrivals.
constexpr uint32_t kInitialArrivals = 2048;
constexpr uint32_t kMaxArrivals = 1u << 20;

// The faces a shading test of a segment needs to visit: a run of a list,
// or (walk) those the index finds along the segment.
struct SegmentFaces {
  bool ready = false;  // filled
  bool walk = false;
  uint32_t first = 0, count = 0;  // the run in ReceiverBlock::listed
};

// A box that the next receivers lie in (neighbouring grid points), and per
// active loudspeaker the faces that may reflect its sound to some point of
// the box, which are all a point of the box needs to test; and for the
// shading tests the faces that the segments of the box's paths can cross
// (filled when first needed).
struct ReceiverBlock {
  bool active = false;
  Bounds box;
  std::vector<std::vector<uint32_t>> reflectors;  // per loudspeaker of the table, in increasing order
  // Per loudspeaker: 1 when asking the plane groups at each point costs less
  // than testing its reflectors.
  std::vector<uint8_t> askGroups;
  std::vector<SegmentFaces> direct;  // per loudspeaker: from it to a point of the box
  // Per loudspeaker and reflector: from the reflection point to the
  // loudspeaker and to a point of the box.
  std::vector<std::vector<std::array<SegmentFaces, 2>>> legs;
  std::vector<uint32_t> listed;
  std::vector<uint32_t> scratch;
  bool Holds(Vec3d p) const {
    const Vec3d &low = box.low, &high = box.high;
    return p.x >= low.x && p.x <= high.x && p.y >= low.y && p.y <= high.y && p.z >= low.z && p.z <= high.z;
  }
};

// The working state of the engine for one point at a time.
struct ReceiverContext {
  ReceiverContext();
  // The memory the context holds, bytes (it keeps what its lists grew to).
  size_t MemoryBytes() const;

  // Set by the caller before the first point.
  const ActiveSpeakerTable* speakers = nullptr;
  const CalcFaceTable* faces = nullptr;      // needed for shading and reflections
  const FaceIndex* index = nullptr;          // over the faces; none: every face is tested
  const MaterialTable* materials = nullptr;  // the faces' materials, needed for reflections
  ReceiverOptions options;
  // The coherent sums take one complex phase per arrival and form the band
  // phases from it by products; false: a sine and cosine per band and
  // frequency (the reference).
  bool onePhase = true;

  // Working values of the point.
  const ActiveSpeaker* current = nullptr;             // the loudspeaker being heard
  CalcRay ray;                                        // the segment under test
  double pathLimit = kOpenReflectionPathLimit;        // squared, m^2
  std::array<float, kBandCount> reflectionWeights{};  // 1 - alpha of the reflecting face
  uint32_t arrivalCount = 0;
  std::array<BandEchogram, kBandCount> bands;
  std::vector<float> arrivalTimes;        // of each arrival, s: the time every band it plays holds
  std::vector<uint32_t> timeOrder;        // the arrivals by time, for the first-arrival rule
  std::vector<uint32_t> reflectingFaces;  // the faces the index names for a loudspeaker
  ReceiverBlock block;
};

// Narrows the faces the points computed next test, for the points that lie
// in the box from `low` to `high`, until the next call or
// ClearReceiverBlock: per loudspeaker, the reflecting faces to those the
// index names for the box (FaceIndex::CollectBoxReflectingFaces), and the
// faces a shading test visits to those that the segments of the box's
// paths can cross (FaceIndex::CollectFacesBetween). A point outside the box
// is computed as without it. Does nothing without an index over the faces,
// or without reflections and shading.
void SetReceiverBlock(ReceiverContext& context, Vec3d low, Vec3d high);
void ClearReceiverBlock(ReceiverContext& context);

// Fills the context's seven band echograms for the receiver `point` and
// leaves each band's result in bandResult, its first-arrival time in
// firstArrival and that arrival's index in firstIndex. A band with no arrival
// gets 1.0 at kNoArrivalTime. The context's speakers must be set, and its
// faces for shading and reflections (without faces there are neither), and
// its materials for reflections.
void CalcPointEchogram(ReceiverContext& context, Vec3d point);

// Appends one arrival of the current loudspeaker heard at `x` (the receiver
// for the direct sound, the mirrored receiver for a reflection, whose energy
// is weighted by the reflection weights) to all seven bands. Returns the
// squared distance from the loudspeaker. An arrival at a time that is not
// finite, or one the lists have no room for (kMaxArrivals), is not added.
double AddSpeakerArrival(ReceiverContext& context, Vec3d x, bool reflection);

// 1 when the current loudspeaker's sound reaches `receiver` by a first-order
// reflection off `face`, leaving the mirrored receiver in `mirrored`; else 0.
// The path must be within the path limit, loudspeaker and receiver must lie
// on the same side of the face, the reflection point inside the face and,
// with shading, no other face between the loudspeaker and the reflection
// point or between the reflection point and the receiver.
int MirrorReceiverInFace(ReceiverContext& context, Vec3d receiver, const CalcFace& face, Vec3d& mirrored);

// Folds each band's arrivals into its result. The first arrival is found in
// time order: the earliest one, replaced by any later one more than
// kPrecedenceFactor times stronger than the arrival it replaces. The arrivals
// before the first arrival + kCombineWindow take part:
// Energy: 1 + sum e; Single Frequency: 1 + |sum k sqrt(e) exp(j w t)|^2;
// Octave Bandwidth: the same averaged over 0.8 w, w and 1.25 w. With
// context.onePhase the phases exp(j w t) of an arrival are products of one
// complex phase: the lowest band's at a twentieth of its centre, raised to
// the 16th, 20th and 25th power for 0.8, 1 and 1.25 times the centre, each
// band's the square of the band's below times the phase of the amount by
// which its centre is not twice that one's.
void CombineBandEchograms(ReceiverContext& context);

// ---- The program's engine ----

struct ReceiverEngineState {
  ActiveSpeakerTable activeSpeakers;
  FaceIndex faceIndex;  // over gCalcFaceTable as the last level map built it, when it used one
  ReceiverContext context;
};
extern ReceiverEngineState gReceiverEngine;

// Empties the active-loudspeaker table and its band counts and the face
// index, and clears the program context's echograms and options.
void ResetReceiverEngine();
