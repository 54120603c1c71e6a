#pragma once
// Writing a definition as a ".kld" file. The window supplies what its
// editing widgets show (DefinitionSheet); the definition supplies its name,
// constants, shapes, tweaks and environment.

#include <array>
#include <string>
#include <vector>

#include "diagnostics/FailureReporter.h"
#include "lsys/LSystemDefinition.h"
#include "records/CameraDef.h"
#include "records/LightDef.h"

struct DefinitionSheet {
    static constexpr int slotCount = 8;

    // One row of the rule table, in the table's column order.
    struct RuleCells {
        std::string probability;
        std::string leftContext;
        std::string predecessor;
        std::string rightContext;
        std::string condition;
        std::string successor;
    };
    // One row of the constants table; a function's name cell holds its
    // argument list, as in "f(x)".
    struct ConstantCells {
        std::string name;
        std::string value;
    };

    std::string axiom;                      // as edited
    std::vector<RuleCells> rules;           // top to bottom
    std::vector<std::string> ignored;       // symbol cells of the checked rows of the ignore table
    std::vector<ConstantCells> constants;   // top to bottom
    std::array<LightDef, slotCount> lights; // LightDef::enabled is the slot's flag
    std::array<CameraDef, slotCount> cameras;
    std::array<bool, slotCount> camerasEnabled{};
    int currentCamera = 0; // always saved, as if enabled

    // What a window shows right after loading the definition: its axiom, rule
    // rows and ignore list, the first eight lights and cameras (enabled), the
    // camera of "_currentCamera", and an empty constants table (every
    // constant is then written from the definition).
    static DefinitionSheet of(const LSystemDefinition& definition);
};

// The text of the file. Without a layout (a definition never read or saved)
// one element per line in this order: Name, Axiom, Rule (non-empty rows),
// Ignore, Def (constants table, then the other constants of the definition by
// name, "_step" never, "_currentCamera" always), ShapeDef (by symbol name:
// user symbols, "." and "{"), LightDef and CameraDef (enabled slots that
// differ from the defaults), Tweak and Environment (by key).
//
// With the layout of the file the definition was read from, that file's lines
// are kept: an element unchanged since is written as the file held it, a
// changed one as above in its place; a deleted one leaves the comment and
// blank lines that were above it; new elements go, in the order above, before
// the lines that follow the last element. What the file did not hold is
// written only when it has changed since. Rules, lights and cameras keep the
// order they have in the window.
std::string definitionText(const DefinitionSheet& sheet, const LSystemDefinition& definition);

// Writes the file as an output (diagnostics/FileText.h). On success the
// definition takes the name "<unnamed>" when it had none, "_currentCamera"
// becomes the current camera slot and the layout becomes that of the file
// written; true is returned. On failure "Saving failed" / "Could not
// open\n'<file>'\nfor writing." and a line with the reason ("'<file>' is
// read-only.", ...) is reported, false is returned, and the old file and the
// definition stay as they were.
bool saveDefinition(const std::string& fileName, const DefinitionSheet& sheet, LSystemDefinition& definition,
                    FailureReporter& reporter);

// Gives a definition just read the layout of its file: the lines read, each
// element line with the keys of what it defined (FileLayout::Entry::keys, as
// the writer names them: "Name", "Axiom", "Def:<name>", "ShapeDef:<symbol>",
// "Tweak:<key>", "Environment:<key>", and "Rule", "Ignore", "LightDef",
// "CameraDef" for list elements). The writer's lines are added here.
void setReadLayout(LSystemDefinition& definition, FileLayout layout);
