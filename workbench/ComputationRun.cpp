#include "workbench/ComputationRun.h"

#include "diagnostics/Exceptions.h"

#include <osg/PositionAttitudeTransform>
#include <osgUtil/Optimizer>

#include <cmath>
#include <new>
#include <string>

namespace {

int integerPart(double value) {
    if (!(value > -2147483648.0 && value < 2147483647.0)) return value > 0 ? 2147483647 : 0;
    return static_cast<int>(value);
}

} // namespace

void ComputationRun::run(LSystem& lsystem, const LSystemDefinition& definition, bool computeOnChange,
                         ComputationProgress& progress, TextTree& statistics) {
    cancelRequested = false;
    result = nullptr;
    errorTitle.clear();
    errorText.clear();
    completionResetsView = false;
    bool derived = false;
    try {
        if (needsDerivation) {
            if (force) lsystem.reset();
            int step = integerPart(lsystem.getValue("_step", 0.0));
            while (lsystem.getValue("_steps", 0.0) > step && !cancelRequested) {
                ++step;
                progress.setStep(step);
                if (!lsystem.doStep(&progress)) cancelRequested = true;
            }
        }
        derived = true;
        reachedStep = integerPart(lsystem.getValue("_step", 0.0));
        if (cancelRequested) {
            // The steps finished so far stay; the shown result is out of date.
            pending = true;
            return;
        }
        if (force || computeOnChange) {
            interpret(lsystem, definition, progress, statistics);
            return;
        }
        pending = true;
        return;
    } catch (const mu::ParserError& error) {
        errorTitle = "Definition error";
        errorText = error.GetMsg();
    } catch (const LSysInterpreter::ParameterFormatException& error) {
        errorTitle = "Definition error";
        errorText = "Parameter '" + error.name() + "' has a false number of entries.";
    } catch (const PolyParenthesisException&) {
        errorTitle = "Definition error";
        errorText = "A polygon was tried to be closed, but no one was opened before.";
    } catch (const StackParenthesisException&) {
        errorTitle = "Definition error";
        errorText = "A stack state was tried to be popped, but none has been pushed before.";
    } catch (const NumberFormatException&) {
        errorTitle = "Definition error";
        errorText = "A value assumed to be numeric is not.";
    } catch (const LSystem::GrowthLimitException& error) {
        errorTitle = "Growth limit";
        errorText = "Step " + std::to_string(error.step()) + " would make a string of about " +
                    std::to_string(error.projected()) + " atoms, more than the limit of " +
                    std::to_string(error.limit()) +
                    " atoms.\n Raise the limit (--max-atoms in batch use) or "
                    "compute fewer steps.";
    } catch (const std::bad_alloc&) {
        // The failed step left the steps before it as they were.
        const int step = integerPart(lsystem.getValue("_step", 0.0));
        const std::size_t atoms = lsystem.getStep(step, nullptr)->length();
        errorTitle = "Error";
        errorText = derived ? "Not enough memory to interpret step " + std::to_string(step) + " (" +
                                  std::to_string(atoms) + " atoms)."
                            : "Not enough memory to compute step " + std::to_string(step + 1) + " (step " +
                                  std::to_string(step) + " holds " + std::to_string(atoms) + " atoms).";
    } catch (...) {
        errorTitle = "Error";
        errorText = "An unknown error occured.";
    }
    reachedStep = integerPart(lsystem.getValue("_step", 0.0));
    if (derived) {
        // The interpretation failed: the derivation is done all the same.
        pending = false;
        needsDerivation = false;
        completionResetsView = resetView;
    }
}

void ComputationRun::interpret(LSystem& lsystem, const LSystemDefinition& definition, ComputationProgress& progress,
                               TextTree& statistics) {
    progress.setInterpreting();
    const int step = static_cast<int>(std::lround(lsystem.getValue("_step", 0.0)));
    osg::ref_ptr<osg::Group> group =
        myInterpreter.interpret(lsystem, definition.getShapeDefs(), definition.getTweaks(), step, statistics, progress);
    if (!group) {
        // Cancelled while interpreting: the view keeps its old scene.
        pending = true;
        return;
    }
    osgUtil::Optimizer optimizer;
    optimizer.optimize(group.get(), osgUtil::Optimizer::CHECK_GEOMETRY);
    osg::ref_ptr<osg::PositionAttitudeTransform> upright = new osg::PositionAttitudeTransform;
    upright->setAttitude(osg::Quat(osg::PI_2, osg::Vec3d(1.0, 0.0, 0.0)));
    upright->addChild(group.get());
    result = upright;
    pending = false;
    needsDerivation = false;
    completionResetsView = resetView;
}
