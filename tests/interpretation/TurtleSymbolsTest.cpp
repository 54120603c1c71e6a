// The turtle symbol table says what the interpreter does: each default it
// names is the one the interpreter takes for a missing parameter.

#include "InterpreterFixture.h"

#include "interpretation/TurtleSymbols.h"

#include <cmath>
#include <sstream>

namespace {

class TurtleSymbols : public InterpreterTest {
protected:
    TurtleSymbols() {
        shapes["F"] = drawn();
        // Turns of different sizes, so that a mix-up of axes shows.
        definition.addConstant("_rotX", "10");
        definition.addConstant("_rotY", "20");
        definition.addConstant("_rotZ", "30");
    }
    // The turtle after the axiom; the symbol is followed by a move so that
    // turns and length changes leave their mark on the position.
    TurtleState after(const std::string& axiom) {
        EXPECT_TRUE(run("F" + axiom + "F").valid()) << axiom;
        return turtle();
    }
    static void expectSame(const TurtleState& a, const TurtleState& b, const std::string& what) {
        EXPECT_LT((a.position - b.position).length(), 1e-9) << what;
        EXPECT_LT((a.heading - b.heading).length(), 1e-9) << what;
        EXPECT_LT((a.up - b.up).length(), 1e-9) << what;
        EXPECT_NEAR(a.lengthFactor, b.lengthFactor, 1e-12) << what;
        EXPECT_NEAR(a.widthFactor, b.widthFactor, 1e-12) << what;
        EXPECT_NEAR(a.rotZ, b.rotZ, 1e-12) << what;
        EXPECT_EQ(a.colourIndex, b.colourIndex) << what;
        EXPECT_EQ(a.interpretedCount, b.interpretedCount) << what;
    }
};

TEST_F(TurtleSymbols, TheDefaultsShownAreTheOnesTheInterpreterTakes) {
    for (const TurtleSymbol& row : turtleSymbols) {
        if (row.id < 0) continue;
        const char symbol = builtinAlphabet[row.id];
        const std::string plain(1, symbol);
        if (row.fallback == TurtleDefault::MultiplyBy) {
            EXPECT_NEAR(after(plain).rotZ, 30 * row.value, 1e-12) << row.symbol;
        } else if (row.fallback == TurtleDefault::DivideBy) {
            EXPECT_NEAR(after(plain).widthFactor, 1 / row.value, 1e-12) << row.symbol;
        } else if (std::string("[]{}").find(symbol) == std::string::npos) {
            // The default rotations, the number shown, or (for a symbol that
            // takes none) any parameter: the same turtle as without it.
            const double value = row.fallback == TurtleDefault::RotationX   ? 10
                                 : row.fallback == TurtleDefault::RotationY ? 20
                                 : row.fallback == TurtleDefault::RotationZ ? 30
                                 : row.fallback == TurtleDefault::Number    ? row.value
                                                                            : 7;
            std::ostringstream withParameter;
            withParameter.imbue(std::locale::classic());
            withParameter << symbol << '(' << value << ')';
            expectSame(after(plain), after(withParameter.str()), row.symbol);
        }
    }
    // Brackets restore the whole turtle, the count of interpreted symbols too.
    expectSame(after("[+(30);(5)>?'F]"), after(""), "brackets");
}

TEST_F(TurtleSymbols, TheHelpNamesTheDefaults) {
    EXPECT_EQ(defaultText(turtleSymbol(0)), "Z rotation");    // "+"
    EXPECT_EQ(defaultText(turtleSymbol(5)), "0.9");           // ">"
    EXPECT_EQ(defaultText(turtleSymbol(16)), "\xC3\x97 1.1"); // ";"
    EXPECT_EQ(defaultText(turtleSymbol(19)), "\xC3\xB7 1.4"); // "!"
    EXPECT_EQ(defaultText(turtleSymbol(10)), "\xE2\x80\x93"); // "|"
}

} // namespace
