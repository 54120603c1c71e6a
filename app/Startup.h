#pragma once
// Start-up of the program: the symbol alphabet, the command-line options and
// the whole run as one function that never throws.

#include "options/OptionContainer.h"

#include <cstddef>
#include <memory>
#include <ostream>

// A container with the program's options declared.
std::unique_ptr<OptionContainer> declareProgramOptions();

// Parses the command line, reporting each bad argument on standard error; when
// any was refused, "Error on parsing options!" goes to out. True when all
// arguments were accepted.
bool parseProgramOptions(OptionContainer& options, int argc, const char* const* argv, std::ostream& out);

// The text of --help: the options, one line each.
extern const char* const programUsage;
// The text of --version.
extern const char* const programVersion;

// The default longest string, in atoms: what half of the usable memory holds
// at the measured bytes per atom, with or without its geometry.
std::size_t defaultAtomLimit(bool interpreting);

class Workbench;
class FailureReporter;
class BatchProgress;

// Produces the batch outputs that the options ask for, in the order image,
// object, derived string, frames; returns the exit code: 0 when every one was written.
// progress, when given, shows which output is being written.
int runBatchOutputs(const OptionContainer& options, Workbench& workbench, FailureReporter& reporter,
                    BatchProgress* progress = nullptr);

// The whole program; returns its exit code.
int runKlado(int argc, char** argv);
