#pragma once
// The compiled rules of an L-system: rule rows grouped into single and
// stochastic rules and sorted so that the rules with the longest patterns are
// tried first.

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "lsys/Rule.h"

// One rule row with its texts parsed. A pattern or condition that was not
// given is absent.
struct CompiledRuleRow {
    float probability = 1.0f;
    std::optional<PatternString> leftContext;
    std::optional<PatternString> rightContext;
    std::optional<PatternString> predecessor;
    std::optional<Expression> condition;
    SuccessorString successor;
};

class RuleSet {
public:
    // Groups the rows: a row joins the group of the first earlier row with
    // equal predecessor, contexts and condition text. A group of one row
    // becomes a SingleRule, a larger one a MultipleRule with the rows'
    // probabilities and successors in row order. The rules are then sorted by
    // descending total pattern length, keeping the order of the groups' first
    // rows among equal lengths. Returns null when a row has no predecessor.
    static std::unique_ptr<RuleSet> build(std::vector<CompiledRuleRow> rows);

    RuleSet(const RuleSet& other);
    RuleSet& operator=(const RuleSet& other);
    RuleSet(RuleSet&&) = default;
    RuleSet& operator=(RuleSet&&) = default;

    std::size_t size() const { return myRules.size(); }
    const Rule& operator[](std::size_t i) const { return *myRules[i]; }

    // Applies the first rule, in sorted order, that matches at position i (see
    // Rule::apply). matched is false when none does.
    RuleMatch apply(const VariableValueMap& constants, const AtomString& string, std::size_t i,
                    const SymbolIDSet& ignored, RandomGenerator& random, AtomString& produced) const;

private:
    explicit RuleSet(std::vector<std::unique_ptr<Rule>> rules);
    // Fills the lookup of candidate rules by symbol id.
    void index();

    std::vector<std::unique_ptr<Rule>> myRules;
    // For each symbol id, in sorted order, the rules that can match at an atom
    // of that symbol: those whose predecessor starts with it, and those whose
    // predecessor starts with a bracket (they search forward for it).
    std::vector<std::vector<const Rule*>> myCandidates;
    // The candidates of ids outside myCandidates: the bracket-led rules.
    std::vector<const Rule*> myBracketLed;
};
