#pragma once
// The compiled form of a definition that computing works on: axiom and rules
// as atoms, constants as expressions and numbers, the ignored symbols, the
// random generator, and the history of every string derived since the last
// reset.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <string>

#include "diagnostics/ErrorHandler.h"
#include "lsys/AtomString.h"
#include "lsys/Expressions.h"
#include "lsys/LSystemDefinition.h"
#include "lsys/ProgressRetriever.h"
#include "lsys/RandomGenerator.h"
#include "lsys/RuleSet.h"
#include "lsys/String2IDManager.h"

class LSystem {
public:
    // doStep reports progress and polls for cancellation at every multiple of
    // this many atoms.
    static constexpr std::size_t pollInterval = 20;

    // A step stopped because its string grew past the atom limit.
    class GrowthLimitException : public std::exception {
    public:
        GrowthLimitException(int step, std::size_t limit, std::size_t projected)
            : myStep(step), myLimit(limit), myProjected(projected) {}
        const char* what() const noexcept override { return "the string grew past the atom limit"; }
        // The step that was stopped, counted from 1.
        int step() const { return myStep; }
        std::size_t limit() const { return myLimit; }
        // The length the step would have reached, estimated from the share of
        // the source rewritten when it was stopped.
        std::size_t projected() const { return myProjected; }

    private:
        int myStep;
        std::size_t myLimit;
        std::size_t myProjected;
    };

    // Takes the parts over; rules may be null (every step then copies the
    // string). The values are the formulas evaluated by evaluateAll, once.
    // Ends with reset().
    LSystem(std::string axiomText, AtomString axiom, std::unique_ptr<RuleSet> rules, FormulaMap formulas);
    LSystem(const LSystem&) = delete;
    LSystem& operator=(const LSystem&) = delete;

    // Empties the history, sets "_step" to 0, seeds the random generator
    // with the integer part of "_seed" (42 without one) and takes the value of
    // "_steps".
    void reset();

    // One parallel rewriting step: at every position of the latest string the
    // first matching rule replaces the atoms of its predecessor, other atoms
    // are copied. Every pollInterval atoms the progress is reported and
    // cancellation polled. Returns false when cancelled. A cancelled or failed step
    // (mu::ParserError) leaves the system exactly as it was: history, "_step"
    // and random generator. progress may be null.
    bool doStep(ProgressRetriever* progress);

    // The longest string a step may make, in atoms; a step whose string grows
    // past it throws GrowthLimitException and leaves the system as it was.
    // No limit by default.
    void setAtomLimit(std::size_t atoms) { myAtomLimit = atoms; }
    std::size_t getAtomLimit() const { return myAtomLimit; }

    // The string after n steps (the axiom for n <= 0), computing the missing
    // steps first. Null when a step was cancelled. The string belongs to the
    // system and stays valid until the next reset.
    const AtomString* getStep(int n, ProgressRetriever* progress);

    // Stores the value, written in fixed notation with three decimals, as the
    // formula of the name.
    void setVariable(const std::string& name, double value);
    // Throws mu::ParserError when there is no formula of the name.
    const Expression& getVariable(const std::string& name) const { return myFormulas.get(name); }
    bool hasVariable(const std::string& name) const { return myFormulas.has(name); }
    // The value of the formula of the name, or the fallback when there is no
    // such formula or it cannot be evaluated. Evaluates, so only the thread
    // that computes may call it.
    double getValue(const std::string& name, double fallback) const;

    // The integer part of "_step": the steps done since the last reset.
    // Readable from any thread while another one computes.
    int getReachedStep() const { return myReachedStep.load(std::memory_order_relaxed); }

    void setIgnored(std::int32_t id, bool on);
    bool isIgnored(std::int32_t id) const { return myIgnored.count(id) != 0; }

    const std::string& getAxiomText() const { return myAxiomText; }
    const AtomString& getAxiom() const { return myAxiom; }
    // Null when the system has no rules.
    const RuleSet* getRules() const { return myRules.get(); }
    const FormulaMap& getFormulas() const { return myFormulas; }
    const VariableValueMap& getValues() const { return myValues; }
    const SymbolIDSet& getIgnored() const { return myIgnored; }
    // Number of steps in the history.
    std::size_t getHistorySize() const { return myHistory.size(); }
    // Bytes of heap memory held by the strings of the history.
    std::size_t getHistoryMemoryUsage() const;

private:
    // The exception for a step stopped after rewriting done of the source's
    // length atoms, having reached the given length.
    GrowthLimitException growthLimit(double step, std::size_t done, std::size_t length, std::size_t reached) const;

    std::string myAxiomText;
    AtomString myAxiom;
    std::deque<AtomString> myHistory; // entry n-1 is the string after step n
    std::unique_ptr<RuleSet> myRules;
    FormulaMap myFormulas;
    VariableValueMap myValues;
    SymbolIDSet myIgnored;
    RandomGenerator myRandom;
    std::atomic<int> myReachedStep{0};
    std::size_t myAtomLimit = SIZE_MAX;
};

// Compiles the definition: constants into formulas, the axiom (its parameters
// evaluated against the evaluated constants), the rule rows into a RuleSet
// (none when a predecessor is empty), the ignore list into symbol ids. Texts
// that cannot be read are reported to the handler as errors; the result is
// then null.
std::unique_ptr<LSystem> buildLSystem(const LSystemDefinition& definition, String2IDManager& registry,
                                      tov::ErrorHandler& errors);
