#pragma once
// The derived-string file of batch use: atoms separated by blanks, a line
// break before an atom that would take its line past 80 characters.

#include "lsys/AtomString.h"

#include <ostream>
#include <string>

// Writes the atoms, each followed by one blank, breaking lines as above; an
// atom longer than a line stands alone on its line.
void writeDerivedString(std::ostream& out, const AtomString& atoms);

// Writes the atoms to a file as an output (diagnostics/FileText.h): a regular
// file is replaced only once the whole text was written. Returns why it could
// not be written; empty on success.
std::string writeDerivedStringFile(const std::string& fileName, const AtomString& atoms);
