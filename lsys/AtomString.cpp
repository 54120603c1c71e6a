#include "lsys/AtomString.h"

#include <limits>
#include <ostream>
#include <stdexcept>

AtomString::AtomString(const SuccessorString& successor, const VariableValueMap& values) { append(successor, values); }

ValuedAtom AtomString::getAtom(std::size_t i) const {
    const double* values = getValues(i);
    return ValuedAtom(myIDs[i], std::vector<double>(values, values + getValueCount(i)));
}

// Switches from the parameterless layout to one with offsets: every atom so
// far has no values.
void AtomString::addStarts() { myStarts.assign(myIDs.size() + 1, static_cast<std::uint32_t>(myValues.size())); }

void AtomString::append(std::int32_t id, const double* values, std::size_t count) {
    if (count == 0) {
        append(id);
        return;
    }
    if (myValues.size() + count > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("atom string holds too many values");
    if (myStarts.empty()) addStarts();
    myIDs.push_back(id);
    myValues.insert(myValues.end(), values, values + count);
    myStarts.push_back(static_cast<std::uint32_t>(myValues.size()));
}

void AtomString::append(const AtomString& other) {
    if (&other == this) {
        AtomString copy(other);
        append(std::move(copy));
        return;
    }
    if (other.myStarts.empty()) {
        myIDs.insert(myIDs.end(), other.myIDs.begin(), other.myIDs.end());
        if (!myStarts.empty())
            myStarts.insert(myStarts.end(), other.myIDs.size(), static_cast<std::uint32_t>(myValues.size()));
        return;
    }
    if (myValues.size() + other.myValues.size() > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("atom string holds too many values");
    if (myStarts.empty()) addStarts();
    const auto base = static_cast<std::uint32_t>(myValues.size());
    myIDs.insert(myIDs.end(), other.myIDs.begin(), other.myIDs.end());
    myValues.insert(myValues.end(), other.myValues.begin(), other.myValues.end());
    myStarts.reserve(myStarts.size() + other.myIDs.size());
    for (std::size_t i = 1; i < other.myStarts.size(); ++i) myStarts.push_back(base + other.myStarts[i]);
}

void AtomString::append(AtomString&& other) {
    if (&other == this) {
        append(static_cast<const AtomString&>(other));
        return;
    }
    if (myIDs.empty())
        *this = std::move(other);
    else
        append(static_cast<const AtomString&>(other));
    other = AtomString();
}

void AtomString::append(const SuccessorString& successor, const VariableValueMap& values) {
    const std::size_t atoms = myIDs.size();
    const std::size_t valueCount = myValues.size();
    const bool hadStarts = !myStarts.empty();
    try {
        for (const MutatingAtom& atom : successor) {
            const auto& expressions = atom.getExpressions();
            if (expressions.empty()) {
                append(atom.getID());
                continue;
            }
            if (myValues.size() + expressions.size() > std::numeric_limits<std::uint32_t>::max())
                throw std::length_error("atom string holds too many values");
            if (myStarts.empty()) addStarts();
            for (const Expression& expression : expressions) myValues.push_back(expression.evaluate(values));
            myIDs.push_back(atom.getID());
            myStarts.push_back(static_cast<std::uint32_t>(myValues.size()));
        }
    } catch (...) {
        myIDs.resize(atoms);
        myValues.resize(valueCount);
        if (hadStarts)
            myStarts.resize(atoms + 1);
        else
            myStarts.clear();
        throw;
    }
}

std::size_t AtomString::getMemoryUsage() const {
    return myIDs.capacity() * sizeof(std::int32_t) + myStarts.capacity() * sizeof(std::uint32_t) +
           myValues.capacity() * sizeof(double);
}

void AtomString::print(std::ostream& out, std::size_t i) const {
    out << String2IDManager::instance().getName(myIDs[i]);
    const std::size_t count = getValueCount(i);
    if (count == 0) return;
    const double* values = getValues(i);
    for (std::size_t k = 0; k < count; ++k) out << (k == 0 ? "(" : ",") << values[k];
    out << ")";
}

std::ostream& operator<<(std::ostream& out, const AtomString& atoms) {
    for (std::size_t i = 0; i < atoms.length(); ++i) atoms.print(out, i);
    return out;
}
