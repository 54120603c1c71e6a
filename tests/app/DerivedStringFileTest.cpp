#include "app/DerivedStringFile.h"
#include "lsys/String2IDManager.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::string written(const AtomString& atoms) {
    std::ostringstream out;
    writeDerivedString(out, atoms);
    return out.str();
}

// Lines of 40 one-letter atoms are pinned by the size of a batch run's
// derived string (Batch.StringAloneIsDerivedWithoutGeometry).
TEST(DerivedStringFile, AnAtomLongerThanALineStandsAlone) {
    String2IDManager& registry = String2IDManager::instance();
    registry.registerBuiltins();
    const std::int32_t f = registry.getID("F");
    AtomString atoms;
    atoms.append(f);
    atoms.append(registry.getID(std::string(90, 'L')));
    const double values[] = {1.0, 2.5};
    atoms.append(f, values, 2);
    EXPECT_EQ(written(atoms), "F \n" + std::string(90, 'L') + " \nF(1,2.5) \n");

    EXPECT_EQ(written(AtomString()), "\n");
    EXPECT_EQ(writeDerivedStringFile("/nonexistent-directory/out.txt", AtomString()),
              "The folder '/nonexistent-directory' does not exist.");
}

} // namespace
