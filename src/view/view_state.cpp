#include "view/view_state.h"

#include "view/active_window.h"

ViewState view;
ActiveWindow activeWindow = ACTIVE_MAIN;
