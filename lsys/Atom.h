#pragma once
// Atoms: one symbol id each, with the parameters its role needs — formal names
// in rule patterns, expressions in successors, numbers in the axiom and in
// derived strings.

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "lsys/Expressions.h"
#include "lsys/String2IDManager.h"

// Space and tab separate the atoms of a text.
inline bool isAtomSeparator(char c) { return c == ' ' || c == '\t'; }

// Cuts the symbol name that starts at pos (pos < text.size()). In
// single-character mode it is the one character at pos. In multi-character
// mode a turtle alphabet character is a name of its own; any other name runs up
// to, not including, the next alphabet character, space, tab or "(".
std::string cutSymbolName(const std::string& text, std::size_t pos, bool multiChar);

class Atom {
public:
    explicit Atom(std::int32_t id) : myID(id) {}
    std::int32_t getID() const { return myID; }
    // Same symbol; parameters are not compared.
    bool matches(const Atom& other) const { return myID == other.myID; }
    bool isBuiltin() const { return isBuiltinSymbol(myID); }

protected:
    ~Atom() = default;

    std::int32_t myID;
};

// An atom of a rule pattern (left context, predecessor, right context).
class ParametrisedAtom : public Atom {
public:
    explicit ParametrisedAtom(std::int32_t id, std::vector<std::string> names = {})
        : Atom(id), myNames(std::move(names)) {}
    // Empty when the atom has no parameters.
    const std::vector<std::string>& getNames() const { return myNames; }
    bool hasParameters() const { return !myNames.empty(); }
    // Same symbol and the same names in the same order.
    bool operator==(const ParametrisedAtom& other) const { return myID == other.myID && myNames == other.myNames; }
    bool operator!=(const ParametrisedAtom& other) const { return !(*this == other); }

private:
    std::vector<std::string> myNames;
};

// An atom of a successor: one expression per parameter.
class MutatingAtom : public Atom {
public:
    explicit MutatingAtom(std::int32_t id, std::vector<Expression> expressions = {})
        : Atom(id), myExpressions(std::move(expressions)) {}
    const std::vector<Expression>& getExpressions() const { return myExpressions; }
    bool hasParameters() const { return !myExpressions.empty(); }

private:
    std::vector<Expression> myExpressions;
};

// An atom of the axiom or of a derived string: one number per parameter.
class ValuedAtom : public Atom {
public:
    explicit ValuedAtom(std::int32_t id, std::vector<double> values = {}) : Atom(id), myValues(std::move(values)) {}
    // The successor atom's expressions evaluated in order against the map;
    // throws mu::ParserError when one cannot be evaluated.
    ValuedAtom(const MutatingAtom& atom, const VariableValueMap& values);

    std::size_t getValueCount() const { return myValues.size(); }
    double getValue(std::size_t i) const { return myValues[i]; }
    const std::vector<double>& getValues() const { return myValues; }
    bool hasParameters() const { return !myValues.empty(); }

private:
    std::vector<double> myValues;
};

// Printed forms: the registry's name of the symbol, then the parameters in
// brackets when there are any — names joined by ",", expression texts joined
// by ", ", values joined by "," in the stream's floating-point form.
std::ostream& operator<<(std::ostream& out, const ParametrisedAtom& atom);
std::ostream& operator<<(std::ostream& out, const MutatingAtom& atom);
std::ostream& operator<<(std::ostream& out, const ValuedAtom& atom);
