// Operations that commands and keys already reach but whose subsystems are still being
// built: each has an empty body in app/pending_operations.cpp. Building one declares it in
// its subsystem's header and removes it from here.
#pragma once

#include <cstdint>

// ---- Search ----
void convertSpacesCommas();
void tidyStatement();

// ---- Block transformations ----
