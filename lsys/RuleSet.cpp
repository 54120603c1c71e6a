#include "lsys/RuleSet.h"

#include <algorithm>
#include <string>
#include <unordered_map>

namespace {

// Appends the pattern to the key: absent and empty differ, and every field
// is preceded by its length so that no two patterns give the same text.
void appendKey(std::string& key, const std::optional<PatternString>& pattern) {
    if (!pattern) {
        key += '-';
        return;
    }
    key += std::to_string(pattern->length()) + '(';
    for (const ParametrisedAtom& atom : *pattern) {
        key += std::to_string(atom.getID()) + ':' + std::to_string(atom.getNames().size());
        for (const std::string& name : atom.getNames()) key += ',' + std::to_string(name.size()) + '=' + name;
        key += ';';
    }
}

// Equal for rows of one group: predecessor, contexts and condition text.
std::string groupKey(const CompiledRuleRow& row) {
    std::string key;
    appendKey(key, row.predecessor);
    appendKey(key, row.leftContext);
    appendKey(key, row.rightContext);
    if (row.condition) key += std::to_string(row.condition->getText().size()) + '=' + row.condition->getText();
    return key;
}

bool startsWithBracket(const Rule& rule) {
    const std::int32_t id = rule.getPredecessor()[0].getID();
    return id == openBracketID || id == closeBracketID;
}

} // namespace

std::unique_ptr<RuleSet> RuleSet::build(std::vector<CompiledRuleRow> rows) {
    for (const CompiledRuleRow& row : rows)
        if (!row.predecessor) return nullptr;

    // The rows of each group, in row order; groups in the order of their
    // first rows. One hash lookup per row.
    std::vector<std::vector<std::size_t>> groups;
    {
        std::unordered_map<std::string, std::size_t> groupOfKey;
        groupOfKey.reserve(rows.size());
        for (std::size_t row = 0; row < rows.size(); ++row) {
            const auto found = groupOfKey.emplace(groupKey(rows[row]), groups.size());
            if (found.second) groups.emplace_back();
            groups[found.first->second].push_back(row);
        }
    }

    std::vector<std::unique_ptr<Rule>> rules;
    rules.reserve(groups.size());
    for (const std::vector<std::size_t>& group : groups) {
        CompiledRuleRow& first = rows[group.front()];
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
