// The Find and Replace dialogs' side of the adapter that the window procedure needs.
#pragma once

// Called after each find/replace notification has reached the core: a dialog that has
// reported its closing is forgotten.
void afterFindReplaceNotification();
