#include "workbench/ExportStream.h"

#include <algorithm>

namespace {

constexpr std::size_t bufferSize = std::size_t(4) << 20;

} // namespace

ExportStream::ExportStream(OutputFile& file, ProgressRetriever* progress, std::uint64_t total)
    : myFile(file), myProgress(progress), myTotal(std::max<std::uint64_t>(total, 1)), myBuffer(bufferSize) {}

void ExportStream::advance(std::uint64_t units) {
    myDone += units;
    if (!myProgress || myDone < myNextReport) return;
    // About a thousand looks at the flag and the percentage over the export.
    myNextReport = myDone + std::max<std::uint64_t>(myTotal / 1000, 1);
    myProgress->setProgress(static_cast<int>(std::min<std::uint64_t>(myDone * 100 / myTotal, 100)));
    if (myProgress->wasCancelled()) throw ExportCancelled();
}

void ExportStream::flush() {
    if (myUsed == 0) return;
    myFile.write(myBuffer.data(), myUsed);
    myUsed = 0;
}
