#pragma once
// The progress of a batch run on a terminal: once the run has taken about a
// second, one line on standard error that is rewritten as the run goes on
// ("Step n of N: p%", then the interpretation, then the exports). Shows
// nothing when standard error is not a terminal.

#include "workbench/ComputationRun.h"
#include "workbench/Workbench.h"

#include <chrono>
#include <ostream>
#include <string>

class BatchProgress : public ComputationProgress {
public:
    // Writes to out when shown is true.
    BatchProgress(std::ostream& out, bool shown);

    // The workbench whose computation this shows; N is its "_steps".
    void watch(const Workbench& workbench) { myWorkbench = &workbench; }
    void setProgress(int percent) override;
    void setStep(int step) override;
    void setInterpreting() override;
    // The batch output being written now; the percentages that follow are
    // its own ("Writing NAME: p%").
    void setWriting(const std::string& fileName);
    // Clears the line when one was shown.
    void finish();

private:
    void show(const std::string& line);

    std::ostream& myOut;
    bool myShown;
    std::chrono::steady_clock::time_point myStart;
    const Workbench* myWorkbench = nullptr;
    int myStep = 0;
    std::string myWriting;
    std::string myLine;
    std::size_t myWidth = 0;
};
