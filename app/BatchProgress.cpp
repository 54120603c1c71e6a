#include "app/BatchProgress.h"

BatchProgress::BatchProgress(std::ostream& out, bool shown)
    : myOut(out), myShown(shown), myStart(std::chrono::steady_clock::now()) {}

void BatchProgress::setProgress(int percent) {
    if (!myWriting.empty()) {
        show("Writing " + myWriting + ": " + std::to_string(percent) + "%");
        return;
    }
    const LSystem* lsystem = myWorkbench ? myWorkbench->lsystem() : nullptr;
    if (myStep <= 0 || !lsystem) return;
    const double steps = lsystem->getValue("_steps", 0.0);
    show("Step " + std::to_string(myStep) + " of " + std::to_string(static_cast<long long>(steps)) + ": " +
         std::to_string(percent) + "%");
}

void BatchProgress::setStep(int step) {
    myStep = step;
    setProgress(0);
}

void BatchProgress::setInterpreting() { show("Interpreting the string"); }

void BatchProgress::setWriting(const std::string& fileName) {
    myWriting = fileName;
    show("Writing " + fileName);
}

void BatchProgress::show(const std::string& line) {
    if (!myShown || line == myLine) return;
    if (std::chrono::steady_clock::now() - myStart < std::chrono::seconds(1)) return;
    myLine = line;
    // Blanks cover the rest of a longer line shown before.
    const std::size_t padding = myWidth > line.size() ? myWidth - line.size() : 0;
    myOut << '\r' << line << std::string(padding, ' ') << std::flush;
    myWidth = line.size();
}

void BatchProgress::finish() {
    if (myWidth == 0) return;
    myOut << '\r' << std::string(myWidth, ' ') << '\r' << std::flush;
    myWidth = 0;
    myLine.clear();
}
