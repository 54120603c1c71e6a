#include "definition_io/DefinitionWriter.h"
#include "definition_io/OwnLSysLoader.h"

#include <gtest/gtest.h>

#include "diagnostics/ErrorHandler.h"
#include "diagnostics/FileText.h"
#include "options/TextConvert.h"
#include "tests/TempDir.h"

namespace {

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

std::unique_ptr<LSystemDefinition> load(const std::string& text) {
    tov::StoringErrorHandler handler;
    std::unique_ptr<LSystemDefinition> definition = OwnLSysLoader().load(handler, "kept.kld", text);
    EXPECT_EQ("", tov::joinMessages(handler));
    return definition;
}

std::string save(const LSystemDefinition& definition) {
    return definitionText(DefinitionSheet::of(definition), definition);
}

// The text with one line replaced ("" removes it).
std::string replaced(std::string text, const std::string& line, const std::string& by) {
    const std::size_t at = text.find(line + "\n");
    EXPECT_NE(std::string::npos, at) << line;
    return text.replace(at, line.size() + 1, by.empty() ? by : by + "\n");
}

struct NoReporter : FailureReporter {
    void report(const std::string&, const std::string& message) override { ADD_FAILURE() << message; }
};

} // namespace

TEST(KeptLines, AnUnchangedFileIsSavedByteForByte) {
    const std::unique_ptr<LSystemDefinition> definition = load(handWritten);
    ASSERT_NE(nullptr, definition);
    EXPECT_EQ("5000", definition->getConstants().at("_seed").value);
    EXPECT_EQ(handWritten, save(*definition));

    // Saved to a file, and that file saved again.
    TempDir dir;
    NoReporter reporter;
    ASSERT_TRUE(saveDefinition(dir.path("bush.kld"), DefinitionSheet::of(*definition), *definition, reporter));
    EXPECT_EQ(handWritten, readFileText(dir.path("bush.kld")));
    EXPECT_EQ(handWritten, save(*definition));

    // Carriage returns end lines as well; they are written as line feeds,
    // without adding a line.
    std::string crlf = handWritten;
    for (std::size_t at = crlf.find('\n'); at != std::string::npos; at = crlf.find('\n', at + 2)) crlf.insert(at, "\r");
    const std::unique_ptr<LSystemDefinition> fromCrlf = load(crlf);
    ASSERT_NE(nullptr, fromCrlf);
    EXPECT_EQ(handWritten, save(*fromCrlf));
}

TEST(KeptLines, ChangedValuesAreWrittenInTheirPlace) {
    const std::unique_ptr<LSystemDefinition> definition = load(handWritten);
    ASSERT_NE(nullptr, definition);
    // As the window's dials store them.
    definition->addConstant("_steps", TextConvert::toString(7.0));
    definition->addConstant("_idirX", TextConvert::toString(-0.25));
    definition->addConstant("_seed", TextConvert::toString(5000.0)); // the same value: written as it was
    definition->setName("shrub");
    definition->setTweak("tropism.strength", "0.300");

    std::string expected = replaced(handWritten, "Def:_steps:120", "Def:_steps:7");
    expected = replaced(expected, "Def:_idirX:2.5", "Def:_idirX:-0.250");
    expected = replaced(expected, "Name:draft", "");
    expected = replaced(expected, "n:bush", "Name:shrub");
    // A line of several values gives a line for each when one changed.
    expected = replaced(expected, "Tweak:tropism.strength=0.2, tropism.direction=(0,-1,0)",
                        "Tweak:tropism.direction=(0,-1,0)\nTweak:tropism.strength=0.300");
    EXPECT_EQ(expected, save(*definition));

    // The window's light and camera slots: a light changed in its slot, a
    // view turned, where the file held no camera.
    DefinitionSheet sheet = DefinitionSheet::of(*definition);
    sheet.lights[1].diffuse = {0.5f, 0.5f, 0.5f, 1.0f};
    sheet.cameras[0].set = true;
    sheet.cameras[0].distance = 20;
    expected = replaced(expected, "LightDef:diffuse=(1.0,0.5,0.5,1.0)", "LightDef:diffuse=(0.500,0.500,0.500,1)");
    expected =
        replaced(expected, "Def:_rotX:25", "Def:_rotX:25\nCameraDef:rotation=(0,0,0,1), center=(0,0,0), distance=(20)");
    EXPECT_EQ(expected, definitionText(sheet, *definition));
}

TEST(KeptLines, DeletedElementsLeaveTheirCommentsAndNewOnesGoToTheEnd) {
    const std::unique_ptr<LSystemDefinition> definition = load(handWritten);
    ASSERT_NE(nullptr, definition);
    std::vector<RuleRow> rules = definition->getRules();
    rules.erase(rules.begin() + 1); // the leaves' rule
    rules.push_back(RuleRow{1.0f, "", "B", "", "", "BB"});
    definition->setRules(rules);
    ASSERT_TRUE(definition->removeConstant("a"));
    definition->addConstant("b", "2");
    definition->addConstant("_rotY", TextConvert::toString(30.0)); // not in the file, now changed

    std::string expected = replaced(handWritten, "Rule:0.5:::F::FF", "");
    expected = replaced(expected, "Def:a:1e3", "");
    // New elements in the writer's order, before the lines after the last element.
    expected = replaced(expected, "Def:_rotX:25", "Def:_rotX:25\nRule:1: : :B: :BB\nDef:_rotY:30\nDef:b:2");
    EXPECT_EQ(expected, save(*definition));
    EXPECT_NE(std::string::npos, expected.find("# leaves\n\nName:draft\n"));

    // Saving takes the layout of the file written: the next save starts from it.
    TempDir dir;
    NoReporter reporter;
    ASSERT_TRUE(saveDefinition(dir.path("bush.kld"), DefinitionSheet::of(*definition), *definition, reporter));
    rules.pop_back();
    definition->setRules(rules);
    EXPECT_EQ(replaced(expected, "Rule:1: : :B: :BB", ""), save(*definition));
}

TEST(KeptLines, ListsKeepTheWindowsOrder) {
    const std::string text = "# first\nRule:::: A ::B\n# second\nRule:::: B ::C\n# third\nRule:::: C ::A\n";
    const std::unique_ptr<LSystemDefinition> definition = load(text);
    ASSERT_NE(nullptr, definition);
    std::vector<RuleRow> rules = definition->getRules();

    // A changed rule stays in its place, also with a rule added or deleted.
    rules[1].successor = "CC";
    definition->setRules(rules);
    const std::string changed = replaced(text, "Rule:::: B ::C", "Rule:1: : :B: :CC");
    EXPECT_EQ(changed, save(*definition));
    rules.erase(rules.begin());
    definition->setRules(rules);
    EXPECT_EQ(replaced(changed, "Rule:::: A ::B", ""), save(*definition));
    rules.push_back(RuleRow{1.0f, "", "D", "", "", "A"});
    definition->setRules(rules);
    EXPECT_EQ(replaced(changed, "Rule:::: A ::B", "") + "Rule:1: : :D: :A\n", save(*definition));

    // Rules are tried in order: a rule moved up is written (as the writer
    // makes it) before the others, and the comment of the place it left stays.
    rules = load(text)->getRules();
    std::rotate(rules.begin(), rules.begin() + 2, rules.end());
    definition->setRules(rules);
    EXPECT_EQ("Rule:1: : :C: :A\n# first\nRule:::: A ::B\n# second\nRule:::: B ::C\n# third\n", save(*definition));
}

TEST(KeptLines, WhatTheFileDidNotHoldIsWrittenOnlyWhenChanged) {
    const std::unique_ptr<LSystemDefinition> definition = load("Axiom:F\n");
    ASSERT_NE(nullptr, definition);
    EXPECT_EQ("Axiom:F\n", save(*definition));
    definition->addConstant("_steps", TextConvert::toString(6.0));
    EXPECT_EQ("Axiom:F\nDef:_steps:6\n", save(*definition));
}
