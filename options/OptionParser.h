#pragma once
// Fills an option container from a command line.

#include "options/OptionContainer.h"

// Walks the arguments after the program path. Each refused argument is
// reported on standard error as "Error: " and the message; with
// continueOnError the walk goes on after it. True when every argument was
// accepted.
bool parse(OptionContainer& options, int argc, const char* const* argv, bool continueOnError);
