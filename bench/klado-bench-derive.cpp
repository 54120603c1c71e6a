// klado-bench-derive FILE.kld
//
// Loads a definition, prepares it and derives its "_steps" steps without
// interpreting them, then prints one line:
//   atoms=N seconds=S atoms_per_second=X bytes_per_atom=Y
// N is the number of atoms of the last string and S the time of the
// derivation alone. Y is the heap memory the history of derived strings
// holds, as the allocator counts it (block overheads and spare capacity
// included), divided by the atoms of all strings of the history.

#include <malloc.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <iostream>

#include "definition_io/OwnLSysLoader.h"
#include "diagnostics/Exceptions.h"
#include "diagnostics/FileText.h"
#include "lsys/LSystem.h"

namespace {

// Bytes of heap memory in use, from the allocator's own books.
double heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks) + static_cast<double>(info.hblkhd);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: klado-bench-derive FILE.kld" << std::endl;
        return 2;
    }
    const std::string fileName = argv[1];
    String2IDManager::instance().registerBuiltins();

    std::string text;
    try {
        text = readFileText(fileName);
    } catch (const FileNotFoundError&) {
        std::cerr << "Error on loading file:\n Could not open '" << fileName << "'." << std::endl;
        return 1;
    }
    tov::ReportingErrorHandler errors(std::cerr);
    const std::unique_ptr<LSystemDefinition> definition = OwnLSysLoader().load(errors, fileName, text);
    if (definition == nullptr) {
        return 1;
    }
    const std::unique_ptr<LSystem> lsystem = buildLSystem(*definition, String2IDManager::instance(), errors);
    if (lsystem == nullptr || errors.hasErrors()) {
        return 1;
    }

    try {
        const double stepsValue = lsystem->getVariable("_steps").evaluate(lsystem->getValues());
        const int steps =
            std::isfinite(stepsValue) && stepsValue > 0 ? static_cast<int>(std::fmin(stepsValue, 1e6)) : 0;

        lsystem->reset();
        const double heapBefore = heapInUse();
        const auto start = std::chrono::steady_clock::now();
        for (int step = 0; step < steps; ++step) {
            lsystem->doStep(nullptr);
        }
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        const double historyBytes = heapInUse() - heapBefore;

        double allAtoms = 0.0;
        for (int step = 1; step <= steps; ++step) {
            allAtoms += static_cast<double>(lsystem->getStep(step, nullptr)->length());
        }
        const std::size_t atoms = lsystem->getStep(steps, nullptr)->length();
        const double seconds = elapsed.count();
        std::printf("atoms=%zu seconds=%.6f atoms_per_second=%.0f bytes_per_atom=%.2f\n", atoms, seconds,
                    seconds > 0.0 ? static_cast<double>(atoms) / seconds : 0.0,
                    allAtoms > 0.0 ? historyBytes / allAtoms : 0.0);
    } catch (const mu::ParserError& error) {
        std::cerr << "Error on computation:\n " << error.GetMsg() << std::endl;
        return 1;
    }
    return 0;
}
