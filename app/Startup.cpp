#include "app/Startup.h"

#include "app/BatchProgress.h"
#include "app/DerivedStringFile.h"
#include "app/FractintBatch.h"
#include "app/WorkbenchWindow.h"
#include "diagnostics/ErrorHandler.h"
#include "diagnostics/MemoryLimits.h"
#include "diagnostics/UnfinishedFiles.h"
#include "lsys/String2IDManager.h"
#include "options/OptionParser.h"
#include "workbench/ConsoleReporter.h"
#include "workbench/Workbench.h"

#include <fx.h>
#include <osg/Notify>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <exception>
#include <iostream>
#include <new>
#include <optional>
#include <pthread.h>
#include <string>
#include <unistd.h>

std::unique_ptr<OptionContainer> declareProgramOptions() {
    auto options = std::make_unique<OptionContainer>();
    options->declare("convert-fractint", 'l', std::make_unique<Option_FileName>());
    options->declare("output-dir", std::make_unique<Option_FileName>());
    options->declare("load", std::make_unique<Option_FileName>());
    options->declare("output-image", std::make_unique<Option_FileName>());
    options->declare("output-frames", std::make_unique<Option_FileName>());
    options->declare("output-object", std::make_unique<Option_FileName>());
    options->declare("gltf-nodes", std::make_unique<Option_Bool>());
    options->declare("image-width", std::make_unique<Option_Integer>(1024));
    options->declare("image-height", std::make_unique<Option_Integer>(1024));
    options->declare("antialias", std::make_unique<Option_Integer>(SceneView::defaultSamples));
    options->declare("result-output", std::make_unique<Option_FileName>());
    options->declare("max-atoms", std::make_unique<Option_Integer>());
    options->declare("help", std::make_unique<Option_Bool>());
    options->declare("version", std::make_unique<Option_Bool>());
    return options;
}

const char* const programUsage =
    "Usage: klado [--load FILE.kld] [OPTION]...\n"
    "  or:  klado -l FILE.l [--output-dir DIR]\n"
    "Models three-dimensional plants, fractals and ornaments with L-systems: opens the workbench\n"
    "window on the definition, or, given an output option, writes the outputs without a window.\n"
    "\n"
    "  --load FILE.kld           the definition to load; it is derived for _steps steps and interpreted\n"
    "  --output-image IMAGE      render the model off-screen and write it; the extension picks the format\n"
    "  --image-width N           width of that image in pixels (1024 by default)\n"
    "  --image-height N          height of that image in pixels (1024 by default)\n"
    "  --antialias N             samples per pixel of that image, 1 to 64 (16 by default; 1: not anti-aliased)\n"
    "  --output-frames PATTERN   write one picture of every step from 0 to _steps, all framed like the last,\n"
    "                            at that size; PATTERN holds one %d or %03d for the step (frames/step%03d.png)\n"
    "  --output-object OBJECT    write the geometry as a 3-D object file; the extension picks the format\n"
    "  --gltf-nodes              glTF: one node a shape instead of instancing (for viewers without it)\n"
    "  --result-output TEXT      write the derived string (alone: the string is not interpreted)\n"
    "  --max-atoms N             stop when a step would make a string of more than N atoms\n"
    "  -l FILE.l, --convert-fractint FILE.l\n"
    "                            convert every entry of a Fractint L-system file to DIR/NAME.kld\n"
    "  --output-dir DIR          the folder of those files (the current one by default)\n"
    "  --help                    print this text and exit\n"
    "  --version                 print the program's name and version and exit\n"
    "\n"
    "While the window holds unsaved edits it keeps a recovery copy of the document in\n"
    "$XDG_DATA_HOME/klado/recovery (by default ~/.local/share/klado/recovery); when KLADO ends\n"
    "without saving them, the next start offers to restore them.\n";

const char* const programVersion = "KLADO 1.0";

std::size_t defaultAtomLimit(bool interpreting) {
    // Measured: a string of 100 million atoms, with the earlier steps kept,
    // took 1.2 GB (12 bytes per atom); its geometry takes about 900 bytes
    // more per drawn atom.
    const std::uint64_t bytesPerAtom = interpreting ? 1000 : 12;
    const std::uint64_t memory = usableMemory();
    if (memory == UINT64_MAX) return Workbench::unlimited;
    return static_cast<std::size_t>(std::min<std::uint64_t>(memory / 2 / bytesPerAtom, SIZE_MAX));
}

bool parseProgramOptions(OptionContainer& options, int argc, const char* const* argv, std::ostream& out) {
    const bool accepted = parse(options, argc, argv, true);
    if (!accepted) {
        out << "Error on parsing options!" << std::endl;
    }
    return accepted;
}

namespace {

// More samples than this add nothing a picture would show.
constexpr int maxSamples = 64;

bool anyBatchOutput(const OptionContainer& options) {
    return options.isSet("output-image") || options.isSet("output-object") || options.isSet("result-output") ||
           options.isSet("output-frames");
}

// The scene-graph library's messages go to standard error, never among a
// program's output on standard output.
class StandardErrorNotifyHandler : public osg::NotifyHandler {
public:
    void notify(osg::NotifySeverity, const char* message) override { std::cerr << message << std::flush; }
};

// The thread that installs the handler below: the one that creates and
// notes temporary files, holding the signals back meanwhile.
pthread_t mainThread;

// An interrupted or terminated batch run removes the temporary files of the
// output it was writing, then ends as the signal would have ended it. The
// removal runs on the main thread: a signal caught by another thread (a
// reader of a pipe, a renderer's) is passed on to it, where it waits while a
// file is being created and noted.
extern "C" void removeUnfinishedFilesAndEnd(int signal) {
    if (!pthread_equal(pthread_self(), mainThread)) {
        pthread_kill(mainThread, signal);
        return;
    }
    UnfinishedFiles::removeAll();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Clears the progress line before a failure is reported.
class BatchReporter : public FailureReporter {
public:
    explicit BatchReporter(BatchProgress& progress) : myProgress(progress) {}
    void report(const std::string& title, const std::string& text) override {
        myProgress.finish();
        myConsole.report(title, text);
    }

private:
    BatchProgress& myProgress;
    ConsoleReporter myConsole;
};

void removeUnfinishedFilesOnSignals() {
    mainThread = pthread_self();
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, removeUnfinishedFilesAndEnd);
}

// The conversion runs alone: it loads nothing and writes no other output.
int convertFractint(const OptionContainer& options) {
    if (options.isSet("load") || anyBatchOutput(options)) {
        std::cerr << "--convert-fractint runs alone: it cannot be combined with --load, --output-image, "
                     "--output-object, --result-output or --output-frames."
                  << std::endl;
        return 1;
    }
    removeUnfinishedFilesOnSignals();
    return convertFractintFile(options.getString("convert-fractint"),
                               options.isSet("output-dir") ? options.getString("output-dir") : ".", std::cerr);
}

} // namespace

int runBatchOutputs(const OptionContainer& options, Workbench& workbench, FailureReporter& reporter,
                    BatchProgress* progress) {
    bool failed = false;
    if (options.isSet("output-image")) {
        if (progress) progress->setWriting(options.getString("output-image"));
        failed |= !workbench.exportImage(options.getString("output-image"), options.getInt("image-width"),
                                         options.getInt("image-height"), options.getInt("antialias"));
    }
    if (options.isSet("output-object")) {
        if (progress) progress->setWriting(options.getString("output-object"));
        failed |= !workbench.exportObject(options.getString("output-object"));
    }
    if (options.isSet("result-output")) {
        const std::string fileName = options.getString("result-output");
        if (progress) progress->setWriting(fileName);
        LSystem* lsystem = workbench.lsystem();
        const AtomString* atoms = nullptr;
        if (lsystem) atoms = lsystem->getStep(static_cast<int>(lsystem->getHistorySize()), nullptr);
        std::string problem = "There is no derived string.";
        try {
            if (atoms) problem = writeDerivedStringFile(fileName, *atoms);
        } catch (const std::bad_alloc&) {
            problem = "Not enough memory to write the derived string.";
        }
        if (!problem.empty()) {
            reporter.report("Error while saving", "Could not save file\n" + fileName + "\n" + problem);
            failed = true;
        }
    }
    if (options.isSet("output-frames")) {
        const std::string text = options.getString("output-frames");
        std::string problem;
        const std::optional<FramePattern> pattern = FramePattern::parse(text, problem);
        if (progress) progress->setWriting(text);
        failed |= !pattern || !workbench.exportFrames(*pattern, options.getInt("image-width"),
                                                      options.getInt("image-height"), options.getInt("antialias"));
    }
    return failed ? 1 : 0;
}

int runKlado(int argc, char** argv) {
    // What the program is doing, for a lack of memory that nothing nearer caught.
    std::string doing = "start";
    try {
        String2IDManager::instance().registerBuiltins();
        std::unique_ptr<OptionContainer> options = declareProgramOptions();
        parseProgramOptions(*options, argc, argv, std::cout);
        if (options->isSet("help")) {
            std::cout << programUsage;
            return 0;
        }
        if (options->isSet("version")) {
            std::cout << programVersion << std::endl;
            return 0;
        }
        if (options->isSet("convert-fractint")) return convertFractint(*options);
        if (options->isSet("output-dir")) {
            std::cerr << "--output-dir is used only with --convert-fractint." << std::endl;
            return 1;
        }
        if (options->getInt("antialias") < 1 || options->getInt("antialias") > maxSamples) {
            std::cerr << "--antialias takes 1 to " << maxSamples << " samples per pixel." << std::endl;
            return 1;
        }
        if (options->isSet("output-frames")) {
            std::string problem;
            if (!FramePattern::parse(options->getString("output-frames"), problem)) {
                std::cerr << "--output-frames: " << problem << std::endl;
                return 1;
            }
        }
        osg::setNotifyHandler(new StandardErrorNotifyHandler);

        // Batch use needs no display; the toolkit connects to one only for
        // the workbench window.
        FXApp application("KLADO", "TOVA");
        application.init(argc, argv, false);
        BatchProgress progress(std::cerr, ::isatty(STDERR_FILENO) == 1);
        BatchReporter reporter(progress);
        Workbench workbench(reporter);

        const bool batch = anyBatchOutput(*options);
        if (batch && !options->isSet("load")) {
            std::cerr << "A definition is needed for batch output: give it with --load FILE." << std::endl;
            return 1;
        }
        if (batch) {
            removeUnfinishedFilesOnSignals();
            // The derived string alone needs no geometry.
            const bool interpreting =
                options->isSet("output-image") || options->isSet("output-object") || options->isSet("output-frames");
            workbench.setInterpreting(interpreting);
            if (options->isSet("max-atoms") && options->getInt("max-atoms") > 0)
                workbench.setAtomLimit(static_cast<std::size_t>(options->getInt("max-atoms")));
            else
                workbench.setAtomLimit(defaultAtomLimit(interpreting));
            progress.watch(workbench);
            workbench.setProgress(&progress);
            ObjectExportOptions objectOptions;
            objectOptions.gltfNodes = options->isSet("gltf-nodes");
            workbench.setObjectOptions(objectOptions);
        }
        if (!batch) return runWorkbenchWindow(application, options->isSet("load") ? options->getString("load") : "");
        // Problems of the file and of its compilation go to standard error as they arise.
        doing = "load '" + options->getString("load") + "'";
        tov::ReportingErrorHandler fileErrors(std::cerr);
        if (!workbench.load(options->getString("load"), fileErrors)) return 1;
        doing = "prepare and compute the definition";
        tov::ReportingErrorHandler computationErrors(std::cerr);
        if (!workbench.recompute(computationErrors)) return 1;
        doing = "write the outputs";
        const int status = runBatchOutputs(*options, workbench, reporter, &progress);
        progress.finish();
        return status;
    } catch (const std::bad_alloc&) {
        std::cerr << "Error:\nNot enough memory to " << doing << "." << std::endl;
    } catch (const std::exception& error) {
        std::cerr << "Error: " << error.what() << std::endl;
    } catch (...) {
        std::cerr << "Error: unexpected failure" << std::endl;
    }
    return 1;
}
