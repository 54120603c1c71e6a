#include "diagnostics/ErrorHandler.h"
#include "lsys/String2IDManager.h"
#include "workbench/Workbench.h"

#include "../TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <regex>
#include <sstream>
#include <utility>

// The quadratic Koch island seen from the front is a closed outline of
// 4 x 8^3 edges at right angles: the drawing holds one stroke an edge in
// its colour, each horizontal or vertical, inside the drawing, and every
// end meets exactly one other stroke's end, so that a plotter can follow it.
TEST(SvgDrawing, KochIslandIsAClosedOutlineOfStrokes) {
    String2IDManager::instance().registerBuiltins();
    TempDir dir;
    Workbench workbench(FailureReporter::standardError());
    std::ostringstream messages;
    tov::ReportingErrorHandler errors(messages);
    ASSERT_TRUE(workbench.load(std::string(KLADO_SOURCE_DIR) + "/examples/koch_island.kld", errors)) << messages.str();
    ASSERT_TRUE(workbench.recompute(errors)) << messages.str();
    ASSERT_TRUE(workbench.exportImage(dir.path("island.svg"), 400, 300, 1));

    const std::string svg = dir.read("island.svg");
    EXPECT_NE(svg.find("viewBox=\"0 0 400 300\""), std::string::npos);
    EXPECT_NE(svg.find("<rect width=\"400\" height=\"300\" fill=\"#ffffff\"/>"), std::string::npos);
    const std::regex line("<line x1=\"([^\"]+)\" y1=\"([^\"]+)\" x2=\"([^\"]+)\" y2=\"([^\"]+)\" stroke=\"#1030a0\" "
                          "stroke-width=\"1\"/>");
    std::map<std::pair<long, long>, int> ends;
    std::size_t strokes = 0;
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), line); it != std::sregex_iterator(); ++it, ++strokes) {
        const double x1 = std::stod((*it)[1]), y1 = std::stod((*it)[2]), x2 = std::stod((*it)[3]),
                     y2 = std::stod((*it)[4]);
        EXPECT_TRUE(std::fabs(x1 - x2) < 1e-3 || std::fabs(y1 - y2) < 1e-3);
        for (double v : {x1, x2}) EXPECT_TRUE(v > 0 && v < 400);
        for (double v : {y1, y2}) EXPECT_TRUE(v > 0 && v < 300);
        ++ends[{std::lround(x1 * 100), std::lround(y1 * 100)}];
        ++ends[{std::lround(x2 * 100), std::lround(y2 * 100)}];
    }
    EXPECT_EQ(4u * 8 * 8 * 8, strokes);
    EXPECT_EQ(strokes, ends.size());
    for (const auto& end : ends) EXPECT_EQ(2, end.second);
    EXPECT_EQ(std::string::npos, svg.find("<path")) << "only strokes";
}
