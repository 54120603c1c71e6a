#include "InterpreterFixture.h"

#include "diagnostics/Exceptions.h"
#include "interpretation/GeometryBuilders.h"

#include <osg/Geode>
#include <osg/Material>
#include <osg/MatrixTransform>
#include <osg/io_utils>

#include <algorithm>
#include <cmath>

namespace {

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

const osg::Geometry* polygonGeometry(osg::Group* group, unsigned child) {
    auto* geode = dynamic_cast<osg::Geode*>(group->getChild(child));
    EXPECT_NE(nullptr, geode);
    return geode ? geode->getDrawable(0)->asGeometry() : nullptr;
}

// The distinct vertices of a geometry, rounded to millimetres and sorted.
std::vector<osg::Vec3> sortedVertices(const osg::Geometry* geometry) {
    const auto& array = *static_cast<const osg::Vec3Array*>(geometry->getVertexArray());
    std::vector<osg::Vec3> result;
    for (const osg::Vec3& v : array)
        result.emplace_back(std::round(v.x() * 1000) / 1000 + 0.0f, std::round(v.y() * 1000) / 1000 + 0.0f,
                            std::round(v.z() * 1000) / 1000 + 0.0f);
    std::sort(result.begin(), result.end());
    result.erase(std::unique(result.begin(), result.end()), result.end());
    return result;
}

} // namespace

TEST_F(InterpreterTest, ForwardMovesAlongHeadingScaledByTheFactors) {
    osg::ref_ptr<osg::Group> group = run("FF");
    ASSERT_TRUE(group.valid());
    EXPECT_VEC_NEAR(osg::Vec3d(0, 20, 0), turtle().position);
    ASSERT_EQ(2u, group->getNumChildren());
    EXPECT_VEC_NEAR(osg::Vec3d(0, 0, 0), matrixOf(group.get(), 0).getTrans());
    EXPECT_VEC_NEAR(osg::Vec3d(0, 10, 0), matrixOf(group.get(), 1).getTrans());
    EXPECT_EQ(2u, interpreter.statistics().visibleItems());

    const struct {
        const char* axiom;
        double y, widthFactor;
    } cases[] = {
        {"F(2.5)", 25, 1},                              // the parameter scales the step
        {"F>F<F>(2)F", 10 + 9 + 9 / 1.1 + 18 / 1.1, 1}, // ">" shortens by 0.9, "<" by 1/1.1
        {"?(3)?!", 0, 3},
        {"?(3)!(2)", 0, 2}, // set, not divided
    };
    for (const auto& c : cases) {
        run(c.axiom);
        EXPECT_NEAR(c.y, turtle().position.y(), tolerance) << c.axiom;
        EXPECT_NEAR(c.widthFactor, turtle().widthFactor, tolerance) << c.axiom;
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

TEST_F(InterpreterTest, ColourIndexStepsAndWraps) {
    const struct {
        const char* axiom;
        int index;
    } cases[] = {
        {"''", 2},          {"'(3.7)", 3},  {"\"", 255},     {"\"'", 0},    {"'(300)", 0},
        {"'(3)\"(0.5)", 2}, {"'(-1)", 255}, {"\"(-300)", 0}, {"'(0/0)", 0},
    };
    for (const auto& c : cases) {
        run(c.axiom);
        EXPECT_EQ(c.index, turtle().colourIndex) << c.axiom;
    }
}

TEST_F(InterpreterTest, BracketsRestoreTheState) {
    run("[+(30);(5)>?'F]");
    EXPECT_VEC_NEAR(osg::Vec3d(0, 1, 0), turtle().heading);
    EXPECT_VEC_NEAR(osg::Vec3d(0, 0, 0), turtle().position);
    EXPECT_EQ(90, turtle().rotZ);
    EXPECT_EQ(1, turtle().lengthFactor);
    EXPECT_EQ(1, turtle().widthFactor);
    EXPECT_EQ(0, turtle().colourIndex);
    EXPECT_EQ(0, turtle().interpretedCount);
}

TEST_F(InterpreterTest, AngleChangesApplyToLaterTurns) {
    const struct {
        const char* axiom;
        double angle; // of the final "+"
    } cases[] = {
        {";+", 99},       {";(10)+", 100}, {":+", 81},       {":(30)+", 60},
        {",+", 90 / 1.1}, {",(2)+", 45},   {"[;(10)]+", 90}, {"+(30)", 30},
    };
    for (const auto& c : cases) {
        run(c.axiom);
        const double a = c.angle * M_PI / 180;
        EXPECT_VEC_NEAR(osg::Vec3d(-std::sin(a), std::cos(a), 0), turtle().heading) << c.axiom;
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
    osg::ref_ptr<osg::Group> group = run("AFfA"); // "f" has no record: moves invisibly
    EXPECT_VEC_NEAR(osg::Vec3d(0, 20, 0), turtle().position);
    EXPECT_EQ(1u, group->getNumChildren());
    EXPECT_EQ(2, turtle().interpretedCount);

    shapes["T"] = drawn(ShapeType::Tube);
    group = run("T");
    ASSERT_EQ(1u, group->getNumChildren()); // the tube holds its two caps
    EXPECT_VEC_NEAR(osg::Vec3d(0, 5, 0), matrixOf(group.get(), 0).getTrans());
    EXPECT_EQ(1u, interpreter.statistics().visibleItems());
}

TEST_F(InterpreterTest, TropismBendsByAtMost30DegreesAndGravityByTheStrength) {
    tweaks["tropism.direction"] = "(1, 0, 0)";
    tweaks["tropism.strength"] = "0.1";
    run("F");
    const double angle = M_PI / 2 * 0.1;
    EXPECT_VEC_NEAR(osg::Vec3d(std::sin(angle), std::cos(angle), 0), turtle().heading);
    EXPECT_NEAR(handedness(TurtleState()), handedness(turtle()), tolerance);

    tweaks["tropism.strength"] = "1000";
    run("F");
    EXPECT_VEC_NEAR(osg::Vec3d(0.5, std::sqrt(0.75), 0), turtle().heading);
    run("fA"); // neither invisible nor uninterpreted symbols bend
    EXPECT_VEC_NEAR(osg::Vec3d(0, 1, 0), turtle().heading);

    tweaks["tropism.direction"] = "2,0,0"; // brackets optional, normalised
    run("F");
    EXPECT_VEC_NEAR(osg::Vec3d(0.5, std::sqrt(0.75), 0), turtle().heading);

    tweaks["tropism.strength"] = "0";
    run("FF");
    EXPECT_VEC_NEAR(osg::Vec3d(0, 20, 0), turtle().position);
    tweaks["tropism.strength"] = "1";
    tweaks["tropism.direction"] = "(0,0,0)";
    run("FF");
    EXPECT_VEC_NEAR(osg::Vec3d(0, 20, 0), turtle().position);

    // Gravity turns by the strength: heading (-1,0,0) gives T = (1,0,0), dot -1, so "&(-90)".
    tweaks["tropism.strength"] = "90";
    run("+(90)\xA7");
    EXPECT_VEC_NEAR(osg::Vec3d(0, 0, -1), turtle().heading);
    run("&(90)\xA7"); // heading (0,0,1): T = (0,0,0), no turn
    EXPECT_VEC_NEAR(osg::Vec3d(0, 0, 1), turtle().heading);
}

TEST_F(InterpreterTest, PolygonsCollectTheirVertices) {
    ShapeDef red = drawn();
    red.material.diffuse[0] = 1.0f;
    shapes["F"] = red;
    osg::ref_ptr<osg::Group> group = run("{F+(120)F+(120)F}");
    ASSERT_EQ(1u, group->getNumChildren());
    const osg::Geometry* geometry = polygonGeometry(group.get(), 0);
    ASSERT_NE(nullptr, geometry);
    EXPECT_EQ(3u, sortedVertices(geometry).size());
    const auto* material = dynamic_cast<const osg::Material*>(
        group->getChild(0)->getStateSet()->getAttribute(osg::StateAttribute::MATERIAL));
    ASSERT_NE(nullptr, material);
    EXPECT_EQ(1.0f, material->getDiffuse(osg::Material::FRONT).r());
    EXPECT_EQ(0u, interpreter.statistics().visibleItems());
    EXPECT_EQ(1u, interpreter.statistics().polygons());

    // G moves without a vertex.
    group = run("{F+F+G+F}");
    ASSERT_EQ(1u, group->getNumChildren());
    EXPECT_EQ((std::vector<osg::Vec3>{{-10, 10, 0}, {0, 0, 0}, {0, 10, 0}}),
              sortedVertices(polygonGeometry(group.get(), 0)));

    // "." records the end of the last forward movement, even after "]".
    group = run("{[f].+[f].+[f].}");
    ASSERT_EQ(1u, group->getNumChildren());
    EXPECT_EQ((std::vector<osg::Vec3>{{-10, 0, 0}, {0, -10, 0}, {0, 10, 0}}),
              sortedVertices(polygonGeometry(group.get(), 0)));
}

TEST_F(InterpreterTest, PolygonsNestAndUnbalancedBracketsLeaveNothingOpen) {
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
}

TEST_F(InterpreterTest, ShapesWithoutExtentEndTheInterpretation) {
    ShapeDef ball = drawn(ShapeType::Ball);
    ball.length = 0;
    shapes["B"] = ball;
    EXPECT_NO_THROW(run("{F+F+B}")); // inside a polygon B is only a vertex
    EXPECT_THROW(run("{F+F+F}[B"), GeometryError);
    EXPECT_THROW(run("]"), StackParenthesisException);

    ShapeDef torus = drawn(ShapeType::Torus);
    torus.length = 0;
    torus.innerWidth = 0;
    shapes["T"] = torus;
    EXPECT_THROW(run("T"), GeometryError);
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
