#include "definition_io/OwnLSysLoader.h"
#include "definition_io/ParameterList.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "diagnostics/ErrorHandler.h"

namespace {

using Texts = std::vector<std::string>;

// Loads a text and keeps what the reader reported.
struct Load {
    explicit Load(const std::string& text) : definition(OwnLSysLoader().load(handler, "test.kld", text)) {
        while (handler.hasNext()) {
            const Error* record = handler.next();
            messages.push_back(record->message());
            warnings.push_back(record->isWarning());
            EXPECT_EQ(-1, record->id());
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

} // namespace

TEST(Loader, RuleLinesCarrySixFieldsInFileOrder) {
    const Load load("Rule:0.5:a:b:F:x>1:FF\nr::::F::G\nRule: 0,25 : A : : B(x) : : C(x+1) :ignored");
    ASSERT_NE(nullptr, load.definition);
    Texts rows;
    for (const RuleRow& row : load.definition->getRules()) {
        rows.push_back(std::to_string(row.probability) + "|" + row.leftContext + "|" + row.rightContext + "|" +
                       row.predecessor + "|" + row.condition + "|" + row.successor);
    }
    EXPECT_EQ((Texts{"0.500000|a|b|F|x>1|FF", "1.000000|||F||G", "0.250000|A||B(x)||C(x+1)"}), rows);
}

TEST(Loader, MissingFieldsAndUnknownKeysFailTheLoad) {
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
}

TEST(Loader, NameAxiomIgnoreAndConstants) {
    const Load load("Name:first\nName: second \nAxiom: F(1):G \ni: A \nIgnore:B\nIgnore:A\n"
                    "Def: size : 3*2 \nd:f(x):x*2\nDef:_steps: 7 \nDef:_rotX:1,5\nDef:_rotY:2,0");
    ASSERT_NE(nullptr, load.definition);
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

TEST(Loader, BracketGroupsKeepTheirCommas) {
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

TEST(Loader, LightsAndCamerasAreReadAndTheirListsChecked) {
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
}

TEST(Loader, TweaksAreCheckedAndNormalised) {
    const Load good("Tweak:tropism.direction=(0, -1,0), tropism.strength=0.25, poly.recursion=+2, other=x\n"
                    "t:poly.filltype=1");
    ASSERT_NE(nullptr, good.definition);
    EXPECT_EQ((TweakMap{{"poly.filltype", "1"},
                        {"poly.recursion", "2"},
                        {"tropism.direction", "0, -1,0"},
                        {"tropism.strength", "0.250"}}),
              good.definition->getTweaks());

    EXPECT_EQ((Texts{"In definition of 'tweak': 'tropism.direction' must contain three floating point values",
                     "In definition of 'tweak': 'tropism.strength' must have an floating point value",
                     "Broken definition of tweaks"}),
              errorsOf("Tweak:tropism.direction=(0,1), tropism.strength=\nTweak:broken"));
}

TEST(Loader, WarningsAndErrorsArriveInFileOrder) {
    const Load load("LightDef:x\nFoo:1\ne:background.color=1\nRule:x\nShapeDef:F palette=1:d:nope");
    EXPECT_EQ(nullptr, load.definition);
    EXPECT_EQ((Texts{"Broken light definition, using default", "Unknown element occured: Foo",
                     "Background color must be given as a hexadecimal value of 6 characters",
                     "Missing parameter in rule: 'Rule:x'", "Unknown palette in definition of F\n using default"}),
              load.messages);
    EXPECT_EQ((std::vector<bool>{true, false, true, false, true}), load.warnings);

    // Errors already in the handler fail the load too.
    tov::StoringErrorHandler handler;
    handler.add(std::make_unique<Error>("earlier"));
    EXPECT_EQ(nullptr, OwnLSysLoader().load(handler, "x.kld", "Axiom:F"));
}

TEST(ParameterList, OuterBracketsOnlyWhenTheyCloseAtTheEnd) {
    const std::pair<const char*, const char*> cases[] = {
        {"((a))", "a"},
        {"(a),(b)", "(a),(b)"},
        {"()", ""},
        {"(a", "(a"},
        {"(a)x(b)", "(a)x(b)"}}; // the first bracket closes early: nothing is stripped
    for (const auto& [text, stripped] : cases) EXPECT_EQ(stripped, stripOuterBrackets(text)) << text;
    EXPECT_EQ("1", parseParameterList("(x=1)").at("x"));
    EXPECT_EQ((ParameterTable{{"a", "(1,b=2"}}), parseParameterList("a=(1,b=2")); // an unclosed group runs on
}

TEST(ParameterList, AnItemWithoutEqualsBreaksTheList) {
    EXPECT_TRUE(parseParameterList("").empty());
    EXPECT_TRUE(parseParameterList(" () ").empty());
    for (const char* text : {"a=1,b", "a=1,", "(a,b)"})
        EXPECT_THROW(parseParameterList(text), BrokenParameterListException) << text;
}

TEST(ParameterList, DeepNestingIsHandledQuickly) {
    const std::string deep = std::string(200000, '(') + "k=v" + std::string(200000, ')');
    EXPECT_EQ("v", parseParameterList(deep).at("k"));
}
