#include "app/Startup.h"

#include "lsys/String2IDManager.h"
#include "options/OptionParser.h"

#include <exception>
#include <iostream>
#include <string>

void registerBuiltinSymbols() {
    String2IDManager& registry = String2IDManager::instance();
    for (const char* c = builtinAlphabet; *c != '\0'; ++c) {
        registry.getID(std::string(1, *c));
    }
    if (registry.getNextID() < firstUserSymbolID) {
        registry.setNextID(firstUserSymbolID);
    }
}

std::unique_ptr<OptionContainer> declareProgramOptions() {
    auto options = std::make_unique<OptionContainer>();
    options->declare("convert-fractint", 'l', std::make_unique<Option_FileName>());
    options->declare("load", std::make_unique<Option_FileName>());
    options->declare("output-image", std::make_unique<Option_FileName>());
    options->declare("output-object", std::make_unique<Option_FileName>());
    options->declare("image-width", std::make_unique<Option_Integer>(1024));
    options->declare("image-height", std::make_unique<Option_Integer>(1024));
    options->declare("result-output", std::make_unique<Option_FileName>());
    return options;
}

bool parseProgramOptions(OptionContainer& options, int argc, const char* const* argv, std::ostream& out) {
    const bool accepted = parse(options, argc, argv, true);
    if (!accepted) {
        out << "Error on parsing options!" << std::endl;
    }
    return accepted;
}

int runKlado(int argc, char** argv) {
    try {
        registerBuiltinSymbols();
        std::unique_ptr<OptionContainer> options = declareProgramOptions();
        parseProgramOptions(*options, argc, argv, std::cout);
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "Error: " << error.what() << std::endl;
    } catch (...) {
        std::cerr << "Error: unexpected failure" << std::endl;
    }
    return 1;
}
