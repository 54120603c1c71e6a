#include "interpretation/TurtleSymbols.h"

#include <locale>
#include <sstream>

namespace {

// "1", "0.9", "1.1": as short as the number allows.
std::string shortNumber(double value) {
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << value;
    return text.str();
}

} // namespace

const TurtleSymbol& turtleSymbol(std::int32_t id) {
    // Built once: the row of each id.
    static const auto rows = [] {
        std::array<const TurtleSymbol*, sizeof builtinAlphabet - 1> found{};
        for (const TurtleSymbol& symbol : turtleSymbols)
            if (symbol.id >= 0) found[symbol.id] = &symbol;
        return found;
    }();
    return *rows.at(static_cast<std::size_t>(id));
}

std::string defaultText(const TurtleSymbol& symbol) {
    switch (symbol.fallback) {
    case TurtleDefault::None:
        return "\xE2\x80\x93";
    case TurtleDefault::RotationX:
        return "X rotation";
    case TurtleDefault::RotationY:
        return "Y rotation";
    case TurtleDefault::RotationZ:
        return "Z rotation";
    case TurtleDefault::Number:
        return shortNumber(symbol.value);
    case TurtleDefault::MultiplyBy:
        return "\xC3\x97 " + shortNumber(symbol.value);
    case TurtleDefault::DivideBy:
        return "\xC3\xB7 " + shortNumber(symbol.value);
    }
    return "";
}
