#pragma once
// Runs the interpreter on an axiom: the definition's special variables and
// shape records are set by the test, the string of step 0 is interpreted.

#include "diagnostics/ErrorHandler.h"
#include "interpretation/LSysInterpreter.h"
#include "interpretation/MOSGInstancedGeometry.h"
#include "interpretation/TextTree.h"
#include "lsys/LSystem.h"
#include "lsys/LSystemDefinition.h"
#include "lsys/ProgressRetriever.h"
#include "lsys/String2IDManager.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// Cancels at the given poll (never when negative) and records the progress.
class ScriptedProgress : public ProgressRetriever {
public:
    explicit ScriptedProgress(int cancelAtPoll = -1) : myCancelAt(cancelAtPoll) {}
    void setProgress(int percent) override { reported.push_back(percent); }
    bool wasCancelled() override { return myPolls++ == myCancelAt; }

    std::vector<int> reported;

private:
    int myCancelAt;
    int myPolls = 0;
};

class InterpreterTest : public ::testing::Test {
protected:
    InterpreterTest() {
        String2IDManager::instance().registerBuiltins();
        definition.addConstant("_rotX", "90");
        definition.addConstant("_rotY", "90");
        definition.addConstant("_rotZ", "90");
    }

    // A visible, interpreted record of the given type.
    static ShapeDef drawn(ShapeType type = ShapeType::Line) {
        ShapeDef shape;
        shape.type = type;
        shape.interpreted = shape.visible = true;
        return shape;
    }

    // The interpreted group (kept in scene) with its instanced shapes
    // expanded into one transform each, as an object export writes them.
    osg::ref_ptr<osg::Group> run(const std::string& axiom, ProgressRetriever* progress = nullptr) {
        definition.setAxiom(axiom);
        tov::StoringErrorHandler errors;
        lsystem = buildLSystem(definition, String2IDManager::instance(), errors);
        EXPECT_FALSE(errors.hasErrors()) << axiom;
        ScriptedProgress never;
        scene =
            lsystem ? interpreter.interpret(*lsystem, shapes, tweaks, 0, tree, progress ? *progress : never) : nullptr;
        if (!scene) return nullptr;
        const osg::ref_ptr<osg::Node> expanded = expandInstances(*scene);
        return expanded->asGroup();
    }

    const TurtleState& turtle() const { return interpreter.turtle(); }

    LSystemDefinition definition;
    LSysInterpreter::ShapeDefMap shapes;
    TweakMap tweaks;
    TextTree tree;
    LSysInterpreter interpreter;
    std::unique_ptr<LSystem> lsystem;
    osg::ref_ptr<osg::Group> scene;
};
