#pragma once
// The interactive run: the workbench window on an X display.

#include <fx.h>

#include <string>

// Opens the display, creates the window with the definition file (none when
// empty) and runs the event loop; returns the exit code. Without a display,
// or when the file cannot be loaded, no window opens and the result is 1.
int runWorkbenchWindow(FXApp& application, const std::string& fileName);
