// Operations that are routed already but carried out by subsystems still being built.
// Each is reachable from its command, key or message today and does nothing yet; when
// its subsystem is built, its body moves there and the line here goes.
#include "app/command_entry_points.h"

// ---- Search ----
void convertSpacesCommas() {}
void tidyStatement() {}

// ---- Blocks ----
