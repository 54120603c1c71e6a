// Fractint entries converted and drawn by our interpreter: the segments are
// compared with end points worked out by hand (the turtle starts at the
// origin going up, +y; "+" turns counterclockwise; one unit a step).

#include "definition_io/FractintConverter.h"
#include "definition_io/DefinitionWriter.h"
#include "definition_io/OwnLSysLoader.h"
#include "diagnostics/ErrorHandler.h"
#include "interpretation/LSysInterpreter.h"
#include "interpretation/MOSGInstancedGeometry.h"
#include "interpretation/TextTree.h"
#include "lsys/LSystem.h"
#include "lsys/ProgressRetriever.h"
#include "lsys/String2IDManager.h"
#include "materials/PaletteLibrary.h"

#include <gtest/gtest.h>
#include <osg/Geode>
#include <osg/Geometry>
#include <osg/NodeVisitor>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

struct NeverCancel : ProgressRetriever {
    void setProgress(int) override {}
    bool wasCancelled() override { return false; }
};

// "(x1,y1)-(x2,y2)" with the lesser end first, to four decimals.
std::string segment(double x1, double y1, double x2, double y2) {
    const auto point = [](double x, double y) {
        char text[64];
        const auto rounded = [](double v) { return std::round(v * 1e4) / 1e4 + 0.0; }; // no "-0.0000"
        std::snprintf(text, sizeof text, "(%.4f,%.4f)", rounded(x), rounded(y));
        return std::string(text);
    };
    const std::string a = point(x1, y1), b = point(x2, y2);
    return std::min(a, b) + "-" + std::max(a, b);
}

struct Segment {
    std::string ends;
    osg::Vec4 colour;
};

// Every line of the scene in world coordinates, with its colour.
class LineCollector : public osg::NodeVisitor {
public:
    LineCollector() : osg::NodeVisitor(TRAVERSE_ALL_CHILDREN) {}
    void apply(osg::Geode& geode) override {
        const osg::Matrixd matrix = osg::computeLocalToWorld(getNodePath());
        for (unsigned i = 0; i < geode.getNumDrawables(); ++i) {
            const osg::Geometry* geometry = geode.getDrawable(i)->asGeometry();
            const auto* vertices = dynamic_cast<const osg::Vec3Array*>(geometry->getVertexArray());
            const auto* colours = dynamic_cast<const osg::Vec4Array*>(geometry->getColorArray());
            ASSERT_TRUE(vertices && vertices->size() == 2 && colours);
            const osg::Vec3d a = osg::Vec3d((*vertices)[0]) * matrix, b = osg::Vec3d((*vertices)[1]) * matrix;
            EXPECT_NEAR(0.0, a.z() + b.z(), 1e-9);
            segments.push_back({segment(a.x(), a.y(), b.x(), b.y()), (*colours)[0]});
        }
    }
    std::vector<Segment> segments;
};

class FractintConverterTest : public ::testing::Test {
protected:
    FractintConverterTest() { String2IDManager::instance().registerBuiltins(); }

    // The only entry of the text, converted.
    const LSystemDefinition& convert(const std::string& text) {
        file = FractintConverter::convert(text);
        EXPECT_EQ(1u, file.entries.size());
        EXPECT_TRUE(file.entries.at(0).errors.empty()) << file.entries.at(0).errors.at(0).text;
        return *file.entries.at(0).definition;
    }

    std::vector<Segment> draw(const LSystemDefinition& definition, int steps) {
        tov::StoringErrorHandler errors;
        std::unique_ptr<LSystem> lsystem = buildLSystem(definition, String2IDManager::instance(), errors);
        EXPECT_FALSE(errors.hasErrors()) << definition.getAxiom();
        TextTree tree;
        NeverCancel progress;
        osg::ref_ptr<osg::Group> scene =
            interpreter.interpret(*lsystem, definition.getShapeDefs(), definition.getTweaks(), steps, tree, progress);
        LineCollector lines;
        expandInstances(*scene)->accept(lines);
        return lines.segments;
    }

    // The segments drawn, sorted.
    std::vector<std::string> drawn(const LSystemDefinition& definition, int steps) {
        std::vector<std::string> result;
        for (const Segment& s : draw(definition, steps)) result.push_back(s.ends);
        std::sort(result.begin(), result.end());
        return result;
    }
    std::vector<std::string> drawn(const std::string& text, int steps = 0) { return drawn(convert(text), steps); }

    FractintFile file;
    LSysInterpreter interpreter;
};

using Ends = std::vector<std::array<double, 4>>;

// The segments of the ends, sorted as drawn() gives them.
std::vector<std::string> segments(const Ends& ends) {
    std::vector<std::string> result;
    for (const auto& [x1, y1, x2, y2] : ends) result.push_back(segment(x1, y1, x2, y2));
    std::sort(result.begin(), result.end());
    return result;
}

TEST_F(FractintConverterTest, CommandsDrawWhatTheTurtleWouldDraw) {
    // Angle 5: "|" is two steps of 72 degrees, clockwise: from up to -54 degrees.
    const double x = std::cos(-54 * M_PI / 180), y = 1 + std::sin(-54 * M_PI / 180), h = std::sqrt(0.5);
    const struct {
        int angle;
        const char* axiomAndRules;
        Ends ends;
        int steps = 0;
        int warningLine = 0; // of the only warning expected; 0 for none
    } cases[] = {
        {4, "F+F-G-F", {{0, 0, 0, 1}, {0, 1, -1, 1}, {-1, 2, 0, 2}}},
        // Characters without a command of their own, ours included, neither draw nor turn.
        {4, "F&X$%.,F", {{0, 0, 0, 1}, {0, 1, 0, 2}}},
        // "|" turns around by half the steps rounded down; "!" does not change it.
        {5, "F|F", {{0, 0, 0, 1}, {0, 1, x, y}}},
        {5, "!F|F", {{0, 0, 0, 1}, {0, 1, x, y}}},
        {6, "F|F", {{0, 0, 0, 1}, {0, 0, 0, 1}}},
        // "!" swaps both kinds of turn; D draws along the direction that only
        // "\" (left) and "/" (right) turn.
        {4, "F!+F!+F", {{0, 0, 0, 1}, {0, 1, 1, 1}, {1, 1, 1, 2}}},
        {4, "D\\90D!\\90D!/90D", {{0, 0, 0, 1}, {0, 1, -1, 1}, {-1, 1, -1, 2}, {-1, 2, 0, 2}}},
        // "]" brings back the swap state of its "[".
        {4, "F[!+F]+F", {{0, 0, 0, 1}, {0, 1, 1, 1}, {0, 1, -1, 1}}},
        {4, "D[!\\45D]\\45D", {{0, 0, 0, 1}, {0, 1, h, 1 + h}, {0, 1, -h, 1 + h}}},
        // The step length is scaled.
        {4, "F@IQ4F@q4F@2F", {{0, 0, 0, 1}, {0, 1, 0, 1.5}, {0, 1.5, 0, 2.5}, {0, 2.5, 0, 4.5}}},
        {4, "@2F@i2F@qi16F@0F", {{0, 0, 0, 2}, {0, 2, 0, 3}, {0, 3, 0, 3.25}, {0, 3.25, 0, 3.25}}},
        // "[" and "]" keep the length; a number ends at its second ".".
        {4, "F[@2.5F]F@.5.F", {{0, 0, 0, 1}, {0, 1, 0, 3.5}, {0, 1, 0, 2}, {0, 2, 0, 2.5}}},
        // Rules are joined and empty ones erase: F erased, A becomes F, only the step after "+" is drawn.
        {4, "F+A\nA=F\nF=", {{0, 0, -1, 0}}, 1},
        {4, "A\nA=F\nA=+F", {{0, 0, 0, 1}, {0, 1, -1, 1}}, 1},
        // A character that is a command of our turtle is rewritten, never turns.
        {4, "F&\n&=+F", {{0, 0, 0, 1}, {0, 1, -1, 1}}, 1},
        // Directions not drawn along leave their turns out.
        {4, "F\\90F/30F", {{0, 0, 0, 1}, {0, 1, 0, 2}, {0, 2, 0, 3}}},
        {4, "D+D|M-D", {{0, 0, 0, 1}, {0, 1, 0, 2}, {0, 3, 0, 4}}},
        // Both drawn along and one turned: one direction for both, with a warning.
        {4, "F+D", {{0, 0, 0, 1}, {0, 1, -1, 1}}, 0, 1},
    };
    for (const auto& c : cases) {
        const std::string text = "T {\nangle " + std::to_string(c.angle) + "\naxiom " + c.axiomAndRules + "\n}";
        SCOPED_TRACE(text);
        EXPECT_EQ(segments(c.ends), drawn(text, c.steps));
        std::vector<int> warnings;
        for (const FractintProblem& w : file.entries[0].warnings) warnings.push_back(w.line);
        EXPECT_EQ(c.warningLine ? std::vector<int>{c.warningLine} : std::vector<int>{}, warnings);
    }
}

TEST_F(FractintConverterTest, CommentsAndCaseDoNotMatter) {
    const char* text = "; a file of one entry\n"
                       "MiXeD {  ; its comment\n"
                       "  ANGLE 4   ; a quarter turn\n"
                       "  aXiOm f+x\n"
                       "  X = f ; rule\n"
                       "}  ; end\n";
    EXPECT_EQ(segments({{0, 0, 0, 1}, {0, 1, -1, 1}}), drawn(text, 1));
    EXPECT_EQ("MiXeD", file.entries[0].definition->getName());
    EXPECT_TRUE(file.warnings.empty());
}

TEST_F(FractintConverterTest, ColoursFollowTheIndexAbsoluteAndRelative) {
    const MaterialPalette& palette = PaletteLibrary::palette(PaletteLibrary::indexOf("imported/fractint/headache"));
    const std::vector<Segment> segments =
        draw(convert("T {\nangle 4\naxiom F<1F C3F<2F>5F C255F<2F>3F[+C9F]F c300F\n}"), 0);
    // Each step goes one unit further up, the branch to the left; indices start at 15 and wrap around 256.
    const std::map<std::string, int> expected = {
        {segment(0, 0, 0, 1), 15}, {segment(0, 1, 0, 2), 16},  {segment(0, 2, 0, 3), 3},  {segment(0, 3, 0, 4), 5},
        {segment(0, 4, 0, 5), 0},  {segment(0, 5, 0, 6), 255}, {segment(0, 6, 0, 7), 1},  {segment(0, 7, 0, 8), 254},
        {segment(0, 8, -1, 8), 9}, {segment(0, 8, 0, 9), 254}, {segment(0, 9, 0, 10), 44}};
    ASSERT_EQ(expected.size(), segments.size());
    for (const Segment& s : segments) {
        ASSERT_EQ(1u, expected.count(s.ends)) << s.ends;
        const float* diffuse = palette[expected.at(s.ends)].diffuse;
        EXPECT_EQ(osg::Vec4(diffuse[0], diffuse[1], diffuse[2], diffuse[3]), s.colour) << s.ends;
    }
}

TEST_F(FractintConverterTest, TheDefinitionKeepsTheStringSmallAndDrawsTheSameWrittenAndReadBack) {
    // Koch: 7 atoms, then 31, 127, 511, 2047, 8191, 32767.
    EXPECT_EQ("5", convert("Koch {\nangle 6\naxiom F--F--F\nF=F+F--F+F\n}").getConstants().at("_steps").value);
    EXPECT_EQ("12", convert("Still {\nangle 6\naxiom FX\nX=Y\nY=X\n}").getConstants().at("_steps").value);

    // Written and read back, it draws the same.
    const LSystemDefinition& converted = convert("T {\nangle 5\naxiom F+A!|C2F\nA=F-@Q2F\nF=\n}");
    tov::StoringErrorHandler errors;
    std::unique_ptr<LSystemDefinition> reread =
        OwnLSysLoader().load(errors, "t.kld", definitionText(DefinitionSheet::of(converted), converted));
    ASSERT_TRUE(reread);
    EXPECT_EQ(2u, drawn(converted, 1).size());
    EXPECT_EQ(drawn(converted, 1), drawn(*reread, 1));
}

TEST_F(FractintConverterTest, MalformedEntriesAreNamedWithTheirLines) {
    const char* text = "Good { angle 4\n" // 1
                       "axiom F }\n"      // 2
                       "stray text\n"     // 3
                       "Bad {\n"          // 4
                       "  angle 2\n"      // 5
                       "  axiom\n"        // 6
                       "  FF=F\n"         // 7
                       "  +=F\n"          // 8
                       "  hello\n"        // 9
                       "}\n"              // 10
                       "{ angle 4\n"      // 11
                       "axiom F }\n"      // 12
                       "Open {\n"         // 13
                       "  angle 4\n";     // 14
    const FractintFile read = FractintConverter::convert(text);
    const auto problems = [](const std::vector<FractintProblem>& list) {
        std::vector<std::string> texts;
        for (const FractintProblem& p : list) texts.push_back(std::to_string(p.line) + ": " + p.text);
        return texts;
    };
    ASSERT_EQ(4u, read.entries.size());
    EXPECT_EQ(std::vector<std::string>{"3: 'stray text' stands outside every entry"}, problems(read.warnings));
    EXPECT_TRUE(read.entries[0].definition);
    const FractintEntry& bad = read.entries[1];
    EXPECT_EQ("Bad", bad.name);
    EXPECT_EQ(4, bad.line);
    EXPECT_FALSE(bad.definition);
    EXPECT_EQ(
        (std::vector<std::string>{"5: the angle must be a whole number from 3 to 50, not '2'", "6: the axiom is empty",
                                  "7: a rule rewrites one character, not 'FF'", "8: '+' cannot be rewritten",
                                  "9: 'hello' is neither an angle, an axiom nor a rule"}),
        problems(bad.errors));
    EXPECT_EQ(std::vector<std::string>{"11: the entry has no name"}, problems(read.entries[2].errors));
    EXPECT_EQ("Open", read.entries[3].name);
    EXPECT_EQ((std::vector<std::string>{"13: the entry is not closed by '}'", "13: the entry has no axiom"}),
              problems(read.entries[3].errors));
}

} // namespace
