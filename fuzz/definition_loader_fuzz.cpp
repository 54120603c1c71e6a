// Feeds arbitrary text to the definition reader. A text it accepts is written
// again, and what the writer makes of it must read back without errors. A
// crash, a sanitizer report, an escaping exception or a refused rewrite is a
// finding.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "definition_io/DefinitionWriter.h"
#include "definition_io/OwnLSysLoader.h"
#include "diagnostics/ErrorHandler.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    tov::StoringErrorHandler handler;
    const std::unique_ptr<LSystemDefinition> definition = OwnLSysLoader().load(handler, "fuzz.kld", text);
    if (definition == nullptr) {
        return 0;
    }
    const std::string written = definitionText(DefinitionSheet::of(*definition), *definition);
    tov::StoringErrorHandler rereading;
    if (OwnLSysLoader().load(rereading, "fuzz.kld", written) == nullptr) {
        std::abort();
    }
    return 0;
}
