// Carries a search's outcome to the key-sequence player: a search that found nothing
// stops a playback, one that found something lets it go on, and no search leaves it be.
#pragma once

#include "app/recorder.h"
#include "search/find_replace.h"

inline void noteSearchOutcome(SearchOutcome outcome) {
    if (outcome != SearchOutcome::NoSearch) recorder.stopRequest = outcome == SearchOutcome::NotFound;
}

// For the searches that always search (quick searches, bracket pairs): true when found.
inline void noteSearchOutcome(bool found) { recorder.stopRequest = !found; }
