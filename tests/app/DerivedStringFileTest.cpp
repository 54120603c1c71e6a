#include "app/DerivedStringFile.h"
#include "lsys/String2IDManager.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) result.push_back(line);
    return result;
}

TEST(DerivedStringFile, BreaksBeforeAnAtomThatWouldPassColumn80) {
    String2IDManager::instance().registerBuiltins();
    const std::int32_t f = String2IDManager::instance().getID("F");
    AtomString atoms;
    for (int i = 0; i < 100; ++i) atoms.append(f);
    std::ostringstream out;
    writeDerivedString(out, atoms);
    const std::vector<std::string> written = lines(out.str());
    ASSERT_EQ(written.size(), 3u);
    EXPECT_EQ(written[0].size(), 80u); // 40 atoms of "F " fill the line exactly
    EXPECT_EQ(written[1].size(), 80u);
    EXPECT_EQ(written[2].size(), 40u);
}

TEST(DerivedStringFile, AtomLongerThanALineStandsAlone) {
    String2IDManager::instance().registerBuiltins();
    String2IDManager& registry = String2IDManager::instance();
    const std::int32_t f = registry.getID("F");
    const std::int32_t longName = registry.getID(std::string(90, 'L'));
    AtomString atoms;
    atoms.append(f);
    atoms.append(longName);
    const double values[] = {1.0, 2.5};
    atoms.append(f, values, 2);
    std::ostringstream out;
    writeDerivedString(out, atoms);
    const std::vector<std::string> written = lines(out.str());
    ASSERT_EQ(written.size(), 3u);
    EXPECT_EQ(written[0], "F ");
    EXPECT_EQ(written[1], std::string(90, 'L') + " ");
    EXPECT_EQ(written[2], "F(1,2.5) ");
}

TEST(DerivedStringFile, EmptyStringIsOneEmptyLine) {
    std::ostringstream out;
    writeDerivedString(out, AtomString());
    EXPECT_EQ(out.str(), "\n");
}

TEST(DerivedStringFile, UnwritableFileFails) {
    AtomString atoms;
    EXPECT_FALSE(writeDerivedStringFile("/nonexistent-directory/out.txt", atoms));
}

} // namespace
