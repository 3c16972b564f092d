// The impulse response of the reflection windows: from the linked RayPath
// objects of a search (sorted by time), the arrival and level figures of
// RayResults and the per-band histograms of the arrivals that the
// impulse-response window draws with its backward-integrated decay.
//
// Per band b, with x_b a path's linear band level and L_b = 10 log10(max(x_b,
// 1)) dB:
// - the first arrival is the earliest path within 60 dB of the highest level;
// - the direct level the strongest L_b arriving less than 5 ms after it;
// - Ld_b = 10 log10(max(E_b, 1)), E_b the sum of the x_b arriving less than
//   35 ms after it;
// - Lr_b = 10 log10(max(R_b, 1)), R_b = (P_b - E_b) 4 T_b / (0.161 V) with
//   P_b the loudspeakers' acoustic power, T_b the search's reverberation
//   time and V the room volume (R_b = 1 in a room of kSmallestRoom or less);
//   with a mean free path of 1 m or less Lr_b is 1.0.
// The tests of one path use the first arrival reached so far in list order.
// Index 7 holds what the windows show for all bands: the smallest first
// arrival, the mean direct level (at least 1.0), and Ld and Lr of the sums
// weighted by BandSpeechWeights.
#pragma once

#include <cstddef>

#include "design/acoustics/ray_paths.h"
#include "design/acoustics/reverberation.h"

// Arrivals within this many dB of the highest level count as first arrivals.
constexpr double kFirstArrivalRange = 60.0;
constexpr double kDirectWindowMs = 5.0;
constexpr double kEarlyWindowMs = 35.0;
// A mean free path of this or less gives no reverberant level (m).
constexpr double kLeastReverberantFreePath = 1.0;

// Fills the arrival, level and histogram figures of `results` from the
// RayPath objects of `model` (the room figures of the linking stay), with
// `acousticPower` the loudspeakers' per band and `volume` the room's (m^3).
// Bins count from the earliest arrival, bin width (latest - earliest) /
// 1024; with all paths at one time every path falls in bin 0.
void ComputeImpulseResponse(const ObjectList& model, const BandValues& acousticPower, double volume,
                            RayResults& results);

// A linear level in dB, at least 1.0 before the logarithm (so never below 0 dB).
double LevelDb(double x);

// A path's level in dB as the impulse-response window draws it: band `band`
// (0 .. 6), or for 7 the mean of the seven band levels, each at least 1.0
// before the logarithm.
double PathLevelDb(const GraphicObject* path, int band);
