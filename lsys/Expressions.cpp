#include "lsys/Expressions.h"

#include <algorithm>
#include <map>
#include <ostream>
#include <set>
#include <utility>

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

} // namespace

VariableValueMap::VariableValueMap(VariableValueMap&& other) noexcept
    : myInline(std::move(other.myInline)), myInlineCount(std::exchange(other.myInlineCount, 0)),
      myHeap(std::move(other.myHeap)) {
    other.myHeap.clear();
}

VariableValueMap& VariableValueMap::operator=(VariableValueMap&& other) noexcept {
    if (this != &other) {
        myInline = std::move(other.myInline);
        myInlineCount = std::exchange(other.myInlineCount, 0);
        myHeap = std::move(other.myHeap);
        other.myHeap.clear();
    }
    return *this;
}

std::size_t VariableValueMap::lowerBound(const std::string& name) const {
    const Entry* first = begin();
    return static_cast<std::size_t>(
        std::lower_bound(first, end(), name,
                         [](const Entry& entry, const std::string& key) { return nameLess(entry.name, key); }) -
        first);
}

void VariableValueMap::insertAt(std::size_t pos, const std::string& name, double value) {
    if (myHeap.empty() && myInlineCount < inlineCapacity) {
        // The unused entry behind the last one moves to pos; its string keeps
        // whatever buffer it has.
        for (std::size_t k = myInlineCount; k > pos; --k) std::swap(myInline[k], myInline[k - 1]);
        myInline[pos].name = name;
        myInline[pos].value = value;
        ++myInlineCount;
        return;
    }
    if (myHeap.empty()) {
        myHeap.reserve(2 * inlineCapacity);
        for (std::size_t k = 0; k < myInlineCount; ++k) myHeap.push_back(std::move(myInline[k]));
        myInlineCount = 0;
    }
    myHeap.emplace(myHeap.begin() + static_cast<std::ptrdiff_t>(pos), name, value);
}

void VariableValueMap::set(const std::string& name, double value) {
    const std::size_t count = size();
    // Names usually arrive in order; appending then needs no search.
    if (count > 0 && !nameLess(end()[-1].name, name)) {
        const std::size_t pos = lowerBound(name);
        Entry& entry = data()[pos];
        if (sameName(entry.name, name)) {
            entry.value = value;
            return;
        }
        insertAt(pos, name, value);
        return;
    }
    insertAt(count, name, value);
}

bool VariableValueMap::has(const std::string& name) const {
    const std::size_t pos = lowerBound(name);
    return pos < size() && sameName(begin()[pos].name, name);
}

double VariableValueMap::get(const std::string& name) const {
    const std::size_t pos = lowerBound(name);
    if (pos == size() || !sameName(begin()[pos].name, name)) throw mu::ParserError(name);
    return begin()[pos].value;
}

void VariableValueMap::addAll(const VariableValueMap& other) {
    if (empty()) {
        *this = other;
        return;
    }
    // Merge of two sorted lists; on equal names the other map's value wins.
    VariableValueMap merged;
    if (size() + other.size() > inlineCapacity) merged.myHeap.reserve(size() + other.size());
    const Entry* mine = begin();
    const Entry* theirs = other.begin();
    while (mine != end() || theirs != other.end()) {
        if (theirs == other.end() || (mine != end() && nameLess(mine->name, theirs->name))) {
            merged.insertAt(merged.size(), mine->name, mine->value);
            ++mine;
        } else {
            if (mine != end() && !nameLess(theirs->name, mine->name)) ++mine;
            merged.insertAt(merged.size(), theirs->name, theirs->value);
            ++theirs;
        }
    }
    *this = std::move(merged);
}

const double* VariableValueMap::find(const std::string& name, std::size_t& hint) const {
    const Entry* entries = begin();
    const std::size_t count = size();
    if (hint < count && sameName(entries[hint].name, name)) return &entries[hint].value;
    const std::size_t pos = lowerBound(name);
    if (pos == count || !sameName(entries[pos].name, name)) return nullptr;
    hint = pos;
    return &entries[pos].value;
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
    // One value slot per name of the expression, in the order the parse met
    // them, at an address that muParser keeps for the life of the parser.
    struct Slot {
        std::string name;
        double value;
        std::size_t hint; // position of the name in the last map it was found in
    };

    mu::Parser parser;
    std::vector<std::unique_ptr<Slot>> slots;
    // The syntax error of the text, raised by every evaluation once the names
    // met before it have been looked up.
    std::optional<mu::ParserError> error;
};

Expression::Expression(std::string text) : myText(std::move(text)), myCompiled(compile(myText)) {}
Expression::Expression(const Expression& other) : myText(other.myText), myCompiled(compile(myText)) {}
Expression::Expression(Expression&& other) noexcept = default;
Expression& Expression::operator=(Expression&& other) noexcept = default;
Expression::~Expression() = default;

Expression& Expression::operator=(const Expression& other) {
    if (this != &other) {
        myText = other.myText;
        myCompiled = compile(myText);
    }
    return *this;
}

// muParser parses at its first evaluation, so the text is evaluated once here
// with every name in a slot of value 0; later evaluations run the byte code.
std::unique_ptr<Expression::Compiled> Expression::compile(const std::string& text) {
    auto compiled = std::make_unique<Compiled>();
    compiled->parser.SetVarFactory(&Expression::varFactory, compiled.get());
    try {
        compiled->parser.SetExpr(text);
        compiled->parser.Eval();
    } catch (const mu::ParserError& error) {
        compiled->error = error;
    }
    return compiled;
}

// Called by muParser while parsing, once for each name it does not know.
double* Expression::varFactory(const char* name, void* data) {
    auto* compiled = static_cast<Compiled*>(data);
    compiled->slots.push_back(std::make_unique<Compiled::Slot>(Compiled::Slot{name, 0.0, 0}));
    return &compiled->slots.back()->value;
}

double Expression::evaluate(const VariableValueMap& values) const {
    for (const auto& slot : myCompiled->slots) {
        const double* value = values.find(slot->name, slot->hint);
        if (value == nullptr) throw mu::ParserError(slot->name);
        slot->value = *value;
    }
    if (myCompiled->error) throw *myCompiled->error;
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

std::vector<std::vector<std::string>> FormulaMap::findCycles(const VariableValueMap& evaluated) const {
    // Each formula left out waits for the first name its evaluation misses.
    std::map<std::string, std::string> waitsFor;
    for (const auto& entry : myFormulas) {
        if (entry.first.empty() || evaluated.has(entry.first)) continue;
        try {
            entry.second.evaluate(evaluated);
        } catch (const mu::ParserError& error) {
            const std::string missing = error.GetMsg();
            if (myFormulas.count(missing) != 0 && !evaluated.has(missing)) waitsFor[entry.first] = missing;
        }
    }
    // Following the waits from each formula either ends or comes back to a
    // formula on the way: that part of the way is a circle.
    std::vector<std::vector<std::string>> cycles;
    std::set<std::string> done;
    for (const auto& start : waitsFor) {
        std::vector<std::string> way;
        std::string name = start.first;
        while (done.count(name) == 0 && waitsFor.count(name) != 0 &&
               std::find(way.begin(), way.end(), name) == way.end()) {
            way.push_back(name);
            name = waitsFor[name];
        }
        const auto circle = std::find(way.begin(), way.end(), name);
        if (circle != way.end()) {
            std::vector<std::string> cycle(circle, way.end());
            std::sort(cycle.begin(), cycle.end());
            cycles.push_back(std::move(cycle));
        }
        done.insert(way.begin(), way.end());
    }
    return cycles;
}

std::ostream& operator<<(std::ostream& out, const FormulaMap& formulas) {
    const char* separator = "";
    for (const auto& entry : formulas) {
        out << separator << entry.first << "=" << entry.second.getText();
        separator = ", ";
    }
    return out;
}
