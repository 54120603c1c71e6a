#include "lsys/LSParseHelper.h"

#include <muParserError.h>

#include "options/TextConvert.h"

namespace {

// The parts of the text between the commas, trimmed.
std::vector<std::string> splitAtCommas(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        parts.push_back(
            TextConvert::trim(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start)));
        if (comma == std::string::npos) return parts;
        start = comma + 1;
    }
}

// Skips blanks from pos; returns false at the end of the text.
bool skipBlanks(const std::string& text, std::size_t& pos) {
    while (pos < text.size() && isAtomSeparator(text[pos])) ++pos;
    return pos < text.size();
}

std::int32_t readSymbol(const std::string& text, std::size_t& pos, String2IDManager& registry, bool multiChar) {
    const std::string name = cutSymbolName(text, pos, multiChar);
    pos += name.size();
    return registry.getID(name);
}

// The parameter expressions of a successor or axiom atom when a "(" stands
// at pos; pos moves past the matching ")".
std::vector<std::string> readExpressionList(const std::string& text, std::size_t& pos) {
    if (pos >= text.size() || text[pos] != '(') return {};
    const std::size_t open = pos;
    std::size_t lastOpen = pos;
    int depth = 0;
    for (std::size_t at = pos; at < text.size(); ++at) {
        if (text[at] == '(') {
            ++depth;
            lastOpen = at;
        } else if (text[at] == ')' && --depth == 0) {
            pos = at + 1;
            return splitAtCommas(text.substr(open + 1, at - open - 1));
        }
    }
    throw LSParseHelper::LSParseException("Bracket starting at position " + std::to_string(open) + " or " +
                                              std::to_string(lastOpen) + " was not closed.",
                                          open);
}

} // namespace

PatternString LSParseHelper::readPattern(const std::string& text, String2IDManager& registry, bool multiChar) {
    PatternString pattern;
    std::size_t pos = 0;
    while (skipBlanks(text, pos)) {
        const std::int32_t id = readSymbol(text, pos, registry, multiChar);
        std::size_t open = pos;
        if (skipBlanks(text, open) && text[open] == '(') {
            const std::size_t close = text.find(')', open);
            if (close == std::string::npos)
                throw LSParseException("Missing closing bracket (starting at " + std::to_string(open) + ")", open);
            pattern.append(ParametrisedAtom(id, splitAtCommas(text.substr(open + 1, close - open - 1))));
            pos = close + 1;
        } else {
            pattern.append(ParametrisedAtom(id));
        }
    }
    return pattern;
}

SuccessorString LSParseHelper::readSuccessor(const std::string& text, String2IDManager& registry, bool multiChar) {
    SuccessorString successor;
    std::size_t pos = 0;
    while (skipBlanks(text, pos)) {
        const std::int32_t id = readSymbol(text, pos, registry, multiChar);
        std::vector<Expression> expressions;
        for (std::string& part : readExpressionList(text, pos)) expressions.emplace_back(std::move(part));
        successor.append(MutatingAtom(id, std::move(expressions)));
    }
    return successor;
}

AtomString LSParseHelper::readAxiom(const std::string& text, String2IDManager& registry, bool multiChar,
                                    const VariableValueMap& values) {
    AtomString axiom;
    std::size_t pos = 0;
    std::vector<double> numbers;
    while (skipBlanks(text, pos)) {
        const std::int32_t id = readSymbol(text, pos, registry, multiChar);
        const std::size_t open = pos;
        numbers.clear();
        for (std::string& part : readExpressionList(text, pos)) {
            try {
                numbers.push_back(Expression(std::move(part)).evaluate(values));
            } catch (const mu::ParserError& error) {
                throw LSParseException(error.GetMsg(), open);
            }
        }
        axiom.append(id, numbers.data(), numbers.size());
    }
    return axiom;
}
