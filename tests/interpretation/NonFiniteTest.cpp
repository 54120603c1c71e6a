#include "InterpreterFixture.h"

#include <osg/Geode>
#include <osg/MatrixTransform>

#include <cmath>

namespace {

bool finite(const osg::Vec3d& v) { return std::isfinite(v.x()) && std::isfinite(v.y()) && std::isfinite(v.z()); }

// Whether every placement matrix and every vertex below node is a finite number.
bool finiteScene(const osg::Node* node) {
    if (const auto* transform = dynamic_cast<const osg::MatrixTransform*>(node)) {
        const osg::Matrixd& m = transform->getMatrix();
        for (int row = 0; row < 4; ++row)
            for (int column = 0; column < 4; ++column)
                if (!std::isfinite(m(row, column))) return false;
    }
    if (const auto* geode = dynamic_cast<const osg::Geode*>(node))
        for (unsigned i = 0; i < geode->getNumDrawables(); ++i)
            for (const osg::Vec3& v :
                 *static_cast<const osg::Vec3Array*>(geode->getDrawable(i)->asGeometry()->getVertexArray()))
                if (!finite(v)) return false;
    if (const osg::Group* group = node->asGroup())
        for (unsigned i = 0; i < group->getNumChildren(); ++i)
            if (!finiteScene(group->getChild(i))) return false;
    return true;
}

const std::string notDrawn = "' reaches a length, width or position that is not a finite number; those shapes are "
                             "not drawn.";
const std::string notTurned = "' has an angle that is not a finite number; those turns are not made.";

} // namespace

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
        EXPECT_TRUE(finiteScene(group.get()));
        EXPECT_TRUE(finite(turtle().position) && finite(turtle().heading) && finite(turtle().up));
        const osg::BoundingSphere bound = group->getBound();
        EXPECT_NEAR(expected.radius(), bound.radius(), 1e-4);
        EXPECT_NEAR(0.0, (expected.center() - bound.center()).length(), 1e-4);
        EXPECT_EQ(c.warnings, interpreter.warnings());
        EXPECT_EQ(c.visibleItems, interpreter.statistics().visibleItems());
    }
}
