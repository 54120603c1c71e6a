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

TEST(DerivedStringFile, BreaksBeforeAnAtomThatWouldPassColumn80) {
    String2IDManager& registry = String2IDManager::instance();
    registry.registerBuiltins();
    const std::int32_t f = registry.getID("F");
    AtomString atoms;
    for (int i = 0; i < 100; ++i) atoms.append(f);
    std::string line; // 40 atoms of "F " fill a line exactly
    for (int i = 0; i < 40; ++i) line += "F ";
    EXPECT_EQ(written(atoms), line + "\n" + line + "\n" + line.substr(0, 40) + "\n");

    // An atom longer than a line stands alone.
    atoms = AtomString();
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
