#include "definition_io/DefinitionWriter.h"
#include "definition_io/OwnLSysLoader.h"
#include "definition_io/ParameterList.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iomanip>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "diagnostics/ErrorHandler.h"
#include "diagnostics/FileText.h"
#include "options/TextConvert.h"
#include "tests/TempDir.h"

namespace {

using Texts = std::vector<std::string>;

// Loads a text and keeps what the reader reported.
struct Load {
    explicit Load(const std::string& text) : definition(OwnLSysLoader().load(handler, "test.kld", text)) {
        while (handler.hasNext()) {
            const Error* record = handler.next();
            messages.push_back(record->message());
            warnings.push_back(record->isWarning());
        }
    }
    const ShapeDef& shape(const std::string& symbol) const { return definition->getShapeDefs().at(symbol); }

    tov::StoringErrorHandler handler;
    std::unique_ptr<LSystemDefinition> definition;
    Texts messages;
    std::vector<bool> warnings;
};

// The messages of a text whose load fails.
Texts errorsOf(const std::string& text) {
    const Load load(text);
    EXPECT_EQ(nullptr, load.definition) << text;
    return load.messages;
}

// The definition of a text that loads without a message (an empty one if it fails).
LSystemDefinition load(const std::string& text) {
    const Load read(text);
    EXPECT_EQ(Texts(), read.messages);
    return read.definition ? *read.definition : LSystemDefinition();
}

// What saving the definition unchanged writes.
std::string save(const LSystemDefinition& definition) {
    return definitionText(DefinitionSheet::of(definition), definition);
}

// What the writer makes of the definition as of a new document, without the
// lines of the file it was read from.
std::string write(const LSystemDefinition& definition) {
    LSystemDefinition fresh = definition;
    fresh.setLayout(FileLayout());
    return save(fresh);
}

struct RecordingReporter : FailureReporter {
    void report(const std::string& title, const std::string& text) override { reports.push_back(title + "|" + text); }
    std::vector<std::string> reports;
};

// Comments and blank lines in several places, elements in an order of their
// own, values beyond every dial's range, a light at its defaults, a tweak line
// of several keys and a name given twice.
const std::string handWritten = "# A bush, written by hand\n"
                                "\n"
                                "Def:_seed:5000\n"
                                "Axiom:A\n"
                                "  # the stem\n"
                                "Rule:::: A ::F[+A][-A]\n"
                                "# leaves\n"
                                "Rule:0.5:::F::FF\n"
                                "\n"
                                "Name:draft\n"
                                "n:bush\n"
                                "Def:_idirX:2.5\n"
                                "Def:_steps:120\n"
                                "Def:a:1e3\n"
                                "l:position=(-300, 120, 300, 0)\n"
                                "LightDef:diffuse=(1.0,0.5,0.5,1.0)\n"
                                "Tweak:tropism.strength=0.2, tropism.direction=(0,-1,0)\n"
                                "ShapeDef:F visible=1,interpreted=1,type=tube\n"
                                "Def:_rotX:25\n"
                                "\n"
                                "# end of the bush\n";

// The text with one line replaced ("" removes it).
std::string replaced(std::string text, const std::string& line, const std::string& by) {
    const std::size_t at = text.find(line + "\n");
    EXPECT_NE(std::string::npos, at) << line;
    return text.replace(at, line.size() + 1, by.empty() ? by : by + "\n");
}

template <class Numbers>
std::string list(const Numbers& numbers) {
    std::ostringstream out;
    out << std::setprecision(17);
    for (auto n : numbers) out << n << ',';
    return out.str();
}

// Everything the writer keeps, one item per line.
std::string kept(const LSystemDefinition& d) {
    std::ostringstream out;
    out << std::setprecision(17) << d.getName() << '\n' << d.getAxiom() << '\n';
    for (const RuleRow& r : d.getRules()) {
        out << r.probability << '|' << r.leftContext << '|' << r.predecessor << '|' << r.rightContext << '|'
            << r.condition << '|' << r.successor << '\n';
    }
    out << list(d.getIgnoreList()) << '\n';
    for (const auto& [name, constant] : d.getConstants())
        out << name << ' ' << constant.name << '(' << constant.arguments << ")=" << constant.value << '\n';
    // The text form holds every field that differs from the defaults.
    for (const auto& [symbol, shape] : d.getShapeDefs())
        out << symbol << ' ' << shape.toText() << ' ' << shape.material.text() << '\n';
    for (const LightDef& l : d.getLights())
        out << list(l.position) << list(l.ambient) << list(l.specular) << list(l.diffuse) << '\n';
    for (const CameraDef& c : d.getCameras()) out << list(c.rotation) << list(c.center) << c.distance << '\n';
    for (const auto& [key, value] : d.getTweaks()) out << key << '=' << value << '\n';
    for (const auto& [key, value] : d.getEnvironment()) out << key << '=' << value << '\n';
    return out.str();
}

} // namespace

TEST(Loader, RulesNameAxiomIgnoreAndConstants) {
    const Load load("Rule:0.5:a:b:F:x>1:FF\nr::::F::G\nRule: 0,25 : A : : B(x) : : C(x+1) :ignored\n"
                    "Name:first\nName: second \nAxiom: F(1):G \ni: A \nIgnore:B\nIgnore:A\n"
                    "Def: size : 3*2 \nd:f(x):x*2\nDef:_steps: 7 \nDef:_rotX:1,5\nDef:_rotY:2,0");
    ASSERT_NE(nullptr, load.definition);
    // Rule lines carry six fields in file order.
    Texts rows;
    for (const RuleRow& row : load.definition->getRules()) {
        rows.push_back(std::to_string(row.probability) + "|" + row.leftContext + "|" + row.rightContext + "|" +
                       row.predecessor + "|" + row.condition + "|" + row.successor);
    }
    EXPECT_EQ((Texts{"0.500000|a|b|F|x>1|FF", "1.000000|||F||G", "0.250000|A||B(x)||C(x+1)"}), rows);
    EXPECT_EQ(" second", load.definition->getName()); // the last name wins, taken as it stands
    EXPECT_EQ("F(1)", load.definition->getAxiom());
    EXPECT_EQ((Texts{"A", "B", "A"}), load.definition->getIgnoreList());
    const auto& constants = load.definition->getConstants();
    EXPECT_EQ("3*2", constants.at("size").value);
    EXPECT_EQ("x", constants.at("f").arguments);
    EXPECT_EQ("x*2", constants.at("f").value);
    EXPECT_EQ("7", constants.at("_steps").value);
    // A decimal comma, which the expression parser would read as a list
    // ("2,0" as 0), is stored as the number read.
    EXPECT_EQ("1.500", constants.at("_rotX").value);
    EXPECT_EQ("2", constants.at("_rotY").value);
}

TEST(Loader, ShapeValues) {
    // Every field is read by the round trip of the corpus file; here the
    // readings that the writer never produces.
    const Load good("ShapeDef:A type=tube, terminal=x, visible=T, width=(0,5)\nShapeDef:B  type=1, terminal=1, "
                    "interpreted=f, visible=0\nShapeDef:C type=4, quality=very high, closing1=none, closing2=2, "
                    "coloringType=palette_random");
    ASSERT_NE(nullptr, good.definition);
    EXPECT_EQ("visible=1, interpreted=1, type=tube, width=0.5", good.shape("A").toText());
    EXPECT_EQ("visible=0, interpreted=0, type=tube", good.shape("B").toText()); // "interpreted" after "terminal"
    EXPECT_EQ("visible=0, interpreted=0, type=torus, quality=very high, closing1=none, closing2=extruded, "
              "coloringType=palette_random",
              good.shape("C").toText());

    EXPECT_EQ((Texts{"In definition of 'A': '7' is an invalid value for 'type'.",
                     "In definition of 'B': 'Tube' is an invalid value for 'type'.",
                     "In definition of 'C': '' is an invalid value for 'type'.",
                     "In definition of 'F': 'visible' must have a boolean value (t/f)",
                     "In definition of 'F': 'length' must be a floating point value",
                     "In definition of 'F': 'width' must have an floating point value",
                     "In definition of 'F': 'corners' must be a integer value", "Broken material in definition of F",
                     "In definition of 'F': 'minColor' must have an integer value", "Broken palette in definition of F",
                     "In definition of 'G': 'length' must be a floating point value", "Broken definition of shape H",
                     "Broken definition of shape I"}),
              errorsOf("ShapeDef:A type=7\nShapeDef:B type=Tube\nShapeDef:C type=\nShapeDef:F visible=, length=long, "
                       "width=, corners=3.5, minColor=, material=12zz#, palette=1:2:nonsense\n"
                       "ShapeDef:G length=-1e39\nShapeDef:H\nShapeDef:I visible=1, oops\nShapeDef:J visible=1"));
}

TEST(Loader, LightsCamerasAndTweaksAreReadAndTheirListsChecked) {
    const Load good("LightDef:position=(1,2,3,0), diffuse=(0.5, 0.5, 0.5, 1)\nl:\nLightDef:broken");
    ASSERT_NE(nullptr, good.definition);
    EXPECT_EQ((Texts{"Broken light definition, using default"}), good.messages);
    const std::vector<LightDef>& lights = good.definition->getLights();
    ASSERT_EQ(2u, lights.size());
    EXPECT_TRUE(lights[0].enabled && lights[1].enabled);
    EXPECT_EQ((std::array<float, 4>{1, 2, 3, 0}), lights[0].position);
    EXPECT_EQ((std::array<float, 4>{0.5f, 0.5f, 0.5f, 1}), lights[0].diffuse);
    EXPECT_EQ(LightDef().ambient, lights[0].ambient);
    EXPECT_EQ(LightDef().position, lights[1].position);

    const std::string four = "' must contain four floating point values";
    EXPECT_EQ((Texts{"In definition of 'light': 'position" + four, "In definition of 'light': 'ambient" + four,
                     "In definition of 'light': 'specular" + four, "In definition of 'light': 'position" + four}),
              errorsOf("LightDef:position=(1,2,3)\nLightDef:ambient=(1,x,1,1)\nLightDef:specular=\n"
                       "LightDef:position=(1,2,3,4e38)"));

    // Cameras keep their orbit.
    const Load withCameras("CameraDef:rotation=(0,0,0.707,0.707), center=(1,2,3), distance=(250), mode=2\n"
                           "c:distance=4\nCameraDef:matrix=(1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1)");
    ASSERT_NE(nullptr, withCameras.definition);
    const std::vector<CameraDef>& cameras = withCameras.definition->getCameras();
    ASSERT_EQ(3u, cameras.size());
    EXPECT_TRUE(cameras[0].set);
    EXPECT_EQ((std::array<double, 3>{1, 2, 3}), cameras[0].center);
    EXPECT_NEAR(0.707, cameras[0].rotation[3], 1e-6);
    EXPECT_DOUBLE_EQ(250.0, cameras[0].distance);
    EXPECT_EQ(2, cameras[0].mode);
    EXPECT_FALSE(cameras[1].set);
    EXPECT_DOUBLE_EQ(4.0, cameras[1].distance);
    EXPECT_EQ(1.0, cameras[2].matrix[5]);

    EXPECT_EQ((Texts{"In definition of 'camera': 'matrix' must contain 16 floating point values",
                     "In definition of 'camera': 'mode' must be a integer value",
                     "In definition of 'camera': 'center' must contain three floating point values",
                     "In definition of 'camera': 'distance' must contain 1 floating point values",
                     "Broken camera definition, using default"}),
              errorsOf("CameraDef:center=(1,2), matrix=(1,2), distance=, mode=x\nCameraDef:x"));

    // Tweaks are checked and normalised.
    const Load tweaks("Tweak:tropism.direction=(0, -1,0), tropism.strength=0.25, poly.recursion=+2, other=x\n"
                      "t:poly.filltype=1");
    ASSERT_NE(nullptr, tweaks.definition);
    EXPECT_EQ((TweakMap{{"poly.filltype", "1"},
                        {"poly.recursion", "2"},
                        {"tropism.direction", "0, -1,0"},
                        {"tropism.strength", "0.250"}}),
              tweaks.definition->getTweaks());

    EXPECT_EQ((Texts{"In definition of 'tweak': 'tropism.direction' must contain three floating point values",
                     "In definition of 'tweak': 'tropism.strength' must have an floating point value",
                     "Broken definition of tweaks"}),
              errorsOf("Tweak:tropism.direction=(0,1), tropism.strength=\nTweak:broken"));
}

TEST(Loader, MessagesArriveInFileOrderAndErrorsFailTheLoad) {
    const Load load("LightDef:x\nFoo:1\ne:background.color=1\nRule:x\nShapeDef:F palette=1:d:nope");
    EXPECT_EQ(nullptr, load.definition);
    EXPECT_EQ((Texts{"Broken light definition, using default", "Unknown element occured: Foo",
                     "Background color must be given as a hexadecimal value of 6 characters",
                     "Missing parameter in rule: 'Rule:x'", "Unknown palette in definition of F\n using default"}),
              load.messages);
    EXPECT_EQ((std::vector<bool>{true, false, true, false, true}), load.warnings);

    EXPECT_EQ((Texts{"Missing parameter in rule: 'Rule:F'", "Missing parameter in name: '  Name  '",
                     "Missing parameter in definition: 'Def:_steps'", "Unknown element occured: Foo",
                     "Missing parameter in axiom: 'Axiom'", "A rule has a not numeric probability",
                     "Unknown element occured: NAME"}),
              errorsOf("Rule:F\n  Name  \nDef:_steps\nFoo:bar\nAxiom\nrule:x:::F::G\nNAME:x"));
    // Special variables must be numbers, also when empty; numbers beyond the
    // float range would read as infinite, which the writer could not write back.
    EXPECT_EQ((Texts{"'_steps' must be a numerical value!", "'_seed' must have a numerical value!",
                     "'_rotY' must have a numerical value!", "A rule has a not numeric probability",
                     "'_rotX' must be a numerical value!"}),
              errorsOf("Def:_steps:many\nDef:_seed:\nDef:_rotY:  \nDef:user:\nAxiom:F\nRule:1e39::::F::G\n"
                       "Def:_rotX:1e400"));

    // Errors already in the handler fail the load too.
    tov::StoringErrorHandler handler;
    handler.add(std::make_unique<Error>("earlier"));
    EXPECT_EQ(nullptr, OwnLSysLoader().load(handler, "x.kld", "Axiom:F"));
}

TEST(ParameterList, GroupsKeepTheirCommasOuterBracketsGoAndItemsNeedEquals) {
    const std::pair<const char*, const char*> cases[] = {
        {"((a))", "a"},
        {"(a),(b)", "(a),(b)"},
        {"()", ""},
        {"(a", "(a"},
        {"(a)x(b)", "(a)x(b)"}}; // the first bracket closes early: nothing is stripped
    for (const auto& [text, stripped] : cases) EXPECT_EQ(stripped, stripOuterBrackets(text)) << text;
    EXPECT_EQ("1", parseParameterList("(x=1)").at("x"));
    EXPECT_EQ((ParameterTable{{"a", "(1,b=2"}}), parseParameterList("a=(1,b=2")); // an unclosed group runs on

    // An item without "=" breaks the list.
    EXPECT_TRUE(parseParameterList("").empty());
    EXPECT_TRUE(parseParameterList(" () ").empty());
    for (const char* text : {"a=1,b", "a=1,", "(a,b)"})
        EXPECT_THROW(parseParameterList(text), BrokenParameterListException) << text;

    // Deep nesting is handled quickly.
    const std::string deep = std::string(200000, '(') + "k=v" + std::string(200000, ')');
    EXPECT_EQ("v", parseParameterList(deep).at("k"));

    // Read by the loader, bracket groups keep their commas.
    const Load load("ShapeDef:F palette=(1:d:gradients/glossy/rainbow,x),visible=f\n"
                    "ShapeDef:G (palette=(1:d:gradients/glossy/rainbow), visible=t)");
    // The first palette text is "1:d:gradients/glossy/rainbow,x": no such palette, only a warning.
    ASSERT_NE(nullptr, load.definition);
    EXPECT_EQ((Texts{"Unknown palette in definition of F\n using default"}), load.messages);
    EXPECT_EQ((std::vector<bool>{true}), load.warnings);
    EXPECT_FALSE(load.shape("F").visible);
    EXPECT_EQ(MaterialPalette(), load.shape("F").palette);
    EXPECT_TRUE(load.shape("G").visible);
    EXPECT_EQ("1:d:gradients/glossy/rainbow", load.shape("G").palette.text());
}

TEST(Writer, LinesInOrderWithTheirExactFormats) {
    LSystemDefinition definition;
    for (const auto& [name, value] : {std::pair{"f(x)", "x*2"}, {"g(y)", "y"}, {"size", "3"}, {"_steps", "6"}})
        definition.addConstant(name, value);
    definition.addConstant("_step", "3");               // never written
    definition.removeConstant("_currentCamera");        // always written
    const ShapeDef shown = ShapeDef::forNewSymbol("F"); // visible and interpreted
    definition.setShapeDef("+", shown);                 // the turtle never reads it: not saved
    definition.setShapeDef(".", shown);                 // colours polygon vertices: saved
    definition.setShapeDef("Leaf", shown);
    ShapeDef tube = shown;
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
    const std::string failed = "Saving failed|Could not open\n'";

    EXPECT_FALSE(saveDefinition("/proc/a.kld", sheet, definition, reporter)); // not even root may write there
    {
        FileSizeLimit full(4096); // no file grows beyond 4 kB, as on a full disk
        EXPECT_FALSE(saveDefinition(dir.path("a.kld"), sheet, definition, reporter));
    }
    const std::vector<std::string> expected = {
        failed + "/proc/a.kld'\nfor writing.\nThe folder '/proc' cannot be written to.",
        failed + dir.path("a.kld") + "'\nfor writing.\n'" + dir.path("a.kld") +
            "' could not be written (File too large)."};
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

TEST(KeptLines, AnUnchangedFileIsSavedByteForByte) {
    LSystemDefinition definition = load(handWritten);
    EXPECT_EQ(handWritten, save(definition));

    // Saved to a file, and that file saved again.
    TempDir dir;
    RecordingReporter reporter;
    ASSERT_TRUE(saveDefinition(dir.path("bush.kld"), DefinitionSheet::of(definition), definition, reporter));
    EXPECT_EQ(handWritten, readFileText(dir.path("bush.kld")));
    EXPECT_EQ(handWritten, save(definition));

    // Carriage returns end lines as well; they are written as line feeds,
    // without adding a line.
    std::string crlf = handWritten;
    for (std::size_t at = crlf.find('\n'); at != std::string::npos; at = crlf.find('\n', at + 2)) crlf.insert(at, "\r");
    EXPECT_EQ(handWritten, save(load(crlf)));
}

TEST(KeptLines, ChangedValuesAreWrittenInTheirPlace) {
    LSystemDefinition definition = load(handWritten);
    // As the window's dials store them.
    definition.addConstant("_steps", TextConvert::toString(7.0));
    definition.addConstant("_idirX", TextConvert::toString(-0.25));
    definition.addConstant("_seed", TextConvert::toString(5000.0)); // the same value: written as it was
    definition.setName("shrub");
    definition.setTweak("tropism.strength", "0.300");

    std::string expected = replaced(handWritten, "Def:_steps:120", "Def:_steps:7");
    expected = replaced(expected, "Def:_idirX:2.5", "Def:_idirX:-0.250");
    expected = replaced(expected, "Name:draft", "");
    expected = replaced(expected, "n:bush", "Name:shrub");
    // A line of several values gives a line for each when one changed.
    expected = replaced(expected, "Tweak:tropism.strength=0.2, tropism.direction=(0,-1,0)",
                        "Tweak:tropism.direction=(0,-1,0)\nTweak:tropism.strength=0.300");
    EXPECT_EQ(expected, save(definition));

    // The window's light and camera slots: a light changed in its slot, a
    // view turned, where the file held no camera.
    DefinitionSheet sheet = DefinitionSheet::of(definition);
    sheet.lights[1].diffuse = {0.5f, 0.5f, 0.5f, 1.0f};
    sheet.cameras[0].set = true;
    sheet.cameras[0].distance = 20;
    expected = replaced(expected, "LightDef:diffuse=(1.0,0.5,0.5,1.0)", "LightDef:diffuse=(0.500,0.500,0.500,1)");
    expected =
        replaced(expected, "Def:_rotX:25", "Def:_rotX:25\nCameraDef:rotation=(0,0,0,1), center=(0,0,0), distance=(20)");
    EXPECT_EQ(expected, definitionText(sheet, definition));
}

TEST(KeptLines, DeletedElementsLeaveTheirCommentsAndNewOnesGoToTheEnd) {
    LSystemDefinition definition = load(handWritten);
    std::vector<RuleRow> rules = definition.getRules();
    rules.erase(rules.begin() + 1); // the leaves' rule
    rules.push_back(RuleRow{1.0f, "", "B", "", "", "BB"});
    definition.setRules(rules);
    ASSERT_TRUE(definition.removeConstant("a"));
    definition.addConstant("b", "2");
    definition.addConstant("_rotY", TextConvert::toString(30.0)); // not in the file, now changed

    std::string expected = replaced(handWritten, "Rule:0.5:::F::FF", "");
    expected = replaced(expected, "Def:a:1e3", "");
    // New elements in the writer's order, before the lines after the last element.
    expected = replaced(expected, "Def:_rotX:25", "Def:_rotX:25\nRule:1: : :B: :BB\nDef:_rotY:30\nDef:b:2");
    EXPECT_EQ(expected, save(definition));

    // Saving takes the layout of the file written: the next save starts from it.
    TempDir dir;
    RecordingReporter reporter;
    ASSERT_TRUE(saveDefinition(dir.path("bush.kld"), DefinitionSheet::of(definition), definition, reporter));
    rules.pop_back();
    definition.setRules(rules);
    EXPECT_EQ(replaced(expected, "Rule:1: : :B: :BB", ""), save(definition));
}

TEST(KeptLines, ListsKeepTheWindowsOrder) {
    const std::string text = "# first\nRule:::: A ::B\n# second\nRule:::: B ::C\n# third\nRule:::: C ::A\n";
    LSystemDefinition definition = load(text);
    std::vector<RuleRow> rules = definition.getRules();

    // A changed rule stays in its place, also with a rule added or deleted.
    rules[1].successor = "CC";
    definition.setRules(rules);
    const std::string changed = replaced(text, "Rule:::: B ::C", "Rule:1: : :B: :CC");
    EXPECT_EQ(changed, save(definition));
    rules.erase(rules.begin());
    definition.setRules(rules);
    EXPECT_EQ(replaced(changed, "Rule:::: A ::B", ""), save(definition));
    rules.push_back(RuleRow{1.0f, "", "D", "", "", "A"});
    definition.setRules(rules);
    EXPECT_EQ(replaced(changed, "Rule:::: A ::B", "") + "Rule:1: : :D: :A\n", save(definition));

    // Rules are tried in order: a rule moved up is written (as the writer
    // makes it) before the others, and the comment of the place it left stays.
    rules = load(text).getRules();
    std::rotate(rules.begin(), rules.begin() + 2, rules.end());
    definition.setRules(rules);
    EXPECT_EQ("Rule:1: : :C: :A\n# first\nRule:::: A ::B\n# second\nRule:::: B ::C\n# third\n", save(definition));
}

TEST(RoundTrip, ReadingWritingAndReadingAgainIsAFixedPointKeepingEveryField) {
    std::vector<std::string> texts = {
        "Name: spaced name \nAxiom:F\nRule:0.1:a:b:F:x>1:FF\nDef:k:0.1\nDef:_rotZ:12.5\n"
        "ShapeDef:F visible=1, length=0.1, width=1e-3, material=0a0b0c0d0e0f10111213141516171819ff1\n"
        "LightDef:position=(0.1,0.2,0.3,0.4)\nCameraDef:rotation=(0.1,0.2,0.3,0.4), center=(1,1,1), distance=3\n"
        "Tweak:tropism.direction=(0.1, 0.2 ,0.3)\nEnvironment:background.color=123456789",
    };
    for (const char* seed : {"every-element.kld", "crlf.kld"})
        texts.push_back(readFileText(std::string(KLADO_SOURCE_DIR "/tests/definition_io/corpus/") + seed));
    for (const auto& entry : std::filesystem::directory_iterator(KLADO_SOURCE_DIR "/examples")) {
        if (entry.path().extension() != ".kld") continue;
        texts.push_back(readFileText(entry.path()));
        EXPECT_EQ(texts.back(), save(load(texts.back()))) << entry.path(); // saved unchanged, byte for byte
    }
    ASSERT_GT(texts.size(), 5u); // the examples were found
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        LSystemDefinition first = load(text);
        const std::string written = write(first);
        LSystemDefinition second = load(written);
        EXPECT_EQ(kept(first), kept(second));
        EXPECT_EQ(written, write(second));
        EXPECT_EQ(written, save(second)); // a file the writer made is kept as it is
        EXPECT_EQ(kept(first), kept(load(save(first))));
    }

    // The corpus file writes every field of a shape, light, camera and rule the
    // way the writer does: read and written back, those lines are unchanged.
    const std::string& every = texts[1];
    const std::string written = write(load(every));
    for (const char* start :
         {"Rule:0.25", "ShapeDef:Leaf ", "LightDef:position", "CameraDef:rotation", "Environment:"}) {
        const std::size_t at = every.find(start);
        ASSERT_NE(std::string::npos, at) << start;
        EXPECT_NE(std::string::npos, written.find(every.substr(at, every.find('\n', at) - at))) << start;
    }
}
