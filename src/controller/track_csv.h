#pragma once

// The record of a run as CSV text.

#include "motion/state.h"

#include <string>

namespace kentrikh {

// A header line, then one line for each of the samples 0 to 1000; an entry never recorded
// is an empty field. Numbers as roundTripText() writes them.
std::string trackCsvText(const TrackRecord &track);

} // namespace kentrikh
