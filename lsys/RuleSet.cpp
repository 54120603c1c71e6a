#include "lsys/RuleSet.h"

#include <algorithm>

namespace {

bool samePattern(const std::optional<PatternString>& a, const std::optional<PatternString>& b) {
    return a.has_value() == b.has_value() && (!a || *a == *b);
}

bool sameCondition(const std::optional<Expression>& a, const std::optional<Expression>& b) {
    return a.has_value() == b.has_value() && (!a || a->getText() == b->getText());
}

bool sameGroup(const CompiledRuleRow& a, const CompiledRuleRow& b) {
    return samePattern(a.predecessor, b.predecessor) && samePattern(a.leftContext, b.leftContext) &&
           samePattern(a.rightContext, b.rightContext) && sameCondition(a.condition, b.condition);
}

bool startsWithBracket(const Rule& rule) {
    const std::int32_t id = rule.getPredecessor()[0].getID();
    return id == openBracketID || id == closeBracketID;
}

} // namespace

std::unique_ptr<RuleSet> RuleSet::build(std::vector<CompiledRuleRow> rows) {
    for (const CompiledRuleRow& row : rows)
        if (!row.predecessor) return nullptr;

    std::vector<std::unique_ptr<Rule>> rules;
    std::vector<bool> taken(rows.size(), false);
    for (std::size_t head = 0; head < rows.size(); ++head) {
        if (taken[head]) continue;
        std::vector<std::size_t> group{head};
        for (std::size_t other = head + 1; other < rows.size(); ++other)
            if (!taken[other] && sameGroup(rows[head], rows[other])) group.push_back(other);
        for (std::size_t row : group) taken[row] = true;

        CompiledRuleRow& first = rows[head];
        if (group.size() == 1) {
            rules.push_back(std::make_unique<SingleRule>(std::move(first.leftContext), std::move(*first.predecessor),
                                                         std::move(first.rightContext), std::move(first.condition),
                                                         std::move(first.successor)));
            continue;
        }
        auto rule =
            std::make_unique<MultipleRule>(first.leftContext, *first.predecessor, first.rightContext, first.condition);
        for (std::size_t row : group) rule->addAlternative({rows[row].probability, std::move(rows[row].successor)});
        rules.push_back(std::move(rule));
    }
    std::stable_sort(rules.begin(), rules.end(), [](const auto& a, const auto& b) {
        return a->getTotalPatternLength() > b->getTotalPatternLength();
    });
    return std::unique_ptr<RuleSet>(new RuleSet(std::move(rules)));
}

RuleSet::RuleSet(std::vector<std::unique_ptr<Rule>> rules) : myRules(std::move(rules)) { index(); }

RuleSet::RuleSet(const RuleSet& other) {
    myRules.reserve(other.myRules.size());
    for (const auto& rule : other.myRules) myRules.push_back(rule->clone());
    index();
}

RuleSet& RuleSet::operator=(const RuleSet& other) {
    if (this != &other) *this = RuleSet(other);
    return *this;
}

void RuleSet::index() {
    myCandidates.clear();
    myBracketLed.clear();
    std::int32_t maxID = -1;
    for (const auto& rule : myRules)
        if (!startsWithBracket(*rule)) maxID = std::max(maxID, rule->getPredecessor()[0].getID());
    myCandidates.resize(static_cast<std::size_t>(maxID + 1));
    for (const auto& rule : myRules) {
        if (startsWithBracket(*rule)) {
            myBracketLed.push_back(rule.get());
            for (auto& candidates : myCandidates) candidates.push_back(rule.get());
        } else if (rule->getPredecessor()[0].getID() >= 0) {
            myCandidates[static_cast<std::size_t>(rule->getPredecessor()[0].getID())].push_back(rule.get());
        }
    }
}

RuleMatch RuleSet::apply(const VariableValueMap& constants, const AtomString& string, std::size_t i,
                         const SymbolIDSet& ignored, RandomGenerator& random, AtomString& produced) const {
    const std::int32_t id = string.getID(i);
    const std::vector<const Rule*>& candidates = id >= 0 && static_cast<std::size_t>(id) < myCandidates.size()
                                                     ? myCandidates[static_cast<std::size_t>(id)]
                                                     : myBracketLed;
    for (const Rule* rule : candidates) {
        const RuleMatch match = rule->apply(constants, string, i, ignored, random, produced);
        if (match.matched) return match;
    }
    return {};
}
