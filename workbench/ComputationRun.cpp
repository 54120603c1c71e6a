#include "workbench/ComputationRun.h"

#include "diagnostics/Exceptions.h"

#include <osg/PositionAttitudeTransform>
#include <osgUtil/Optimizer>

#include <chrono>
#include <cmath>
#include <new>
#include <sstream>
#include <string>

namespace {

int integerPart(double value) {
    if (!(value > -2147483648.0 && value < 2147483647.0)) return value > 0 ? 2147483647 : 0;
    return static_cast<int>(value);
}

int stepOf(const LSystem& lsystem) { return integerPart(lsystem.getValue("_step", 0.0)); }

double millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

ComputationOutcome ComputationRun::run(const ComputationRequest& request, LSystem& lsystem,
                                       const LSystemDefinition& definition, ComputationProgress& progress) {
    ComputationOutcome outcome;
    outcome.needsDerivation = request.needsDerivation;
    bool derived = false;
    try {
        const auto derivationStart = std::chrono::steady_clock::now();
        if (request.needsDerivation) derive(request, lsystem, progress);
        outcome.times.derivation = millisecondsSince(derivationStart);
        derived = true;
        outcome.reachedStep = stepOf(lsystem);
        if (!myCancelRequested && (request.force || request.computeOnChange)) {
            const auto interpretationStart = std::chrono::steady_clock::now();
            interpret(lsystem, definition, request.step, progress, outcome);
            outcome.times.interpretation = millisecondsSince(interpretationStart);
            if (outcome.result) {
                outcome.needsDerivation = false;
                outcome.resetView = request.resetView;
                return outcome;
            }
        }
        // Cancelled, or not asked to interpret: the steps finished so far
        // stay and the shown result is out of date.
        outcome.pending = true;
        return outcome;
    } catch (const mu::ParserError& error) {
        outcome.errorTitle = "Definition error";
        outcome.errorText = error.GetMsg();
    } catch (const LSysInterpreter::ParameterFormatException& error) {
        outcome.errorTitle = "Definition error";
        outcome.errorText = "Parameter '" + error.name() + "' has a false number of entries." + failurePlace(lsystem);
    } catch (const PolyParenthesisException&) {
        outcome.errorTitle = "Definition error";
        outcome.errorText = "A polygon was tried to be closed, but no one was opened before." + failurePlace(lsystem);
    } catch (const StackParenthesisException&) {
        outcome.errorTitle = "Definition error";
        outcome.errorText =
            "A stack state was tried to be popped, but none has been pushed before." + failurePlace(lsystem);
    } catch (const NumberFormatException&) {
        outcome.errorTitle = "Definition error";
        outcome.errorText = "A value assumed to be numeric is not." + (derived ? failurePlace(lsystem) : "");
    } catch (const LSystem::GrowthLimitException& error) {
        outcome.errorTitle = "Growth limit";
        outcome.errorText = "Step " + std::to_string(error.step()) + " would make a string of about " +
                            std::to_string(error.projected()) + " atoms, more than the limit of " +
                            std::to_string(error.limit()) +
                            " atoms.\n Raise the limit (--max-atoms in batch use) or "
                            "compute fewer steps.";
    } catch (const std::bad_alloc&) {
        // The failed step left the steps before it as they were.
        const int step = derived ? myInterpretedStep : stepOf(lsystem);
        const std::size_t atoms = lsystem.getStep(step, nullptr)->length();
        outcome.errorTitle = "Error";
        outcome.errorText = derived ? "Not enough memory to interpret step " + std::to_string(step) + " (" +
                                          std::to_string(atoms) + " atoms)."
                                    : "Not enough memory to compute step " + std::to_string(step + 1) + " (step " +
                                          std::to_string(step) + " holds " + std::to_string(atoms) + " atoms).";
    } catch (...) {
        outcome.errorTitle = "Error";
        outcome.errorText = "An unknown error occured.";
    }
    outcome.reachedStep = stepOf(lsystem);
    if (derived) {
        // The interpretation failed: the derivation is done all the same.
        outcome.needsDerivation = false;
        outcome.resetView = request.resetView;
    }
    return outcome;
}

std::string ComputationRun::failurePlace(LSystem& lsystem) const {
    const AtomString* atoms = lsystem.getStep(myInterpretedStep, nullptr);
    const std::size_t count = myInterpreter.atomCount();
    const std::size_t index = myInterpreter.atomIndex();
    if (!atoms || count == 0 || index >= atoms->length()) return "";
    // About ten atoms on either side show where in the string it happened.
    constexpr std::size_t around = 10;
    const std::size_t first = index > around ? index - around : 0;
    const std::size_t last = std::min(atoms->length(), index + around + 1);
    std::ostringstream text;
    text << " (atom " << index + 1 << " of " << count << ": " << (first > 0 ? "... " : "");
    for (std::size_t i = first; i < last; ++i) {
        if (i == index) text << ">>";
        atoms->print(text, i);
        if (i == index) text << "<<";
        if (i + 1 < last) text << ' ';
    }
    text << (last < atoms->length() ? " ...)" : ")");
    return text.str();
}

void ComputationRun::derive(const ComputationRequest& request, LSystem& lsystem, ComputationProgress& progress) {
    if (request.force) lsystem.reset();
    int step = stepOf(lsystem);
    Watch watch(progress, myCancelRequested);
    while (lsystem.getValue("_steps", 0.0) > step && !myCancelRequested) {
        ++step;
        progress.setStep(step);
        if (!lsystem.doStep(&watch)) return;
    }
}

void ComputationRun::interpret(LSystem& lsystem, const LSystemDefinition& definition, int step,
                               ComputationProgress& progress, ComputationOutcome& outcome) {
    progress.setInterpreting();
    // Every step up to the one reached is kept: an earlier one is only walked.
    const int reached = static_cast<int>(std::lround(lsystem.getValue("_step", 0.0)));
    myInterpretedStep = step >= 0 && step < reached ? step : reached;
    Watch watch(progress, myCancelRequested);
    osg::ref_ptr<osg::Group> group = myInterpreter.interpret(lsystem, definition.getShapeDefs(), definition.getTweaks(),
                                                             myInterpretedStep, outcome.statistics, watch);
    // Null when cancelled while interpreting: the view keeps its old scene.
    if (!group) return;
    outcome.warnings = myInterpreter.warnings();
    outcome.counts = myInterpreter.statistics();
    osgUtil::Optimizer optimizer;
    optimizer.optimize(group.get(), osgUtil::Optimizer::CHECK_GEOMETRY);
    osg::ref_ptr<osg::PositionAttitudeTransform> upright = new osg::PositionAttitudeTransform;
    upright->setAttitude(osg::Quat(osg::PI_2, osg::Vec3d(1.0, 0.0, 0.0)));
    upright->addChild(group.get());
    outcome.result = upright;
}
