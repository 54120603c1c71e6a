#include "app/DerivedStringFile.h"

#include "diagnostics/Exceptions.h"
#include "diagnostics/FileText.h"

#include <sstream>

void writeDerivedString(std::ostream& out, const AtomString& atoms) {
    const std::size_t lineLength = 80;
    std::size_t column = 0;
    std::ostringstream text;
    for (std::size_t i = 0; i < atoms.length(); ++i) {
        text.str(std::string());
        atoms.print(text, i);
        const std::string atom = text.str();
        if (column != 0 && column + atom.size() + 1 > lineLength) {
            out << '\n';
            column = 0;
        }
        out << atom << ' ';
        column += atom.size() + 1;
    }
    out << '\n';
}

std::string writeDerivedStringFile(const std::string& fileName, const AtomString& atoms) {
    std::ostringstream text;
    writeDerivedString(text, atoms);
    try {
        writeOutput(fileName, text.str());
    } catch (const FileError& error) {
        return error.reason().empty() ? "The file could not be written." : error.reason();
    }
    return std::string();
}
