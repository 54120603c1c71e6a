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

// What the writer makes of the definition as of a new document, without the
// lines of the file it was read from.
std::string write(const LSystemDefinition& definition) {
    LSystemDefinition fresh = definition;
    fresh.setLayout(FileLayout());
    return definitionText(DefinitionSheet::of(fresh), fresh);
}

// What saving the definition unchanged writes.
std::string save(const LSystemDefinition& definition) {
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

} // namespace

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
    std::size_t examples = 0;
    for (const auto& entry : std::filesystem::directory_iterator(KLADO_SOURCE_DIR "/examples")) {
        if (entry.path().extension() != ".kld") continue;
        texts.push_back(readFileText(entry.path()));
        const std::unique_ptr<LSystemDefinition> example = load(texts.back());
        ASSERT_NE(nullptr, example);
        EXPECT_EQ(texts.back(), save(*example)) << entry.path(); // saved unchanged, byte for byte
        ++examples;
    }
    ASSERT_GT(examples, 2u);
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        const std::unique_ptr<LSystemDefinition> first = load(text);
        ASSERT_NE(nullptr, first);
        const std::string written = write(*first);
        const std::unique_ptr<LSystemDefinition> second = load(written);
        ASSERT_NE(nullptr, second);
        EXPECT_EQ(kept(*first), kept(*second));
        EXPECT_EQ(written, write(*second));
        EXPECT_EQ(written, save(*second)); // a file the writer made is kept as it is
        const std::unique_ptr<LSystemDefinition> saved = load(save(*first));
        ASSERT_NE(nullptr, saved);
        EXPECT_EQ(kept(*first), kept(*saved));
    }
}

// The corpus file writes every field of a shape, light, camera and rule the
// way the writer does: read and written back, those lines are unchanged.
TEST(RoundTrip, EveryFieldIsReadAndWrittenBack) {
    const std::string every = readFileText(KLADO_SOURCE_DIR "/tests/definition_io/corpus/every-element.kld");
    const std::unique_ptr<LSystemDefinition> definition = load(every);
    ASSERT_NE(nullptr, definition);
    const std::string written = write(*definition);
    for (const char* start :
         {"Rule:0.25", "ShapeDef:Leaf ", "LightDef:position", "CameraDef:rotation", "Environment:"}) {
        const std::size_t at = every.find(start);
        ASSERT_NE(std::string::npos, at) << start;
        EXPECT_NE(std::string::npos, written.find(every.substr(at, every.find('\n', at) - at))) << start;
    }
}
