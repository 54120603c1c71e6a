#pragma once
// Parameter expressions and the maps that give their names values.
//
// An Expression is parsed by muParser once, when it is made. The names it uses
// are bound to value slots of its own; every evaluation refills the slots from
// the map it is given, so it sees exactly that map's values, and a name the
// map lacks raises mu::ParserError whose message is the name.

#include <array>
#include <cstddef>
#include <iosfwd>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <muParserError.h>

// Name to number, kept in name order. Up to four entries are held inside the
// object itself, so the small maps made for every rule application cost no
// allocation.
class VariableValueMap {
public:
    struct Entry {
        Entry() = default;
        Entry(const std::string& n, double v) : name(n), value(v) {}
        std::string name;
        double value = 0.0;
    };

    VariableValueMap() = default;
    VariableValueMap(const VariableValueMap& other) = default;
    VariableValueMap(VariableValueMap&& other) noexcept;
    VariableValueMap& operator=(const VariableValueMap& other) = default;
    VariableValueMap& operator=(VariableValueMap&& other) noexcept;

    void set(const std::string& name, double value);
    bool has(const std::string& name) const;
    // Throws mu::ParserError with the name as its message when absent.
    double get(const std::string& name) const;
    // Sets every entry of the other map in turn (its values win).
    void addAll(const VariableValueMap& other);

    std::size_t size() const { return myHeap.empty() ? myInlineCount : myHeap.size(); }
    bool empty() const { return size() == 0; }
    const Entry* begin() const { return myHeap.empty() ? myInline.data() : myHeap.data(); }
    const Entry* end() const { return begin() + size(); }

    // The value of the name, or nullptr when absent. The entry at position
    // hint is tried first and hint is set to where the name was found, so a
    // caller asking the same name of maps laid out alike pays one comparison.
    const double* find(const std::string& name, std::size_t& hint) const;

private:
    static constexpr std::size_t inlineCapacity = 4;

    Entry* data() { return myHeap.empty() ? myInline.data() : myHeap.data(); }
    std::size_t lowerBound(const std::string& name) const;
    void insertAt(std::size_t pos, const std::string& name, double value);

    // The entries, sorted by name with unique names: the first myInlineCount
    // of myInline while myHeap is empty, else all of myHeap.
    std::array<Entry, inlineCapacity> myInline;
    std::size_t myInlineCount = 0;
    std::vector<Entry> myHeap;
};

// "name=value" for each entry, joined by ", ".
std::ostream& operator<<(std::ostream& out, const VariableValueMap& values);

// One muParser expression, parsed when it is made. Copies share nothing: a copy
// parses anew. Evaluation writes the value slots and muParser's stack, so one
// expression is evaluated by one thread at a time.
class Expression {
public:
    explicit Expression(std::string text);
    Expression(const Expression& other);
    Expression(Expression&& other) noexcept;
    Expression& operator=(const Expression& other);
    Expression& operator=(Expression&& other) noexcept;
    ~Expression();

    const std::string& getText() const { return myText; }

    // Evaluates with the map as the only source of variables besides
    // muParser's own constants. Throws mu::ParserError for a syntax error or a
    // name the map lacks (message: the name).
    double evaluate(const VariableValueMap& values) const;

private:
    struct Compiled;
    static std::unique_ptr<Compiled> compile(const std::string& text);
    static double* varFactory(const char* name, void* compiled);

    std::string myText;
    std::unique_ptr<Compiled> myCompiled;
};

// Name to expression, kept in name order.
class FormulaMap {
public:
    FormulaMap() = default;
    // One expression per entry: the value in fixed notation with three
    // decimals.
    explicit FormulaMap(const VariableValueMap& values);

    // Replaces an earlier expression of the name.
    void set(const std::string& name, Expression expression);
    void set(const std::string& name, const std::string& text) { set(name, Expression(text)); }
    bool has(const std::string& name) const;
    // Throws mu::ParserError with the name as its message when absent.
    const Expression& get(const std::string& name) const;
    std::vector<std::string> getNames() const;
    std::size_t size() const { return myFormulas.size(); }

    // Evaluates every formula into the target, so that formulas may refer to
    // each other in any order: passes over the pending formulas in name order
    // until all are done or a pass makes no progress. Formulas that cannot be
    // evaluated (unknown names, syntax errors, cycles) are left out silently.
    void evaluateAll(VariableValueMap& target) const;
    // The circles of formulas that wait for each other, so that none of them
    // can be evaluated (a = b + 1, b = a * 2), each in name order. The target
    // is what evaluateAll gave.
    std::vector<std::vector<std::string>> findCycles(const VariableValueMap& evaluated) const;

    std::map<std::string, Expression>::const_iterator begin() const { return myFormulas.begin(); }
    std::map<std::string, Expression>::const_iterator end() const { return myFormulas.end(); }

private:
    std::map<std::string, Expression> myFormulas;
};

// "name=expression text" for each entry, joined by ", ".
std::ostream& operator<<(std::ostream& out, const FormulaMap& formulas);
