#include "view/view_state.h"

ViewState view;
