#include "app/Startup.h"

#include "app/DerivedStringFile.h"
#include "diagnostics/ErrorHandler.h"
#include "lsys/String2IDManager.h"
#include "options/OptionParser.h"
#include "workbench/ConsoleReporter.h"
#include "workbench/Workbench.h"

#include <fx.h>

#include <exception>
#include <iostream>
#include <string>

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

namespace {

bool anyBatchOutput(const OptionContainer& options) {
    return options.isSet("output-image") || options.isSet("output-object") || options.isSet("result-output");
}

} // namespace

int runBatchOutputs(const OptionContainer& options, Workbench& workbench, FailureReporter& reporter) {
    bool failed = false;
    if (options.isSet("output-image"))
        failed |= !workbench.exportImage(options.getString("output-image"), options.getInt("image-width"),
                                         options.getInt("image-height"));
    if (options.isSet("output-object")) failed |= !workbench.exportObject(options.getString("output-object"));
    if (options.isSet("result-output")) {
        const std::string fileName = options.getString("result-output");
        LSystem* lsystem = workbench.lsystem();
        std::unique_ptr<AtomString> atoms;
        if (lsystem) atoms = lsystem->getStepCopy(static_cast<int>(lsystem->getHistorySize()), nullptr);
        if (!atoms || !writeDerivedStringFile(fileName, *atoms)) {
            reporter.report("Error while saving", "Could not save file\n" + fileName);
            failed = true;
        }
    }
    return failed ? 1 : 0;
}

int runKlado(int argc, char** argv) {
    try {
        String2IDManager::instance().registerBuiltins();
        std::unique_ptr<OptionContainer> options = declareProgramOptions();
        parseProgramOptions(*options, argc, argv, std::cout);

        // Batch use needs no display; the toolkit connects to one only for
        // the workbench window.
        FXApp application("KLADO", "TOVA");
        application.init(argc, argv, false);
        ConsoleReporter reporter;
        Workbench workbench(reporter);

        const bool batch = anyBatchOutput(*options);
        if (batch && !options->isSet("load")) {
            std::cerr << "A definition is needed for batch output: give it with --load FILE." << std::endl;
            return 1;
        }
        if (options->isSet("load")) {
            // Problems of the file and of its compilation go to standard error as they arise.
            tov::ReportingErrorHandler fileErrors(std::cerr);
            if (!workbench.load(options->getString("load"), fileErrors)) return 1;
            tov::ReportingErrorHandler computationErrors(std::cerr);
            if (!workbench.recompute(computationErrors)) return 1;
        }
        if (batch) return runBatchOutputs(*options, workbench, reporter);
        std::cerr << "The workbench window is not part of this build yet; give --output-image, "
                     "--output-object or --result-output with --load to write a definition's results."
                  << std::endl;
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "Error: " << error.what() << std::endl;
    } catch (...) {
        std::cerr << "Error: unexpected failure" << std::endl;
    }
    return 1;
}
