#pragma once
// Production rules: a predecessor pattern with optional left and right
// contexts and an optional condition, rewritten into one successor
// (SingleRule) or into one of several successors chosen at random with given
// probabilities (MultipleRule).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "lsys/AtomString.h"
#include "lsys/Expressions.h"
#include "lsys/RandomGenerator.h"

// Symbol ids that context matching skips.
using SymbolIDSet = std::set<std::int32_t>;

// The outcome of applying a rule at one position.
struct RuleMatch {
    bool matched = false;
    // Source atoms replaced: the number of atoms of the predecessor pattern.
    std::size_t consumed = 0;
};

class Rule {
public:
    Rule(std::optional<PatternString> leftContext, PatternString predecessor, std::optional<PatternString> rightContext,
         std::optional<Expression> condition);
    virtual ~Rule() = default;

    virtual std::unique_ptr<Rule> clone() const = 0;
    virtual std::size_t getAlternativesCount() const = 0;
    virtual double getProbability(std::size_t i) const = 0;
    // The successor for one application; a stochastic rule draws one number.
    virtual const SuccessorString& chooseSuccessor(RandomGenerator& random) const = 0;
    virtual const SuccessorString& getSuccessor(std::size_t i) const = 0;

    // Null when the rule has no such context or no condition.
    const PatternString* getLeftContext() const { return myLeftContext ? &*myLeftContext : nullptr; }
    const PatternString& getPredecessor() const { return myPredecessor; }
    const PatternString* getRightContext() const { return myRightContext ? &*myRightContext : nullptr; }
    const Expression* getCondition() const { return myCondition ? &*myCondition : nullptr; }

    // True when a pattern atom has parameter names or a successor atom has
    // parameter expressions.
    bool isParametric() const { return myIsParametric; }
    // The names of the left context, then the right context, then the
    // predecessor, in atom order.
    const std::vector<std::string>& getParameterNames() const { return myParameterNames; }
    // Atoms of left context, right context and predecessor together.
    std::size_t getTotalPatternLength() const;

    // Tries the rule at position i of the string. On a match the produced
    // atoms are appended to `produced`: the successor's expressions are
    // evaluated against the bound parameters overwritten by `constants` (the
    // step's rounded constants). Throws mu::ParserError when a condition or
    // successor expression cannot be evaluated.
    RuleMatch apply(const VariableValueMap& constants, const AtomString& string, std::size_t i,
                    const SymbolIDSet& ignored, RandomGenerator& random, AtomString& produced) const;

    // Binds the pattern parameters to the values of the string atoms at plain
    // offsets around position i (atoms outside the string bind nothing) and
    // evaluates the condition against them alone. False when the condition
    // yields 0.0.
    bool bindParameters(const AtomString& string, std::size_t i, VariableValueMap& bound) const;

    // The pattern matchers. matchPredecessor and matchRightContext walk
    // forwards from pos; matchPredecessor leaves pos behind the atoms it
    // passed. matchLeftContext walks backwards from i - 1. Brackets are
    // recognised by their ids, branches are skipped and ignored symbols passed
    // over.
    static bool matchPredecessor(const PatternString& pattern, const AtomString& string, std::size_t& pos,
                                 const SymbolIDSet& ignored);
    static bool matchLeftContext(const PatternString& pattern, const AtomString& string, std::size_t i,
                                 const SymbolIDSet& ignored);
    static bool matchRightContext(const PatternString& pattern, const AtomString& string, std::size_t pos,
                                  const SymbolIDSet& ignored);

protected:
    Rule(const Rule&) = default;
    Rule& operator=(const Rule&) = delete;
    // Marks the rule parametric when the successor has parameter expressions.
    void noteSuccessor(const SuccessorString& successor);

private:
    bool myIsParametric;
    std::optional<PatternString> myLeftContext;
    std::optional<PatternString> myRightContext;
    PatternString myPredecessor;
    std::optional<Expression> myCondition;
    std::vector<std::string> myParameterNames;
};

class SingleRule : public Rule {
public:
    SingleRule(std::optional<PatternString> leftContext, PatternString predecessor,
               std::optional<PatternString> rightContext, std::optional<Expression> condition,
               SuccessorString successor);

    std::unique_ptr<Rule> clone() const override;
    std::size_t getAlternativesCount() const override { return 1; }
    double getProbability(std::size_t) const override { return 1.0; }
    const SuccessorString& chooseSuccessor(RandomGenerator&) const override { return mySuccessor; }
    const SuccessorString& getSuccessor(std::size_t) const override { return mySuccessor; }

private:
    SuccessorString mySuccessor;
};

// One successor of a stochastic rule with its probability as written (not
// normalised).
struct RuleAlternative {
    float probability;
    SuccessorString successor;
};

class MultipleRule : public Rule {
public:
    using Rule::Rule;

    void addAlternative(RuleAlternative alternative);

    std::unique_ptr<Rule> clone() const override;
    std::size_t getAlternativesCount() const override { return myAlternatives.size(); }
    double getProbability(std::size_t i) const override { return myAlternatives.at(i).probability; }
    // Draws r in [0, 1) and selects by it.
    const SuccessorString& chooseSuccessor(RandomGenerator& random) const override;
    // Walks the alternatives: the first whose probability (in single
    // precision) exceeds r is chosen, otherwise r decreases by it. When none
    // is chosen, the first alternative is used.
    const SuccessorString& selectSuccessor(double r) const;
    const SuccessorString& getSuccessor(std::size_t i) const override { return myAlternatives.at(i).successor; }

private:
    std::vector<RuleAlternative> myAlternatives;
};
