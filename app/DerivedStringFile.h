#pragma once
// The derived-string file of batch use: atoms separated by blanks, a line
// break before an atom that would take its line past 80 characters.

#include "lsys/AtomString.h"

#include <ostream>
#include <string>

// Writes the atoms, each followed by one blank, breaking lines as above; an
// atom longer than a line stands alone on its line.
void writeDerivedString(std::ostream& out, const AtomString& atoms);

// Writes the atoms to a file, replacing it only once the whole text was
// written; false when it cannot be written (the old file is then kept).
bool writeDerivedStringFile(const std::string& fileName, const AtomString& atoms);
