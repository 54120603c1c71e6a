#pragma once
// The batch conversion of a Fractint L-system file: every entry written as a
// definition file of its own.

#include <ostream>
#include <string>
#include <vector>

// File names for entry names, in file order: every character outside
// A-Z a-z 0-9 _ . - becomes "_", and a name taken already gets "_2", "_3",
// ... so that no two entries share a file. Without ".kld".
std::vector<std::string> fractintFileNames(const std::vector<std::string>& entryNames);

// Converts the file and writes each entry atomically as
// outputDir/NAME.kld (creating outputDir when it is missing), reporting on
// err one line for each entry ("FILE:LINE: entry 'NAME' written to PATH" or
// "... not written"), each problem on a line of its own before it. Returns
// the exit code: 0 when every entry was written, approximate ones included;
// 1 when the file cannot be read, holds no entry, or an entry could not be
// converted or written.
int convertFractintFile(const std::string& fileName, const std::string& outputDir, std::ostream& err);
