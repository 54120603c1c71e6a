#include "lsys/LSystem.h"

#include <cmath>

#include "diagnostics/Blanks.h"
#include "lsys/LSParseHelper.h"
#include "options/TextConvert.h"

namespace {

// The number written in fixed notation with three decimals as a formula,
// evaluated once so that it is ready (and known to be sound).
Expression numberFormula(double value) {
    Expression formula(TextConvert::toString(value, 3));
    formula.evaluate(VariableValueMap());
    return formula;
}

// The integer part of a seed value, taken modulo 2^32 so that any finite
// value gives a seed (-1 gives 4294967295, as the integer conversion does).
std::uint32_t seedFrom(double value) {
    double wrapped = std::fmod(std::trunc(value), 4294967296.0);
    if (wrapped < 0) wrapped += 4294967296.0;
    return static_cast<std::uint32_t>(wrapped);
}

std::string parseError(const std::string& what, const std::string& text,
                       const LSParseHelper::LSParseException& exception) {
    std::string message =
        "Error on parsing " + what + " '" + text + "'.\n Position " + std::to_string(exception.position()) + ".";
    if (!exception.message().empty()) message += "\n Reason: " + exception.message();
    return message;
}

} // namespace

// ---------------------------------------------------------------- LSystem

LSystem::LSystem(std::string axiomText, AtomString axiom, std::unique_ptr<RuleSet> rules, FormulaMap formulas)
    : myAxiomText(std::move(axiomText)), myAxiom(std::move(axiom)), myRules(std::move(rules)),
      myFormulas(std::move(formulas)) {
    myFormulas.evaluateAll(myValues);
    reset();
}

void LSystem::reset() {
    myHistory.clear();
    setVariable("_step", 0.0);
    std::uint32_t seed = 42;
    if (hasVariable("_seed")) {
        try {
            const double value = getVariable("_seed").evaluate(myValues);
            if (std::isfinite(value)) seed = seedFrom(value);
        } catch (const mu::ParserError&) {
            // A seed that cannot be evaluated counts as none.
        }
    }
    myRandom.seed(seed);
    myReachedStep = 0;
}

LSystem::GrowthLimitException LSystem::growthLimit(double step, std::size_t done, std::size_t length,
                                                   std::size_t reached) const {
    const double projected = static_cast<double>(reached) * static_cast<double>(length) / static_cast<double>(done);
    return GrowthLimitException(static_cast<int>(step) + 1, myAtomLimit,
                                projected < 1e19 ? static_cast<std::size_t>(projected) : SIZE_MAX);
}

bool LSystem::doStep(ProgressRetriever* progress) {
    // Expressions of this step see every constant rounded to three decimals.
    VariableValueMap constants;
    FormulaMap(myValues).evaluateAll(constants);
    const double step = hasVariable("_step") ? std::trunc(getVariable("_step").evaluate(myValues)) : 0.0;
    Expression nextStep = numberFormula(step + 1.0);

    const AtomString& source = myHistory.empty() ? myAxiom : myHistory.back();
    const std::size_t length = source.length();
    const RandomGenerator random = myRandom;
    AtomString result;
    try {
        std::size_t nextPoll = 0;
        for (std::size_t i = 0; i < length;) {
            // A rule may consume several atoms, so poll at the first position
            // at or past each multiple of the interval.
            if (i >= nextPoll) {
                nextPoll = i - i % pollInterval + pollInterval;
                if (progress != nullptr) {
                    if (progress->wasCancelled()) {
                        myRandom = random;
                        return false;
                    }
                    progress->setProgress(static_cast<int>(static_cast<double>(i) / length * 100.0));
                }
            }
            if (myRules) {
                const RuleMatch match = myRules->apply(constants, source, i, myIgnored, myRandom, result);
                if (match.matched) {
                    i += match.consumed;
                    if (result.length() > myAtomLimit) throw growthLimit(step, i, length, result.length());
                    continue;
                }
            }
            result.append(source, i);
            ++i;
            if (result.length() > myAtomLimit) throw growthLimit(step, i, length, result.length());
        }
    } catch (...) {
        myRandom = random;
        throw;
    }
    myHistory.push_back(std::move(result));
    myFormulas.set("_step", std::move(nextStep));
    myReachedStep = static_cast<int>(step + 1.0);
    return true;
}

const AtomString* LSystem::getStep(int n, ProgressRetriever* progress) {
    if (n <= 0) return &myAxiom;
    while (myHistory.size() < static_cast<std::size_t>(n))
        if (!doStep(progress)) return nullptr;
    return &myHistory[static_cast<std::size_t>(n) - 1];
}

double LSystem::getValue(const std::string& name, double fallback) const {
    if (!hasVariable(name)) return fallback;
    try {
        return getVariable(name).evaluate(myValues);
    } catch (const mu::ParserError&) {
        return fallback;
    }
}

void LSystem::setVariable(const std::string& name, double value) {
    myFormulas.set(name, numberFormula(value));
}

void LSystem::setIgnored(std::int32_t id, bool on) {
    if (on)
        myIgnored.insert(id);
    else
        myIgnored.erase(id);
}

std::size_t LSystem::getHistoryMemoryUsage() const {
    std::size_t bytes = 0;
    for (const AtomString& step : myHistory) bytes += step.getMemoryUsage();
    return bytes;
}

// ---------------------------------------------------------------- building

std::unique_ptr<LSystem> buildLSystem(const LSystemDefinition& definition, String2IDManager& registry,
                                      tov::ErrorHandler& errors) {
    FormulaMap formulas;
    for (const auto& entry : definition.getConstants()) formulas.set(entry.first, entry.second.value);
    VariableValueMap values;
    formulas.evaluateAll(values);
    bool failed = false;
    for (const std::vector<std::string>& cycle : formulas.findCycles(values)) {
        std::string names;
        for (const std::string& name : cycle) names += (names.empty() ? "" : ", ") + name;
        errors.add(std::make_unique<Error>(cycle.size() == 1 ? "The constant " + names + " depends on itself."
                                                             : "The constants " + names + " depend on each other."));
        failed = true;
    }
    const bool multiChar = values.has("_multichar") && values.get("_multichar") != 0.0;

    auto report = [&](const std::string& what, const std::string& text,
                      const LSParseHelper::LSParseException& exception) {
        errors.add(std::make_unique<Error>(parseError(what, text, exception)));
        failed = true;
    };
    // A pattern text without atoms counts as no pattern.
    auto readPattern = [&](const std::string& what, const std::string& text, std::optional<PatternString>& into) {
        try {
            PatternString pattern = LSParseHelper::readPattern(text, registry, multiChar);
            if (!pattern.empty()) into = std::move(pattern);
        } catch (const LSParseHelper::LSParseException& exception) {
            report(what, text, exception);
        }
    };

    AtomString axiom;
    try {
        axiom = LSParseHelper::readAxiom(definition.getAxiom(), registry, multiChar, values);
    } catch (const LSParseHelper::LSParseException& exception) {
        report("axiom", definition.getAxiom(), exception);
    }

    std::vector<CompiledRuleRow> rows;
    rows.reserve(definition.getRules().size());
    for (const RuleRow& row : definition.getRules()) {
        CompiledRuleRow compiled;
        compiled.probability = row.probability;
        readPattern("left context", row.leftContext, compiled.leftContext);
        readPattern("predecessor", row.predecessor, compiled.predecessor);
        readPattern("right context", row.rightContext, compiled.rightContext);
        if (row.condition.find_first_not_of(blankCharacters) != std::string::npos)
            compiled.condition.emplace(row.condition);
        try {
            compiled.successor = LSParseHelper::readSuccessor(row.successor, registry, multiChar);
        } catch (const LSParseHelper::LSParseException& exception) {
            report("conclusion", row.successor, exception);
        }
        rows.push_back(std::move(compiled));
    }
    if (failed) return nullptr;

    auto system = std::make_unique<LSystem>(definition.getAxiom(), std::move(axiom), RuleSet::build(std::move(rows)),
                                            std::move(formulas));
    // Each entry names one symbol, whatever the character mode.
    for (const std::string& name : definition.getIgnoreList())
        if (!name.empty()) system->setIgnored(registry.getID(name), true);
    return system;
}
