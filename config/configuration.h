#pragma once
// The configuration file "Konfiguration_ZT40.cfg": machine parameters, the
// state of the last run, the switches and the track profile. Text in code
// page 1252 with CR LF line ends: labelled header lines, then the line
// "Streckendaten:" and one row per track point.
//
// Parsing and formatting work on bytes in memory; configuration_file.h
// reads and writes the file.

#include <string>
#include <string_view>

#include "locomotive_state.h"
#include "random15.h"
#include "track_point.h"

namespace zt40 {

inline constexpr const char* configurationFileName = "Konfiguration_ZT40.cfg";

// Reads the header and the track rows into the record and its track list
// (which holds at least the trailing point, unless it failed). Does not validate.
void readConfiguration(std::string_view bytes, LocomotiveState& state, TrackAllocator& allocator);

// The whole file as written: header, tail and track rows.
std::string configurationText(const LocomotiveState& state);

// Replaces missing or implausible values by their defaults. With
// `checkRunState` the state of the run is checked as well, and any default
// there sets `stateDefaulted`.
void validateConfiguration(LocomotiveState& state, bool checkRunState, Random15& random);

// A new run on the loaded machine, switches and track profile.
void applyFreshStart(LocomotiveState& state, Random15& random);

// The run of the file goes on. The file keeps neither the brake nor the
// reverser: the train stands braked, as a parked train stands, and the
// driver releases the brake as at any start.
void applyResumedStart(LocomotiveState& state);

}  // namespace zt40
