#include "lsys/Atom.h"

#include <ostream>

std::string cutSymbolName(const std::string& text, std::size_t pos, bool multiChar) {
    if (pos >= text.size()) return std::string();
    if (!multiChar || isBuiltinCharacter(text[pos])) return text.substr(pos, 1);
    std::size_t end = pos + 1;
    while (end < text.size()) {
        char c = text[end];
        if (isBuiltinCharacter(c) || isAtomSeparator(c) || c == '(') break;
        ++end;
    }
    return text.substr(pos, end - pos);
}

ValuedAtom::ValuedAtom(const MutatingAtom& atom, const VariableValueMap& values) : Atom(atom.getID()) {
    myValues.reserve(atom.getExpressions().size());
    for (const Expression& expression : atom.getExpressions()) myValues.push_back(expression.evaluate(values));
}

namespace {

const std::string& nameOf(const Atom& atom) { return String2IDManager::instance().getName(atom.getID()); }

} // namespace

std::ostream& operator<<(std::ostream& out, const ParametrisedAtom& atom) {
    out << nameOf(atom);
    if (atom.hasParameters()) {
        const char* separator = "(";
        for (const std::string& name : atom.getNames()) {
            out << separator << name;
            separator = ",";
        }
        out << ")";
    }
    return out;
}

std::ostream& operator<<(std::ostream& out, const MutatingAtom& atom) {
    out << nameOf(atom);
    if (atom.hasParameters()) {
        const char* separator = "(";
        for (const Expression& expression : atom.getExpressions()) {
            out << separator << expression.getText();
            separator = ", ";
        }
        out << ")";
    }
    return out;
}

std::ostream& operator<<(std::ostream& out, const ValuedAtom& atom) {
    out << nameOf(atom);
    if (atom.hasParameters()) {
        const char* separator = "(";
        for (double value : atom.getValues()) {
            out << separator << value;
            separator = ",";
        }
        out << ")";
    }
    return out;
}
