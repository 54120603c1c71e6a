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
}

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
        {"''", colour, 2},
        {"'(3.7)", colour, 3},
        {"\"", colour, 255},
        {"\"'", colour, 0},
        {"'(300)", colour, 0},
        {"'(3)\"(0.5)", colour, 2},
        {"'(-1)", colour, 255},
        {"\"(-300)", colour, 0},
        {"'(0/0)", colour, 0},
        // Angle changes apply to later turns, not past a "]".
        {";+", angle, 99},
        {";(10)+", angle, 100},
        {":+", angle, 81},
        {":(30)+", angle, 60},
        {",+", angle, 90 / 1.1},
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
