#include "lsys/Rule.h"

#include <algorithm>
#include <stdexcept>

namespace {

bool isIgnored(const SymbolIDSet& ignored, std::int32_t id) { return !ignored.empty() && ignored.count(id) != 0; }

// From s, which is not "[", moves to the first "[" and past it. False when the
// string ends first.
bool passNextOpening(const AtomString& string, std::size_t& s) {
    while (s < string.length() && string.getID(s) != openBracketID) ++s;
    if (s >= string.length()) return false;
    ++s;
    return true;
}

// From s, inside a branch, moves to the "]" that closes it and past it. False
// when the string ends first.
bool passBranchEnd(const AtomString& string, std::size_t& s) {
    int depth = 0;
    for (; s < string.length(); ++s) {
        const std::int32_t id = string.getID(s);
        if (id == openBracketID) {
            ++depth;
        } else if (id == closeBracketID) {
            if (depth == 0) break;
            --depth;
        }
    }
    if (s >= string.length()) return false;
    ++s;
    return true;
}

enum class ForwardPattern { Predecessor, RightContext };

// Walks the pattern forwards over the string from s and leaves s behind the
// atoms passed. "[" and "]" in the pattern move to the next opening and past
// the end of the current branch. A predecessor must begin with its first atom
// right at s; a right context passes over whole branches that open in its way.
// Elsewhere ignored symbols are passed over on either side.
template <ForwardPattern kind>
bool matchForwards(const PatternString& pattern, const AtomString& string, std::size_t& s, const SymbolIDSet& ignored) {
    std::size_t p = 0;
    while (p < pattern.length()) {
        if (s >= string.length()) return false;
        const std::int32_t want = pattern[p].getID();
        const std::int32_t have = string.getID(s);
        if (want == have) {
            ++p;
            ++s;
        } else if (want == openBracketID) {
            if (!passNextOpening(string, s)) return false;
            ++p;
        } else if (kind == ForwardPattern::RightContext && have == openBracketID) {
            // Skip the branch that opens here; the pattern stays.
            ++s;
            passBranchEnd(string, s);
        } else if (want == closeBracketID) {
            if (!passBranchEnd(string, s)) return false;
            ++p;
        } else if (kind == ForwardPattern::Predecessor && p == 0) {
            return false;
        } else if (isIgnored(ignored, want)) {
            ++p;
            if (isIgnored(ignored, have)) ++s;
        } else if (isIgnored(ignored, have)) {
            ++s;
        } else {
            return false;
        }
    }
    return true;
}

void collectNames(const PatternString& pattern, std::vector<std::string>& names) {
    for (const ParametrisedAtom& atom : pattern)
        names.insert(names.end(), atom.getNames().begin(), atom.getNames().end());
}

// Binds the names of each pattern atom to the values of the string atom at
// offset b + j; atoms beyond either end of the string bind nothing.
void bindPattern(const PatternString& pattern, const AtomString& string, std::ptrdiff_t b, VariableValueMap& bound) {
    for (std::size_t j = 0; j < pattern.length(); ++j) {
        const std::ptrdiff_t at = b + static_cast<std::ptrdiff_t>(j);
        if (at < 0 || at >= static_cast<std::ptrdiff_t>(string.length())) continue;
        const std::vector<std::string>& names = pattern[j].getNames();
        const std::size_t index = static_cast<std::size_t>(at);
        const std::size_t count = std::min(names.size(), string.getValueCount(index));
        for (std::size_t k = 0; k < count; ++k) bound.set(names[k], string.getValue(index, k));
    }
}

} // namespace

// ---------------------------------------------------------------- Rule

Rule::Rule(std::optional<PatternString> leftContext, PatternString predecessor,
           std::optional<PatternString> rightContext, std::optional<Expression> condition)
    : myIsParametric(false), myLeftContext(std::move(leftContext)), myRightContext(std::move(rightContext)),
      myPredecessor(std::move(predecessor)), myCondition(std::move(condition)) {
    if (myPredecessor.empty()) throw std::invalid_argument("a rule needs a predecessor");
    if (myLeftContext) collectNames(*myLeftContext, myParameterNames);
    if (myRightContext) collectNames(*myRightContext, myParameterNames);
    collectNames(myPredecessor, myParameterNames);
    myIsParametric = !myParameterNames.empty();
}

void Rule::noteSuccessor(const SuccessorString& successor) {
    if (successor.hasParameters()) myIsParametric = true;
}

std::size_t Rule::getTotalPatternLength() const {
    return (myLeftContext ? myLeftContext->length() : 0) + myPredecessor.length() +
           (myRightContext ? myRightContext->length() : 0);
}

RuleMatch Rule::apply(const VariableValueMap& constants, const AtomString& string, std::size_t i,
                      const SymbolIDSet& ignored, RandomGenerator& random, AtomString& produced) const {
    std::size_t pos = i;
    if (!matchPredecessor(myPredecessor, string, pos, ignored)) return {};
    if (myLeftContext && !matchLeftContext(*myLeftContext, string, i, ignored)) return {};
    if (myRightContext && !matchRightContext(*myRightContext, string, pos, ignored)) return {};
    if (!myIsParametric) {
        produced.append(chooseSuccessor(random), constants);
        return {true, myPredecessor.length()};
    }
    VariableValueMap values;
    if (!bindParameters(string, i, values)) return {};
    // A constant overwrites a bound parameter of the same name.
    values.addAll(constants);
    produced.append(chooseSuccessor(random), values);
    return {true, myPredecessor.length()};
}

bool Rule::bindParameters(const AtomString& string, std::size_t i, VariableValueMap& bound) const {
    const auto at = static_cast<std::ptrdiff_t>(i);
    if (myLeftContext)
        bindPattern(*myLeftContext, string, at - static_cast<std::ptrdiff_t>(myLeftContext->length()), bound);
    bindPattern(myPredecessor, string, at, bound);
    if (myRightContext)
        bindPattern(*myRightContext, string, at + static_cast<std::ptrdiff_t>(myPredecessor.length()), bound);
    return !myCondition || myCondition->evaluate(bound) != 0.0;
}

bool Rule::matchPredecessor(const PatternString& pattern, const AtomString& string, std::size_t& pos,
                            const SymbolIDSet& ignored) {
    std::size_t s = pos;
    if (!matchForwards<ForwardPattern::Predecessor>(pattern, string, s, ignored)) return false;
    pos = s;
    return true;
}

bool Rule::matchLeftContext(const PatternString& pattern, const AtomString& string, std::size_t i,
                            const SymbolIDSet& ignored) {
    std::ptrdiff_t j = static_cast<std::ptrdiff_t>(pattern.length()) - 1;
    std::ptrdiff_t k = static_cast<std::ptrdiff_t>(i) - 1;
    while (j >= 0) {
        if (k < 0) return false;
        const std::int32_t want = pattern[static_cast<std::size_t>(j)].getID();
        const std::int32_t have = string.getID(static_cast<std::size_t>(k));
        if (want == have) {
            --j;
            --k;
        } else if (have == openBracketID) {
            // The context continues in the enclosing branch.
            --k;
        } else if (have == closeBracketID) {
            // Skip the whole branch that ends here; stop on its opening "[".
            --k;
            int depth = 0;
            for (; k >= 0; --k) {
                const std::int32_t id = string.getID(static_cast<std::size_t>(k));
                if (id == openBracketID) {
                    if (depth == 0) break;
                    --depth;
                } else if (id == closeBracketID) {
                    ++depth;
                }
            }
        } else if (isIgnored(ignored, want)) {
            --j;
            if (isIgnored(ignored, have)) --k;
        } else if (isIgnored(ignored, have)) {
            --k;
        } else {
            return false;
        }
    }
    return true;
}

bool Rule::matchRightContext(const PatternString& pattern, const AtomString& string, std::size_t pos,
                             const SymbolIDSet& ignored) {
    return matchForwards<ForwardPattern::RightContext>(pattern, string, pos, ignored);
}

// ---------------------------------------------------------------- SingleRule

SingleRule::SingleRule(std::optional<PatternString> leftContext, PatternString predecessor,
                       std::optional<PatternString> rightContext, std::optional<Expression> condition,
                       SuccessorString successor)
    : Rule(std::move(leftContext), std::move(predecessor), std::move(rightContext), std::move(condition)),
      mySuccessor(std::move(successor)) {
    noteSuccessor(mySuccessor);
}

std::unique_ptr<Rule> SingleRule::clone() const { return std::unique_ptr<Rule>(new SingleRule(*this)); }

// ---------------------------------------------------------------- MultipleRule

void MultipleRule::addAlternative(RuleAlternative alternative) {
    noteSuccessor(alternative.successor);
    myAlternatives.push_back(std::move(alternative));
}

std::unique_ptr<Rule> MultipleRule::clone() const { return std::unique_ptr<Rule>(new MultipleRule(*this)); }

const SuccessorString& MultipleRule::chooseSuccessor(RandomGenerator& random) const {
    return selectSuccessor(random.nextDouble());
}

const SuccessorString& MultipleRule::selectSuccessor(double r) const {
    for (const RuleAlternative& alternative : myAlternatives) {
        const double p = alternative.probability;
        if (p > r) return alternative.successor;
        r -= p;
    }
    return myAlternatives.at(0).successor;
}
