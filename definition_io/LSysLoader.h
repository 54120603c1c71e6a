#pragma once
// Readers that turn the text of a definition file into a definition record.

#include <memory>
#include <string>

#include "diagnostics/ErrorHandler.h"
#include "lsys/LSystemDefinition.h"

class LSysLoader {
public:
    virtual ~LSysLoader() = default;
    // Reads the file's text. Every problem is added to the handler as a record
    // with the id -1; the result is null when a line failed or the handler
    // holds errors afterwards (warnings alone do not fail the load).
    virtual std::unique_ptr<LSystemDefinition> load(tov::ErrorHandler& handler, const std::string& fileName,
                                                    const std::string& text) = 0;
};
