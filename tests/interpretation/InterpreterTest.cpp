#include "diagnostics/ErrorHandler.h"
#include "diagnostics/Exceptions.h"
#include "interpretation/GeometryBuilders.h"
#include "interpretation/LSysInterpreter.h"
#include "interpretation/MOSGInstancedGeometry.h"
#include "interpretation/TextTree.h"
#include "interpretation/TurtleSymbols.h"
#include "lsys/LSystem.h"
#include "lsys/LSystemDefinition.h"
#include "lsys/ProgressRetriever.h"
#include "lsys/String2IDManager.h"

#include <osg/Geode>
#include <osg/Material>
#include <osg/MatrixTransform>
#include <osg/io_utils>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Cancels at the given poll (never when negative) and records the progress.
struct ScriptedProgress : ProgressRetriever {
    explicit ScriptedProgress(int cancelAtPoll = -1) : cancelAt(cancelAtPoll) {}
    void setProgress(int percent) override { reported.push_back(percent); }
    bool wasCancelled() override { return polls++ == cancelAt; }
    int cancelAt, polls = 0;
    std::vector<int> reported;
};

// The interpreter runs on an axiom: the definition's special variables and
// shape records are set by the test, the string of step 0 is interpreted.
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
        return scene ? expandInstances(*scene)->asGroup() : nullptr;
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

const double tolerance = 1e-9;

::testing::AssertionResult near(const osg::Vec3d& expected, const osg::Vec3d& actual) {
    if ((expected - actual).length() < 1e-6) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected " << expected << " but got " << actual;
}

#define EXPECT_VEC_NEAR(expected, actual) EXPECT_TRUE(near((expected), (actual)))

// Sign of the frame's orientation; the turtle starts with side x heading = up.
double handedness(const TurtleState& t) { return (t.side ^ t.heading) * t.up; }

osg::Matrixd matrixOf(osg::Group* group, unsigned child) {
    auto* transform = dynamic_cast<osg::MatrixTransform*>(group->getChild(child));
    EXPECT_NE(nullptr, transform);
    return transform ? transform->getMatrix() : osg::Matrixd();
}

// The distinct vertices of the one polygon in the group, rounded to
// millimetres and sorted; none when the group holds anything else.
std::vector<osg::Vec3> polygonVertices(const osg::Group& group) {
    const osg::Geode* geode = group.getNumChildren() == 1 ? group.getChild(0)->asGeode() : nullptr;
    if (!geode) return {};
    std::vector<osg::Vec3> result;
    for (const osg::Vec3& v :
         *static_cast<const osg::Vec3Array*>(geode->getDrawable(0)->asGeometry()->getVertexArray()))
        result.emplace_back(std::round(v.x() * 1000) / 1000 + 0.0f, std::round(v.y() * 1000) / 1000 + 0.0f,
                            std::round(v.z() * 1000) / 1000 + 0.0f);
    std::sort(result.begin(), result.end());
    result.erase(std::unique(result.begin(), result.end()), result.end());
    return result;
}

bool finite(const osg::Vec3d& v) { return std::isfinite(v.x()) && std::isfinite(v.y()) && std::isfinite(v.z()); }

// Whether every vertex of the expanded scene, placed, is a finite number.
bool finiteScene(const osg::Group& scene) {
    for (unsigned i = 0; i < scene.getNumChildren(); ++i) {
        const auto* transform = dynamic_cast<const osg::MatrixTransform*>(scene.getChild(i));
        const osg::Geode* geode = (transform ? transform->getChild(0) : scene.getChild(i))->asGeode();
        if (!geode) return false;
        const osg::Matrixd matrix = transform ? transform->getMatrix() : osg::Matrixd();
        for (unsigned d = 0; d < geode->getNumDrawables(); ++d)
            for (const osg::Vec3& v :
                 *static_cast<const osg::Vec3Array*>(geode->getDrawable(d)->asGeometry()->getVertexArray()))
                if (!finite(v * matrix)) return false;
    }
    return true;
}

const std::string notDrawn = "' reaches a length, width or position that is not a finite number; those shapes are "
                             "not drawn.";
const std::string notTurned = "' has an angle that is not a finite number; those turns are not made.";

// One number of the turtle after each axiom.
TEST_F(InterpreterTest, StepsFactorsColoursAndAnglesFollowTheirSymbols) {
    const auto y = [](const TurtleState& t) { return t.position.y(); };
    const auto width = [](const TurtleState& t) { return t.widthFactor; };
    const auto colour = [](const TurtleState& t) { return double(t.colourIndex); };
    // Of the heading, from +y towards -x, in degrees.
    const auto angle = [](const TurtleState& t) { return std::atan2(-t.heading.x(), t.heading.y()) * 180 / M_PI; };
    const struct {
        const char* axiom;
        double (*measure)(const TurtleState&);
        double expected;
    } cases[] = {
        {"F(2.5)", y, 25},                              // the parameter scales the step
        {"F>F<F>(2)F", y, 10 + 9 + 9 / 1.1 + 18 / 1.1}, // ">" shortens by 0.9, "<" by 1/1.1
        {"?(3)?!", width, 3},
        {"?(3)!(2)", width, 2}, // set, not divided
        // The colour index steps and wraps.
        {"'(3.7)", colour, 3},
        {"\"", colour, 255},
        {"\"'", colour, 0},
        {"'(300)", colour, 0},
        {"'(3)\"(0.5)", colour, 2},
        {"'(-1)", colour, 255},
        {"\"(-300)", colour, 0},
        {"'(0/0)", colour, 0},
        // Angle changes apply to later turns, not past a "]" (without a parameter:
        // the symbol table's defaults, checked below).
        {";(10)+", angle, 100},
        {":(30)+", angle, 60},
        {",(2)+", angle, 45},
        {"[;(10)]+", angle, 90},
        {"+(30)", angle, 30},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(run(c.axiom).valid()) << c.axiom;
        EXPECT_NEAR(c.expected, c.measure(turtle()), tolerance) << c.axiom;
    }
}

TEST_F(InterpreterTest, TurnsPitchesAndRolls) {
    const struct {
        const char* axiom;
        osg::Vec3d heading, side, up;
    } cases[] = {
        {"+", {-1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
        {"-", {1, 0, 0}, {0, -1, 0}, {0, 0, 1}},
        {"&", {0, 0, 1}, {1, 0, 0}, {0, -1, 0}},
        {"^", {0, 0, -1}, {1, 0, 0}, {0, 1, 0}},
        {"\\", {0, 1, 0}, {0, 0, -1}, {1, 0, 0}},
        {"/", {0, 1, 0}, {0, 0, 1}, {-1, 0, 0}},
        {"|", {0, -1, 0}, {-1, 0, 0}, {0, 0, 1}},
        {"+(180)", {0, -1, 0}, {-1, 0, 0}, {0, 0, 1}},
        {"#+", {1, 0, 0}, {0, -1, 0}, {0, 0, 1}},
        {"#|", {0, -1, 0}, {-1, 0, 0}, {0, 0, 1}},  // the turn-around ignores the reversal
        {"[#]+", {1, 0, 0}, {0, -1, 0}, {0, 0, 1}}, // "]" does not undo the reversal
        {"~%\xB0", {0, 1, 0}, {1, 0, 0}, {0, 0, 1}},
        {"&(90)$", {0, 0, 1}, {-1, 0, 0}, {0, 1, 0}}, // "$": side horizontal, up upwards
        {"$", {0, 1, 0}, {1, 0, 0}, {0, 0, 1}},       // heading vertical: the frame stays
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.axiom);
        ASSERT_TRUE(run(c.axiom).valid());
        EXPECT_VEC_NEAR(c.heading, turtle().heading);
        EXPECT_VEC_NEAR(c.side, turtle().side);
        EXPECT_VEC_NEAR(c.up, turtle().up);
    }
}

TEST_F(InterpreterTest, InitialDirectionTurnsAboutXThenYThenZ) {
    definition.addConstant("_idirZ", "90");
    run("F");
    EXPECT_VEC_NEAR(osg::Vec3d(10, 0, 0), turtle().position);
    EXPECT_VEC_NEAR(osg::Vec3d(0, -1, 0), turtle().side);

    definition.addConstant("_idirZ", "0");
    definition.addConstant("_idirX", "90");
    run("F");
    EXPECT_VEC_NEAR(osg::Vec3d(0, 0, 10), turtle().position);
    EXPECT_VEC_NEAR(osg::Vec3d(0, -1, 0), turtle().up);

    definition.addConstant("_idirY", "90"); // after x: (0,0,1) is turned to (-1,0,0)
    run("F");
    EXPECT_VEC_NEAR(osg::Vec3d(-10, 0, 0), turtle().position);
}

TEST_F(InterpreterTest, UserSymbolsFollowTheirShapeRecords) {
    ShapeDef skipped = drawn();
    skipped.interpreted = false;
    shapes["A"] = skipped;
    osg::ref_ptr<osg::Group> group = run("AfFA"); // "f" has no record: moves invisibly
    EXPECT_VEC_NEAR(osg::Vec3d(0, 20, 0), turtle().position);
    ASSERT_EQ(1u, group->getNumChildren());
    EXPECT_VEC_NEAR(osg::Vec3d(0, 10, 0), matrixOf(group.get(), 0).getTrans()); // a line starts where F starts
    EXPECT_EQ(2, turtle().interpretedCount);

    shapes["T"] = drawn(ShapeType::Tube);
    group = run("T");
    ASSERT_EQ(1u, group->getNumChildren()); // the tube holds its two caps
    EXPECT_VEC_NEAR(osg::Vec3d(0, 5, 0), matrixOf(group.get(), 0).getTrans());
    EXPECT_EQ(1u, interpreter.statistics().visibleItems());
}

TEST_F(InterpreterTest, TropismBendsByAtMost30DegreesAndGravityByTheStrength) {
    const double bent = M_PI / 2 * 0.1;
    const struct {
        const char *direction, *strength, *axiom;
        osg::Vec3d heading;
    } cases[] = {
        {"(1, 0, 0)", "0.1", "F", {std::sin(bent), std::cos(bent), 0}},
        {"(1, 0, 0)", "1000", "F", {0.5, std::sqrt(0.75), 0}},
        {"(1, 0, 0)", "1000", "fA", {0, 1, 0}},            // neither invisible nor uninterpreted symbols bend
        {"2,0,0", "1000", "F", {0.5, std::sqrt(0.75), 0}}, // brackets optional, normalised
        {"(1, 0, 0)", "0", "FF", {0, 1, 0}},
        {"(0,0,0)", "1", "FF", {0, 1, 0}},
        // Gravity turns by the strength: heading (-1,0,0) gives T = (1,0,0), dot -1, so "&(-90)".
        {"(1, 0, 0)", "90", "+(90)\xA7", {0, 0, -1}},
        {"(1, 0, 0)", "90", "&(90)\xA7", {0, 0, 1}}, // heading (0,0,1): T = (0,0,0), no turn
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.axiom) + " towards " + c.direction + " by " + c.strength);
        tweaks["tropism.direction"] = c.direction;
        tweaks["tropism.strength"] = c.strength;
        run(c.axiom);
        EXPECT_VEC_NEAR(c.heading, turtle().heading);
        EXPECT_NEAR(handedness(TurtleState()), handedness(turtle()), tolerance);
    }
}

TEST_F(InterpreterTest, PolygonsCollectTheirVertices) {
    ShapeDef red = drawn();
    red.material.diffuse[0] = 1.0f;
    shapes["F"] = red;
    osg::ref_ptr<osg::Group> group = run("{F+(120)F+(120)F}");
    EXPECT_EQ(3u, polygonVertices(*group).size());
    ASSERT_EQ(1u, group->getNumChildren());
    const auto* material = dynamic_cast<const osg::Material*>(
        group->getChild(0)->getStateSet()->getAttribute(osg::StateAttribute::MATERIAL));
    ASSERT_NE(nullptr, material);
    EXPECT_EQ(1.0f, material->getDiffuse(osg::Material::FRONT).r());
    EXPECT_EQ(0u, interpreter.statistics().visibleItems());
    EXPECT_EQ(1u, interpreter.statistics().polygons());

    // G moves without a vertex.
    EXPECT_EQ((std::vector<osg::Vec3>{{-10, 10, 0}, {0, 0, 0}, {0, 10, 0}}), polygonVertices(*run("{F+F+G+F}")));

    // "." records the end of the last forward movement, even after "]".
    EXPECT_EQ((std::vector<osg::Vec3>{{-10, 0, 0}, {0, -10, 0}, {0, 10, 0}}),
              polygonVertices(*run("{[f].+[f].+[f].}")));
}

TEST_F(InterpreterTest, PolygonsNestAndWhatEndsTheInterpretationLeavesNothingOpen) {
    EXPECT_EQ(2u, run("{F+{F+F+F}F+F}")->getNumChildren());
    EXPECT_EQ(2u, interpreter.statistics().polygons());
    EXPECT_EQ(0u, run("{}")->getNumChildren());
    EXPECT_EQ(1u, interpreter.statistics().polygons());
    EXPECT_EQ(1u, run("F{F+F+F")->getNumChildren());  // an open polygon is dropped
    EXPECT_THROW(run("}"), PolyParenthesisException); // nothing of it survives

    EXPECT_THROW(run("{F+F]"), StackParenthesisException);
    EXPECT_TRUE(tree.items().empty());
    EXPECT_THROW(run("}"), PolyParenthesisException); // the polygon did not survive
    run("[[F");
    EXPECT_THROW(run("]"), StackParenthesisException); // nor do the pushed states
    EXPECT_TRUE(run("[F]{F+F+F}").valid());

    // Shapes without extent end the interpretation.
    ShapeDef ball = drawn(ShapeType::Ball);
    ball.length = 0;
    shapes["B"] = ball;
    EXPECT_NO_THROW(run("{F+F+B}")); // inside a polygon B is only a vertex
    EXPECT_THROW(run("{F+F+F}[B"), GeometryError);
    EXPECT_THROW(run("]"), StackParenthesisException);
}

TEST_F(InterpreterTest, CancellingReturnsNullAndLeavesNothing) {
    const std::string axiom = "{F+F+F" + std::string(40, 'F');
    ScriptedProgress progress(1);
    EXPECT_FALSE(run(axiom, &progress).valid());
    EXPECT_EQ((std::vector<int>{0}), progress.reported);
    EXPECT_TRUE(tree.items().empty());
    EXPECT_EQ(0u, interpreter.statistics().overallSize());
    EXPECT_THROW(run("}"), PolyParenthesisException);

    ScriptedProgress all;
    run(std::string(45, 'F'), &all);
    EXPECT_EQ((std::vector<int>{0, 44, 88}), all.reported);
}

// A parameter that is no number leaves out what it reaches, names the symbol
// in a warning, still counts the shape, and leaves the rest of the model
// where it would be without it.
TEST_F(InterpreterTest, NonFiniteNumbersLeaveOutWhatTheyReachAndKeepTheFraming) {
    shapes["F"] = drawn(ShapeType::Tube);
    ShapeDef moveOnly = drawn(ShapeType::Tube);
    moveOnly.visible = false;
    shapes["f"] = moveOnly;
    shapes["T"] = drawn(ShapeType::Torus);
    shapes["T"].innerWidth = 2;

    struct Case {
        std::string axiom;
        std::string sameFramingAs;
        std::vector<std::string> warnings;
        std::uint64_t visibleItems;
    };
    const std::vector<Case> cases = {
        {"F(1/0)F+F", "F+F", {"Symbol 'F" + notDrawn}, 3},
        {"F(0/0)F(-1/0)F", "F", {"Symbol 'F" + notDrawn}, 3},
        {"f(0/0)F", "F", {"Symbol 'f" + notDrawn}, 1},
        {"F[!(0/0)F]+F", "F+F", {"Symbol 'F" + notDrawn}, 3},
        {"F!(1/0)T", "F", {"Symbol 'T" + notDrawn}, 2},
        {"F>(1e300)>(1e300)F+F", "F", {"Symbol 'F" + notDrawn}, 3},
        {"F+(0/0)F-(1/0)F", "FFF", {"Symbol '+" + notTurned, "Symbol '-" + notTurned}, 3},
        {"F;(1/0)&F+F", "FFF", {"Symbol '&" + notTurned, "Symbol '+" + notTurned}, 3},
        {"{.F(0/0)+F.F}F", "{.+F.F}F", {"Symbol 'F" + notDrawn}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.axiom);
        osg::ref_ptr<osg::Group> reference = run(c.sameFramingAs);
        ASSERT_TRUE(reference.valid());
        EXPECT_TRUE(interpreter.warnings().empty());
        const osg::BoundingSphere expected = reference->getBound();

        osg::ref_ptr<osg::Group> group = run(c.axiom);
        ASSERT_TRUE(group.valid());
        EXPECT_TRUE(finiteScene(*group));
        EXPECT_TRUE(finite(turtle().position) && finite(turtle().heading) && finite(turtle().up));
        const osg::BoundingSphere bound = group->getBound();
        EXPECT_NEAR(expected.radius(), bound.radius(), 1e-4);
        EXPECT_NEAR(0.0, (expected.center() - bound.center()).length(), 1e-4);
        EXPECT_EQ(c.warnings, interpreter.warnings());
        EXPECT_EQ(c.visibleItems, interpreter.statistics().visibleItems());
    }
}

// The turtle symbol table says what the interpreter does: each default it
// names is the one the interpreter takes for a missing parameter.
TEST_F(InterpreterTest, TheDefaultsOfTheSymbolTableAreTheOnesTaken) {
    shapes["F"] = drawn();
    // Turns of different sizes, so that a mix-up of axes shows.
    definition.addConstant("_rotX", "10");
    definition.addConstant("_rotY", "20");
    definition.addConstant("_rotZ", "30");
    // The turtle after the axiom; the symbol is followed by a move so that
    // turns and length changes leave their mark on the position.
    const auto after = [&](const std::string& axiom) {
        EXPECT_TRUE(run("F" + axiom + "F").valid()) << axiom;
        return turtle();
    };
    const auto expectSame = [](const TurtleState& a, const TurtleState& b) {
        EXPECT_VEC_NEAR(a.position, b.position);
        EXPECT_VEC_NEAR(a.heading, b.heading);
        EXPECT_VEC_NEAR(a.up, b.up);
        EXPECT_NEAR(a.widthFactor, b.widthFactor, 1e-12);
        EXPECT_NEAR(a.rotZ, b.rotZ, 1e-12);
        EXPECT_EQ(a.colourIndex, b.colourIndex);
        EXPECT_EQ(a.interpretedCount, b.interpretedCount);
    };
    for (const TurtleSymbol& row : turtleSymbols) {
        if (row.id < 0) continue;
        SCOPED_TRACE(row.symbol);
        const char symbol = builtinAlphabet[row.id];
        const std::string plain(1, symbol);
        if (row.fallback == TurtleDefault::MultiplyBy) {
            EXPECT_NEAR(after(plain).rotZ, 30 * row.value, 1e-12);
        } else if (row.fallback == TurtleDefault::DivideBy) {
            EXPECT_NEAR(after(plain).widthFactor, 1 / row.value, 1e-12);
        } else if (std::string("[]{}").find(symbol) == std::string::npos) {
            // The default rotations, the number shown, or (for a symbol that
            // takes none) any parameter: the same turtle as without it.
            const double value = row.fallback == TurtleDefault::RotationX   ? 10
                                 : row.fallback == TurtleDefault::RotationY ? 20
                                 : row.fallback == TurtleDefault::RotationZ ? 30
                                 : row.fallback == TurtleDefault::Number    ? row.value
                                                                            : 7;
            std::ostringstream withParameter;
            withParameter.imbue(std::locale::classic());
            withParameter << symbol << '(' << value << ')';
            expectSame(after(plain), after(withParameter.str()));
        }
    }
    // Brackets restore the whole turtle, the count of interpreted symbols too.
    expectSame(after("[+(30);(5)>?'F]"), after(""));
}

TEST(TurtleSymbolTable, NamesTheDefaults) {
    EXPECT_EQ(defaultText(turtleSymbol(0)), "Z rotation");    // "+"
    EXPECT_EQ(defaultText(turtleSymbol(5)), "0.9");           // ">"
    EXPECT_EQ(defaultText(turtleSymbol(16)), "\xC3\x97 1.1"); // ";"
    EXPECT_EQ(defaultText(turtleSymbol(19)), "\xC3\xB7 1.4"); // "!"
    EXPECT_EQ(defaultText(turtleSymbol(10)), "\xE2\x80\x93"); // "|"
}

} // namespace
