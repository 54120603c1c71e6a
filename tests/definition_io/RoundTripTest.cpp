#include "definition_io/DefinitionWriter.h"
#include "definition_io/OwnLSysLoader.h"
#include "diagnostics/FileText.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iomanip>
#include <sstream>

#include "diagnostics/ErrorHandler.h"

namespace {

std::unique_ptr<LSystemDefinition> load(const std::string& text) {
    tov::StoringErrorHandler handler;
    std::unique_ptr<LSystemDefinition> definition = OwnLSysLoader().load(handler, "round-trip.kld", text);
    EXPECT_EQ("", tov::joinMessages(handler));
    return definition;
}

std::string write(const LSystemDefinition& definition) {
    return definitionText(DefinitionSheet::of(definition), definition);
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

LSystemDefinition richDefinition() {
    LSystemDefinition definition;
    definition.setName("rich plant");
    definition.setAxiom("A(1,2)[+B]C");
    definition.addRule(0.25f, "L", "R(x)", "A(a,b)", "a>1 && b<3", "A(a*2,b)[-B]");
    definition.addRule(0.75f, "", "", "A(a,b)", "", "C");
    definition.addRule(1.0f, "", "", "B", "", "FB");
    definition.addIgnored("+");
    definition.addIgnored("Leaf");
    definition.addConstant("size", "3*2");
    definition.addConstant("grow(x)", "x*size");
    definition.addConstant("_steps", "5");
    definition.addConstant("_currentCamera", "1");
    definition.addConstant("_multichar", "1");

    ShapeDef full;
    full.type = ShapeType::Cone;
    full.length = 2.5;
    full.width = 0.75;
    full.width2 = 0.125;
    full.height = 3;
    full.corners = 6;
    full.quality = ShapeQuality::VeryLow;
    full.innerWidth = 0.5;
    full.rotX = 90;
    full.rotY = -45;
    full.rotZ = 1.5;
    full.scaleX = 2;
    full.scaleY = 0.5;
    full.scaleZ = 4;
    full.addLine = true;
    full.interpreted = true;
    full.visible = true;
    full.move = false;
    full.coloringType = ColoringMode::PaletteIterate;
    full.material.read("102030ff405060ff01020300708090ff801");
    full.indexOffset = -3;
    full.minColor = 10;
    full.maxColor = 200;
    full.closing1 = CapKind::None;
    full.closing2 = CapKind::Extruded;
    full.palette.read("1:d:gradients/glossy/rainbow"); // written in the short form
    definition.setShapeDef("Leaf", full);

    ShapeDef own;
    own.interpreted = true;
    own.palette[7].read("ffffffff000000000000000000000000111"); // no library palette: the full form
    definition.setShapeDef("B", own);
    definition.setShapeDef("C", ShapeDef());

    LightDef light;
    light.position = {1.5f, -2, 300, 1};
    light.diffuse = {0.25f, 0.5f, 0.75f, 1};
    definition.addLight(light);
    LightDef second;
    second.ambient = {0, 0, 0.125f, 1};
    definition.addLight(second);

    CameraDef camera;
    camera.set = true;
    camera.center = {1, 2, 3.5};
    camera.rotation = {0, 0.5, 0.25, 0.75};
    camera.distance = 120.5;
    definition.addCamera(camera);
    definition.addCamera(camera);

    definition.setTweak("tropism.direction", "0,-1,0.5");
    definition.setTweak("tropism.strength", "0.200");
    definition.setTweak("poly.recursion", "1");
    definition.setTweak("poly.filltype", "2");
    definition.setEnvironment("background.color", "a0b0c0");
    return definition;
}

} // namespace

TEST(RoundTrip, ARichDefinitionReadsBackEqual) {
    const LSystemDefinition original = richDefinition();
    const std::string text = write(original);
    const std::unique_ptr<LSystemDefinition> reread = load(text);
    ASSERT_NE(nullptr, reread) << text;
    EXPECT_EQ(kept(original), kept(*reread));
    EXPECT_NE(std::string::npos, text.find("palette=1:d:gradients/glossy/rainbow"));
    EXPECT_NE(std::string::npos, text.find("palette=1:256:"));
}

TEST(RoundTrip, ReadingWritingAndReadingAgainIsAFixedPoint) {
    std::vector<std::string> texts = {
        "Name: spaced name \nAxiom:F\nRule:0.1:a:b:F:x>1:FF\nDef:k:0.1\nDef:_rotZ:12.5\n"
        "ShapeDef:F visible=1, length=0.1, width=1e-3, material=0a0b0c0d0e0f10111213141516171819ff1\n"
        "LightDef:position=(0.1,0.2,0.3,0.4)\nCameraDef:rotation=(0.1,0.2,0.3,0.4), center=(1,1,1), distance=3\n"
        "Tweak:tropism.direction=(0.1, 0.2 ,0.3)\nEnvironment:background.color=123456789",
    };
    for (const char* seed : {"every-element.kld", "crlf.kld"}) {
        texts.push_back(readFileText(std::string(KLADO_SOURCE_DIR "/tests/definition_io/corpus/") + seed));
    }
    for (const auto& entry : std::filesystem::directory_iterator(KLADO_SOURCE_DIR "/examples")) {
        if (entry.path().extension() == ".kld") texts.push_back(readFileText(entry.path()));
    }
    ASSERT_GT(texts.size(), 4u);
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        const std::unique_ptr<LSystemDefinition> first = load(text);
        ASSERT_NE(nullptr, first);
        const std::string written = write(*first);
        const std::unique_ptr<LSystemDefinition> second = load(written);
        ASSERT_NE(nullptr, second);
        EXPECT_EQ(kept(*first), kept(*second));
        EXPECT_EQ(written, write(*second));
    }
}
