#include "definition_io/DefinitionWriter.h"

#include <gtest/gtest.h>

#include "diagnostics/FileText.h"
#include "tests/TempDir.h"

namespace {

ShapeDef visibleShape() {
    ShapeDef shape;
    shape.visible = true;
    shape.interpreted = true;
    return shape;
}

struct RecordingReporter : FailureReporter {
    void report(const std::string& title, const std::string& message) override {
        reports.push_back(title + "|" + message);
    }
    std::vector<std::string> reports;
};

} // namespace

TEST(Writer, LinesInOrderWithTheirExactFormats) {
    LSystemDefinition definition;
    definition.addConstant("f(x)", "x*2");
    definition.addConstant("g(y)", "y");
    definition.addConstant("size", "3");
    definition.addConstant("_steps", "6");
    definition.addConstant("_step", "3");        // never written
    definition.removeConstant("_currentCamera"); // always written
    definition.setShapeDef("+", visibleShape()); // the turtle never reads it: not saved
    definition.setShapeDef(".", visibleShape()); // colours polygon vertices: saved
    definition.setShapeDef("Leaf", visibleShape());
    ShapeDef tube = visibleShape();
    tube.type = ShapeType::Tube;
    tube.width = 2.5;
    tube.quality = ShapeQuality::Normal;
    tube.closing1 = CapKind::Planar;
    definition.setShapeDef("A", tube);
    definition.setTweak("tropism.strength", "0.200");
    definition.setTweak("tropism.direction", "0,-1,0");
    definition.setEnvironment("background.color", "102030");

    DefinitionSheet sheet;
    sheet.axiom = "A(1)";
    sheet.rules.push_back({"", "", "F", "", "", "FF"});
    sheet.rules.push_back({" ", "", "", " ", "", ""}); // empty rows are not written
    sheet.rules.push_back({" 0.5 ", "L", "A(x)", "R", "x>1", "A(x+1)"});
    sheet.ignored = {"+", "Leaf"};
    sheet.constants = {{" size ", "4"}, {"", "9"}, {"f(z)", "z"}, {"size", "5"}, {"_step", "3"}};
    sheet.lights[0].enabled = true;          // a default light: left out
    sheet.lights[1].position = {1, 2, 3, 0}; // not enabled: left out
    sheet.lights[2].enabled = true;
    sheet.lights[2].position = {1, 2, 3, 0.5f};
    sheet.cameras[1].matrix[0] = 1.0; // not enabled, but the current camera
    sheet.cameras[1].center = {1, 2, 3};
    sheet.cameras[1].distance = 7;
    sheet.cameras[4].matrix[0] = 1.0; // neither enabled nor current: left out
    sheet.camerasEnabled[5] = true;   // default matrix without an orbit: left out
    sheet.currentCamera = 1;

    EXPECT_EQ("Name:<unnamed>\n"
              "Axiom:A(1)\n"
              "Rule: : : :F: :FF\n"
              "Rule:0.5:L:R:A(x):x>1:A(x+1)\n"
              "Ignore:+\n"
              "Ignore:Leaf\n"
              "Def:size:4\n"
              "Def:f(z):z\n"
              "Def:_currentCamera:1\n"
              "Def:_idirX:0\n"
              "Def:_idirY:0\n"
              "Def:_idirZ:0\n"
              "Def:_multichar:0\n"
              "Def:_rotX:60\n"
              "Def:_rotY:60\n"
              "Def:_rotZ:60\n"
              "Def:_seed:42\n"
              "Def:_shpscope:0\n"
              "Def:_steps:6\n"
              "Def:g(y):y\n"
              "ShapeDef:. visible=1, interpreted=1\n"
              "ShapeDef:A visible=1, interpreted=1, type=tube, width=2.5\n"
              "ShapeDef:Leaf visible=1, interpreted=1\n"
              "LightDef:position=(1,2,3,0.500)\n"
              "CameraDef:rotation=(0,0,0,1), center=(1,2,3), distance=(7)\n"
              "Tweak:tropism.direction=(0,-1,0)\n"
              "Tweak:tropism.strength=0.200\n"
              "Environment:background.color=102030\n",
              definitionText(sheet, definition));
}

TEST(Writer, AFailedSaveChangesNothingAndASuccessfulOneReplacesTheFile) {
    TempDir dir;
    dir.write("a.kld", "old content");
    LSystemDefinition definition;
    DefinitionSheet sheet;
    sheet.currentCamera = 2;
    sheet.axiom = std::string(20000, 'F');
    RecordingReporter reporter;
    const auto failedMessage = [](const std::string& name, const std::string& reason) {
        return "Saving failed|Could not open\n'" + name + "'\nfor writing.\n" + reason;
    };

    EXPECT_FALSE(saveDefinition("/proc/a.kld", sheet, definition, reporter)); // not even root may write there
    EXPECT_FALSE(saveDefinition(dir.path("missing/a.kld"), sheet, definition, reporter));
    {
        FileSizeLimit full(4096); // no file grows beyond 4 kB, as on a full disk
        EXPECT_FALSE(saveDefinition(dir.path("a.kld"), sheet, definition, reporter));
    }
    const std::vector<std::string> expected = {
        failedMessage("/proc/a.kld", "The folder '/proc' cannot be written to."),
        failedMessage(dir.path("missing/a.kld"), "The folder '" + dir.path("missing") + "' does not exist."),
        failedMessage(dir.path("a.kld"), "'" + dir.path("a.kld") + "' could not be written (File too large).")};
    EXPECT_EQ(expected, reporter.reports);
    EXPECT_EQ("old content", readFileText(dir.path("a.kld")));
    EXPECT_EQ(std::vector<std::string>{"a.kld"}, dir.entries());
    EXPECT_EQ("", definition.getName());
    EXPECT_EQ("0", definition.getConstants().at("_currentCamera").value);

    ASSERT_TRUE(saveDefinition(dir.path("a.kld"), sheet, definition, reporter));
    EXPECT_EQ(expected, reporter.reports); // nothing more reported
    EXPECT_EQ("<unnamed>", definition.getName());
    EXPECT_EQ("2", definition.getConstants().at("_currentCamera").value);
    EXPECT_EQ(definitionText(sheet, definition), readFileText(dir.path("a.kld")));
    EXPECT_EQ(std::vector<std::string>{"a.kld"}, dir.entries());
}
