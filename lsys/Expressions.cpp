#include "lsys/Expressions.h"

#include <algorithm>
#include <ostream>

#include <muParser.h>

#include "options/TextConvert.h"

// ---------------------------------------------------------------- values

namespace {

// Names are short, so plain loops beat library calls. The order is that of
// std::string (bytes compared unsigned).
bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) return false;
    return true;
}

bool nameLess(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}

}  // namespace

std::vector<VariableValueMap::Entry>::const_iterator
VariableValueMap::lowerBound(const std::string& name) const {
    return std::lower_bound(myEntries.begin(), myEntries.end(), name,
                            [](const Entry& entry, const std::string& key) { return nameLess(entry.name, key); });
}

void VariableValueMap::set(const std::string& name, double value) {
    // Names usually arrive in order; appending then needs no search.
    if (myEntries.empty() || nameLess(myEntries.back().name, name)) {
        if (myEntries.capacity() == 0) myEntries.reserve(4);
        myEntries.emplace_back(name, value);
        return;
    }
    auto it = myEntries.begin() + (lowerBound(name) - myEntries.cbegin());
    if (sameName(it->name, name))
        it->value = value;
    else
        myEntries.emplace(it, name, value);
}

bool VariableValueMap::has(const std::string& name) const {
    auto it = lowerBound(name);
    return it != myEntries.end() && sameName(it->name, name);
}

double VariableValueMap::get(const std::string& name) const {
    auto it = lowerBound(name);
    if (it == myEntries.end() || !sameName(it->name, name)) throw mu::ParserError(name);
    return it->value;
}

void VariableValueMap::addAll(const VariableValueMap& other) {
    if (myEntries.empty()) {
        myEntries = other.myEntries;
        return;
    }
    // Merge of two sorted lists; on equal names the other map's value wins.
    std::vector<Entry> merged;
    merged.reserve(myEntries.size() + other.myEntries.size());
    auto mine = myEntries.begin();
    auto theirs = other.myEntries.begin();
    while (mine != myEntries.end() && theirs != other.myEntries.end()) {
        if (nameLess(mine->name, theirs->name)) {
            merged.push_back(std::move(*mine++));
        } else {
            if (!nameLess(theirs->name, mine->name)) ++mine;
            merged.push_back(*theirs++);
        }
    }
    std::move(mine, myEntries.end(), std::back_inserter(merged));
    std::copy(theirs, other.myEntries.end(), std::back_inserter(merged));
    myEntries = std::move(merged);
}

const double* VariableValueMap::find(const std::string& name, std::size_t& hint) const {
    if (hint < myEntries.size() && sameName(myEntries[hint].name, name)) return &myEntries[hint].value;
    auto it = lowerBound(name);
    if (it == myEntries.end() || !sameName(it->name, name)) return nullptr;
    hint = static_cast<std::size_t>(it - myEntries.begin());
    return &it->value;
}

std::ostream& operator<<(std::ostream& out, const VariableValueMap& values) {
    const char* separator = "";
    for (const auto& entry : values) {
        out << separator << entry.name << "=" << entry.value;
        separator = ", ";
    }
    return out;
}

// ---------------------------------------------------------------- expressions

struct Expression::Compiled {
    // One value slot per name of the expression, at an address that muParser
    // keeps for the life of the parser.
    struct Slot {
        std::string name;
        double value;
        std::size_t hint;  // position of the name in the last map it was found in
    };

    mu::Parser parser;
    std::vector<std::unique_ptr<Slot>> slots;
    const VariableValueMap* current = nullptr;  // the map of the running evaluation
};

Expression::Expression(std::string text) : myText(std::move(text)) {}
Expression::Expression(const Expression& other) : myText(other.myText) {}
Expression::Expression(Expression&& other) noexcept = default;
Expression& Expression::operator=(Expression&& other) noexcept = default;
Expression::~Expression() = default;

Expression& Expression::operator=(const Expression& other) {
    if (this != &other) {
        myText = other.myText;
        myCompiled.reset();
    }
    return *this;
}

// Called by muParser while parsing, once for each name it does not know: the
// name gets a slot, filled from the map of the evaluation under way.
double* Expression::varFactory(const char* name, void* data) {
    auto* compiled = static_cast<Compiled*>(data);
    std::size_t hint = 0;
    const double* value = compiled->current->find(name, hint);
    if (value == nullptr) throw mu::ParserError(name);
    compiled->slots.push_back(std::make_unique<Compiled::Slot>(Compiled::Slot{name, *value, hint}));
    return &compiled->slots.back()->value;
}

double Expression::evaluate(const VariableValueMap& values) const {
    if (!myCompiled) {
        myCompiled = std::make_unique<Compiled>();
        myCompiled->parser.SetVarFactory(&Expression::varFactory, myCompiled.get());
        myCompiled->parser.SetExpr(myText);
    }
    // Names bound by an earlier parse are refilled here; names met for the
    // first time (the parse runs until it succeeds once) go through
    // varFactory during Eval.
    for (const auto& slot : myCompiled->slots) {
        const double* value = values.find(slot->name, slot->hint);
        if (value == nullptr) throw mu::ParserError(slot->name);
        slot->value = *value;
    }
    myCompiled->current = &values;
    return myCompiled->parser.Eval();
}

// ---------------------------------------------------------------- formulas

FormulaMap::FormulaMap(const VariableValueMap& values) {
    for (const auto& entry : values)
        myFormulas.emplace_hint(myFormulas.end(), entry.name, Expression(TextConvert::toString(entry.value, 3)));
}

void FormulaMap::set(const std::string& name, Expression expression) {
    myFormulas.insert_or_assign(name, std::move(expression));
}

bool FormulaMap::has(const std::string& name) const { return myFormulas.count(name) != 0; }

const Expression& FormulaMap::get(const std::string& name) const {
    auto it = myFormulas.find(name);
    if (it == myFormulas.end()) throw mu::ParserError(name);
    return it->second;
}

std::vector<std::string> FormulaMap::getNames() const {
    std::vector<std::string> names;
    names.reserve(myFormulas.size());
    for (const auto& entry : myFormulas) names.push_back(entry.first);
    return names;
}

void FormulaMap::evaluateAll(VariableValueMap& target) const {
    std::vector<const std::pair<const std::string, Expression>*> pending;
    for (const auto& entry : myFormulas)
        if (!entry.first.empty()) pending.push_back(&entry);
    bool progress = true;
    while (!pending.empty() && progress) {
        progress = false;
        auto kept = pending.begin();
        for (const auto* entry : pending) {
            try {
                target.set(entry->first, entry->second.evaluate(target));
                progress = true;
            } catch (const mu::ParserError&) {
                *kept++ = entry;
            }
        }
        pending.erase(kept, pending.end());
    }
}

std::ostream& operator<<(std::ostream& out, const FormulaMap& formulas) {
    const char* separator = "";
    for (const auto& entry : formulas) {
        out << separator << entry.first << "=" << entry.second.getText();
        separator = ", ";
    }
    return out;
}
