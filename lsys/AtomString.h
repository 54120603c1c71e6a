#pragma once
// Strings of atoms.
//
// AtomString holds the axiom and every derived string: atoms with numeric
// values. It is the hot data of the program, so it is stored compactly: one
// symbol id per atom, and only when some atom has values, the values of all
// atoms in one array with a start offset per atom. A string without
// parameters costs four bytes per atom.
//
// Rule patterns and successors are short, and are plain lists of atom objects.

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <utility>
#include <vector>

#include "lsys/Atom.h"
#include "lsys/Expressions.h"

template <class A>
class AtomList {
public:
    AtomList() = default;
    AtomList(std::initializer_list<A> atoms) : myAtoms(atoms) {}

    std::size_t length() const { return myAtoms.size(); }
    bool empty() const { return myAtoms.empty(); }
    const A& operator[](std::size_t i) const { return myAtoms[i]; }
    typename std::vector<A>::const_iterator begin() const { return myAtoms.begin(); }
    typename std::vector<A>::const_iterator end() const { return myAtoms.end(); }

    void append(A atom) { myAtoms.push_back(std::move(atom)); }
    // True when any atom has parameters.
    bool hasParameters() const {
        for (const A& atom : myAtoms)
            if (atom.hasParameters()) return true;
        return false;
    }
    bool operator==(const AtomList& other) const { return myAtoms == other.myAtoms; }
    bool operator!=(const AtomList& other) const { return !(*this == other); }

private:
    std::vector<A> myAtoms;
};

// The printed forms of the atoms one after another, without separators.
template <class A>
std::ostream& operator<<(std::ostream& out, const AtomList<A>& atoms) {
    for (const A& atom : atoms) out << atom;
    return out;
}

// A left context, predecessor or right context of a rule.
using PatternString = AtomList<ParametrisedAtom>;
// The successor of a rule.
using SuccessorString = AtomList<MutatingAtom>;

class AtomString {
public:
    AtomString() = default;
    // One atom per successor atom, its expressions evaluated against the map.
    AtomString(const SuccessorString& successor, const VariableValueMap& values);

    std::size_t length() const { return myIDs.size(); }
    bool empty() const { return myIDs.empty(); }

    // Atom i (i < length()).
    std::int32_t getID(std::size_t i) const { return myIDs[i]; }
    bool isBuiltin(std::size_t i) const { return isBuiltinSymbol(myIDs[i]); }
    std::size_t getValueCount(std::size_t i) const { return myStarts.empty() ? 0 : myStarts[i + 1] - myStarts[i]; }
    // The values of atom i, getValueCount(i) of them.
    const double* getValues(std::size_t i) const {
        return myStarts.empty() ? myValues.data() : myValues.data() + myStarts[i];
    }
    double getValue(std::size_t i, std::size_t k) const { return getValues(i)[k]; }
    // A copy of atom i.
    ValuedAtom getAtom(std::size_t i) const;
    // True when any atom has values.
    bool hasParameters() const { return !myValues.empty(); }

    void append(std::int32_t id) {
        myIDs.push_back(id);
        if (!myStarts.empty()) myStarts.push_back(static_cast<std::uint32_t>(myValues.size()));
    }
    void append(std::int32_t id, const double* values, std::size_t count);
    void append(const ValuedAtom& atom) { append(atom.getID(), atom.getValues().data(), atom.getValueCount()); }
    // Appends a copy of atom i of the source.
    void append(const AtomString& source, std::size_t i) {
        if (source.myStarts.empty())
            append(source.myIDs[i]);
        else
            append(source.myIDs[i], source.getValues(i), source.getValueCount(i));
    }
    // Appends copies of all atoms of the other string.
    void append(const AtomString& other);
    // Moves all atoms of the other string over; the other string is left empty.
    void append(AtomString&& other);
    // Appends one atom per successor atom, its expressions evaluated against
    // the map. When an expression throws mu::ParserError, the string is left
    // as it was and the error propagates.
    void append(const SuccessorString& successor, const VariableValueMap& values);

    // Bytes of heap memory held by the string.
    std::size_t getMemoryUsage() const;

    // Writes the printed form of atom i.
    void print(std::ostream& out, std::size_t i) const;

private:
    void addStarts();

    std::vector<std::int32_t> myIDs;
    // Empty while no atom has values; otherwise length() + 1 offsets into
    // myValues, atom i owning [myStarts[i], myStarts[i + 1]).
    std::vector<std::uint32_t> myStarts;
    std::vector<double> myValues;
};

// The printed forms of the atoms one after another, without separators.
std::ostream& operator<<(std::ostream& out, const AtomString& atoms);
