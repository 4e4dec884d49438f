// The program's message loop.
#pragma once

#include <windows.h>

// Runs the message loop until the quit message and returns the exit code it carries.
// Each message first passes the core's loop steps (focus tracking, the Alt shortcuts,
// keys for the quiz dialog), then the accelerators, then translation and dispatch.
int runMessageLoop(HACCEL accelerators);
