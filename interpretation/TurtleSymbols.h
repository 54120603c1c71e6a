#pragma once
// The turtle's symbols: what each does and what it takes when its atom has
// no parameter. The interpreter takes its defaults from this table and the
// symbol help shows it, so that the two cannot tell different stories.

#include "lsys/String2IDManager.h"

#include <array>
#include <cstdint>
#include <string>

// What a symbol does without a parameter.
enum class TurtleDefault {
    None,      // it takes no parameter
    RotationX, // the current default rotations stand in for the parameter
    RotationY,
    RotationZ,
    Number,     // `value` stands in for the parameter
    MultiplyBy, // the values it changes are multiplied by `value`
    DivideBy,   // the values it changes are divided by `value`
};

struct TurtleSymbol {
    const char* symbol; // as shown, in UTF-8
    std::int32_t id;    // the built-in symbol's id; -1 for the moving symbols F, f, G, g
    const char* meaning;
    TurtleDefault fallback;
    double value;
};

// In the order the help lists them: moves, turns, the stack, polygons,
// colours, angles, width and length, the rest. Every built-in symbol once.
inline constexpr std::array<TurtleSymbol, 31> turtleSymbols{{
    {"F", -1,
     "move forward and draw the shape; inside a polygon record a vertex instead; the parameter scales the length",
     TurtleDefault::Number, 1.0},
    {"f", -1, "move forward without drawing; the parameter scales the length", TurtleDefault::Number, 1.0},
    {"G", -1, "as F, but inside a polygon only move, recording no vertex", TurtleDefault::Number, 1.0},
    {"g", -1, "as f", TurtleDefault::Number, 1.0},
    {".", 24, "record a vertex of the open polygon where the last move ended", TurtleDefault::None, 0.0},
    {"+", 0, "turn left by the parameter, in degrees", TurtleDefault::RotationZ, 0.0},
    {"-", 1, "turn right by the parameter, in degrees", TurtleDefault::RotationZ, 0.0},
    {"^", 3, "pitch up by the parameter, in degrees", TurtleDefault::RotationY, 0.0},
    {"&", 2, "pitch down by the parameter, in degrees", TurtleDefault::RotationY, 0.0},
    {"\\", 6, "roll left by the parameter, in degrees", TurtleDefault::RotationX, 0.0},
    {"/", 7, "roll right by the parameter, in degrees", TurtleDefault::RotationX, 0.0},
    {"|", 10, "turn around (180 degrees)", TurtleDefault::None, 0.0},
    {"$", 21, "roll about the heading until the side is horizontal", TurtleDefault::None, 0.0},
    {"#", 11, "reverse the direction of every later turn, pitch and roll", TurtleDefault::None, 0.0},
    {"[", 8, "start a branch: push the turtle's state", TurtleDefault::None, 0.0},
    {"]", 9, "end a branch: pop the turtle's state", TurtleDefault::None, 0.0},
    {"{", 12, "start a polygon", TurtleDefault::None, 0.0},
    {"}", 13, "close the polygon and fill it", TurtleDefault::None, 0.0},
    {"'", 15, "increase the colour index by the parameter", TurtleDefault::Number, 1.0},
    {"\"", 14, "decrease the colour index by the parameter", TurtleDefault::Number, 1.0},
    {";", 16, "add the parameter to the default rotations; without one, multiply them", TurtleDefault::MultiplyBy, 1.1},
    {":", 17, "subtract the parameter from the default rotations; without one, multiply them",
     TurtleDefault::MultiplyBy, 0.9},
    {",", 25, "divide the default rotations by the parameter", TurtleDefault::Number, 1.1},
    {"?", 18, "multiply the width by the parameter", TurtleDefault::Number, 1.4},
    {"!", 19, "set the width factor to the parameter; without one, divide the width", TurtleDefault::DivideBy, 1.4},
    {">", 5, "multiply the length by the parameter", TurtleDefault::Number, 0.9},
    {"<", 4, "divide the length by the parameter", TurtleDefault::Number, 1.1},
    {"\xC2\xA7", 23, "pitch up by the tropism strength times the heading's length in the x-y plane",
     TurtleDefault::None, 0.0},
    {"~", 20, "no effect", TurtleDefault::None, 0.0},
    {"\xC2\xB0", 22, "no effect", TurtleDefault::None, 0.0},
    {"%", 26, "no effect", TurtleDefault::None, 0.0},
}};

// The row of a built-in symbol.
const TurtleSymbol& turtleSymbol(std::int32_t id);

// What the help shows for the default: "Z rotation", "1.1", "× 1.1",
// "÷ 1.4", or "–" for a symbol without a parameter.
std::string defaultText(const TurtleSymbol& symbol);

namespace turtle_symbols_detail {

// The UTF-8 form of one Latin-1 byte of the alphabet.
constexpr bool showsByte(const char* shown, char byte) {
    const auto code = static_cast<unsigned char>(byte);
    if (code < 0x80) return shown[0] == byte && shown[1] == '\0';
    return static_cast<unsigned char>(shown[0]) == (0xC0 | (code >> 6)) &&
           static_cast<unsigned char>(shown[1]) == (0x80 | (code & 0x3F)) && shown[2] == '\0';
}

constexpr bool coversAlphabet() {
    for (std::int32_t id = 0; id < static_cast<std::int32_t>(sizeof builtinAlphabet) - 1; ++id) {
        int rows = 0;
        for (const TurtleSymbol& symbol : turtleSymbols)
            if (symbol.id == id) rows += showsByte(symbol.symbol, builtinAlphabet[id]) ? 1 : 100;
        if (rows != 1) return false;
    }
    return true;
}

} // namespace turtle_symbols_detail

static_assert(turtle_symbols_detail::coversAlphabet(),
              "every symbol of the turtle alphabet has one row, showing its character");
