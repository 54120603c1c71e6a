#pragma once
// Start-up of the program: the symbol alphabet, the command-line options and
// the whole run as one function that never throws.

#include "options/OptionContainer.h"

#include <memory>
#include <ostream>

// A container with the program's options declared.
std::unique_ptr<OptionContainer> declareProgramOptions();

// Parses the command line, reporting each bad argument on standard error; when
// any was refused, "Error on parsing options!" goes to out. True when all
// arguments were accepted.
bool parseProgramOptions(OptionContainer& options, int argc, const char* const* argv, std::ostream& out);

class Workbench;
class FailureReporter;

// Produces the batch outputs that the options ask for, in the order image,
// object, derived string; returns the exit code: 0 when every one was written.
int runBatchOutputs(const OptionContainer& options, Workbench& workbench, FailureReporter& reporter);

// The whole program; returns its exit code.
int runKlado(int argc, char** argv);
