#include "app/FractintBatch.h"

#include "definition_io/DefinitionWriter.h"
#include "definition_io/FractintConverter.h"
#include "diagnostics/Exceptions.h"
#include "diagnostics/FileText.h"

#include <filesystem>
#include <set>

std::vector<std::string> fractintFileNames(const std::vector<std::string>& entryNames) {
    std::vector<std::string> result;
    std::set<std::string> taken;
    for (std::string name : entryNames) {
        for (char& c : name) {
            const bool kept = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
                              c == '.' || c == '-';
            if (!kept) c = '_';
        }
        std::string unique = name;
        for (int n = 2; !taken.insert(unique).second; ++n) unique = name + "_" + std::to_string(n);
        result.push_back(unique);
    }
    return result;
}

int convertFractintFile(const std::string& fileName, const std::string& outputDir, std::ostream& err) {
    std::string text;
    try {
        text = readFileText(fileName);
    } catch (const FileError&) {
        err << "Error on loading file:\n Could not open '" << fileName << "'." << std::endl;
        return 1;
    }
    FractintFile file = FractintConverter::convert(text);
    const auto at = [&](int line) { return fileName + ":" + std::to_string(line) + ": "; };
    for (const FractintProblem& warning : file.warnings) err << at(warning.line) << "warning: " << warning.text << '\n';
    if (file.entries.empty()) {
        err << fileName << ": no entry found" << std::endl;
        return 1;
    }
    std::vector<std::string> names;
    for (const FractintEntry& entry : file.entries) names.push_back(entry.name);
    const std::vector<std::string> fileNames = fractintFileNames(names);

    std::error_code ignored; // a folder that cannot be made fails each write
    std::filesystem::create_directories(outputDir, ignored);
    bool failed = false;
    for (std::size_t i = 0; i < file.entries.size(); ++i) {
        FractintEntry& entry = file.entries[i];
        const std::string quoted = "entry '" + entry.name + "'";
        for (const FractintProblem& error : entry.errors)
            err << at(error.line) << "error: " << quoted << ": " << error.text << '\n';
        for (const FractintProblem& warning : entry.warnings)
            err << at(warning.line) << "warning: " << quoted << ": " << warning.text << '\n';
        bool written = false;
        const std::string path = (std::filesystem::path(outputDir) / (fileNames[i] + ".kld")).string();
        if (entry.definition) {
            try {
                writeOutput(path, definitionText(DefinitionSheet::of(*entry.definition), *entry.definition));
                written = true;
            } catch (const FileError&) {
                err << at(entry.line) << "error: " << quoted << ": could not write '" << path << "'\n";
            }
        }
        if (written)
            err << at(entry.line) << quoted << " written to " << path << '\n';
        else
            err << at(entry.line) << quoted << " not written\n";
        failed |= !written;
    }
    err.flush();
    return failed ? 1 : 0;
}
