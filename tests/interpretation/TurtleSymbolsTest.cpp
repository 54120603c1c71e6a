// The turtle symbol table says what the interpreter does: each default it
// names is the one the interpreter takes for a missing parameter.

#include "InterpreterFixture.h"

#include "interpretation/TurtleSymbols.h"

#include <cmath>
#include <sstream>

namespace {

struct Observed {
    osg::Vec3d position, heading, side, up;
    double lengthFactor, widthFactor, rotX, rotY, rotZ;
    std::int32_t colourIndex;
};

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
    Observed after(const std::string& axiom) {
        EXPECT_TRUE(run("F" + axiom + "F").valid()) << axiom;
        const TurtleState& t = turtle();
        return {t.position,    t.heading, t.side, t.up,   t.lengthFactor,
                t.widthFactor, t.rotX,    t.rotY, t.rotZ, t.colourIndex};
    }
    static void expectSame(const Observed& a, const Observed& b, const std::string& what) {
        EXPECT_LT((a.position - b.position).length(), 1e-9) << what;
        EXPECT_LT((a.heading - b.heading).length(), 1e-9) << what;
        EXPECT_LT((a.up - b.up).length(), 1e-9) << what;
        EXPECT_NEAR(a.lengthFactor, b.lengthFactor, 1e-12) << what;
        EXPECT_NEAR(a.widthFactor, b.widthFactor, 1e-12) << what;
        EXPECT_NEAR(a.rotZ, b.rotZ, 1e-12) << what;
        EXPECT_EQ(a.colourIndex, b.colourIndex) << what;
    }
    static std::string withParameter(char symbol, double value) {
        std::ostringstream text;
        text.imbue(std::locale::classic());
        text << symbol << '(' << value << ')';
        return text.str();
    }
};

TEST_F(TurtleSymbols, TheDefaultsShownAreTheOnesTheInterpreterTakes) {
    for (const TurtleSymbol& row : turtleSymbols) {
        if (row.id < 0) continue;
        const char symbol = builtinAlphabet[row.id];
        const std::string plain(1, symbol);
        switch (row.fallback) {
        case TurtleDefault::RotationX:
            expectSame(after(plain), after(withParameter(symbol, 10)), row.symbol);
            break;
        case TurtleDefault::RotationY:
            expectSame(after(plain), after(withParameter(symbol, 20)), row.symbol);
            break;
        case TurtleDefault::RotationZ:
            expectSame(after(plain), after(withParameter(symbol, 30)), row.symbol);
            break;
        case TurtleDefault::Number:
            expectSame(after(plain), after(withParameter(symbol, row.value)), row.symbol);
            break;
        case TurtleDefault::MultiplyBy:
            EXPECT_NEAR(after(plain).rotZ, 30 * row.value, 1e-12) << row.symbol;
            break;
        case TurtleDefault::DivideBy:
            EXPECT_NEAR(after(plain).widthFactor, 1 / row.value, 1e-12) << row.symbol;
            break;
        case TurtleDefault::None:
            // A parameter changes nothing (brackets and braces need their partner).
            if (std::string("[]{}").find(symbol) == std::string::npos)
                expectSame(after(plain), after(withParameter(symbol, 7)), row.symbol);
            break;
        }
    }
}

TEST_F(TurtleSymbols, TheHelpNamesTheDefaults) {
    EXPECT_EQ(defaultText(turtleSymbol(0)), "Z rotation");    // "+"
    EXPECT_EQ(defaultText(turtleSymbol(5)), "0.9");           // ">"
    EXPECT_EQ(defaultText(turtleSymbol(16)), "\xC3\x97 1.1"); // ";"
    EXPECT_EQ(defaultText(turtleSymbol(19)), "\xC3\xB7 1.4"); // "!"
    EXPECT_EQ(defaultText(turtleSymbol(10)), "\xE2\x80\x93"); // "|"
}

} // namespace
