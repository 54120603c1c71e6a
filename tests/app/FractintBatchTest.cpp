// The conversion of Fractint files in batch: file names, what is written and
// reported.

#include "app/FractintBatch.h"
#include "../TempDir.h"
#include "lsys/String2IDManager.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using Names = std::vector<std::string>;

const char* const twoGoodOneBad = "Koch { angle 6\n axiom F--F--F\n F=F+F--F+F\n}\n"
                                  "Bad {\n angle 60\n axiom F\n}\n"
                                  "koch/2 { angle 4 \n axiom F+D\n}\n";

TEST(FractintBatch, FileNamesAreSafeAndUnique) {
    EXPECT_EQ((Names{"Koch", "a_b_c", "Koch_2", "a_b_c_2", "Koch_2_2", "x.y-z_", "_"}),
              fractintFileNames({"Koch", "a b/c", "Koch", "a_b_c", "Koch_2", "x.y-z\xE9", "/"}));
}

TEST(FractintBatch, WritesEveryConvertibleEntryAndNamesTheOthers) {
    String2IDManager::instance().registerBuiltins();
    TempDir dir;
    dir.write("curves.l", twoGoodOneBad);
    std::ostringstream err;
    EXPECT_EQ(1, convertFractintFile(dir.path("curves.l"), dir.path("out/new"), err));
    const std::string file = dir.path("curves.l");
    const std::string out = dir.path("out/new");
    EXPECT_EQ(file + ":1: entry 'Koch' written to " + out + "/Koch.kld\n" + file +
                  ":6: error: entry 'Bad': the angle must be a whole number from 3 to 50, not '60'\n" + file +
                  ":5: entry 'Bad' not written\n" + file + ":9: warning: entry 'koch/2': D and M draw along a " +
                  "direction of their own, turned only by '\\' and '/', and F and G along one turned only by '+', " +
                  "'-' and '|'; our turtle has one direction, turned here by all of them, so the drawing differs " +
                  "from Fractint's\n" + file + ":9: entry 'koch/2' written to " + out + "/koch_2.kld\n",
              err.str());
    EXPECT_NE(std::string::npos, dir.read("out/new/Koch.kld").find("Rule:1: : :F: :F+F--F+F\n"));
    EXPECT_NE(std::string::npos, dir.read("out/new/koch_2.kld").find("Name:koch/2\n"));

    dir.write("good.l", "; only a good one\nDragon{angle 4\naxiom FX\nX=X+YF+\nY=-FX-Y\n}\n");
    EXPECT_EQ(0, convertFractintFile(dir.path("good.l"), dir.path("out/new"), err));
    EXPECT_EQ((Names{"Dragon.kld", "Koch.kld", "koch_2.kld"}), TempDir::entriesOf(dir.path("out/new")));
}

TEST(FractintBatch, AFileThatCannotBeReadOrHoldsNoEntryFails) {
    TempDir dir;
    std::ostringstream err;
    EXPECT_EQ(1, convertFractintFile(dir.path("missing.l"), dir.path(""), err));
    EXPECT_EQ("Error on loading file:\n Could not open '" + dir.path("missing.l") + "'.\n", err.str());
    dir.write("empty.l", "; nothing\nstray\n");
    err.str("");
    EXPECT_EQ(1, convertFractintFile(dir.path("empty.l"), dir.path(""), err));
    EXPECT_EQ(dir.path("empty.l") + ":2: warning: 'stray' stands outside every entry\n" + dir.path("empty.l") +
                  ": no entry found\n",
              err.str());
}

} // namespace
