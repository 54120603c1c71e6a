#pragma once
// The editable record of an L-system: what a definition file holds and what
// the workbench edits. buildLSystem (LSystem.h) compiles it for computing.

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "records/CameraDef.h"
#include "records/EnvironmentAndTweaks.h"
#include "records/LightDef.h"
#include "records/ShapeDef.h"

// One rule as the user wrote it. An empty text stands for no left context,
// no right context or no condition.
struct RuleRow {
    float probability = 1.0f;
    std::string leftContext;
    std::string predecessor;
    std::string rightContext;
    std::string condition;
    std::string successor;
};

// A constant, or a function when it has an argument list. The value is an
// expression; the argument list plays no part in evaluating it.
struct ConstantDef {
    std::string name;
    std::string arguments;
    std::string value;
};

// The lines of the file a definition was read from (or last saved to), so
// that saving keeps what the user wrote: comment and blank lines, the order of
// the elements and the text of every element not changed since. The keys and
// the writer's lines are those of the file writer (definition_io).
struct FileLayout {
    struct Entry {
        std::vector<std::string> before; // comment and blank lines above the element
        std::vector<std::string> keys;   // what the line defines, e.g. "Def:size"; "Rule" for a list element
        std::string line;                // as the file holds it
        std::string written;             // the writer's lines for those keys when the file was read
    };
    std::vector<Entry> entries;
    std::vector<std::string> after;  // comment and blank lines after the last element
    std::vector<std::string> unheld; // the writer's lines, when the file was read, of what it did not hold
};

class LSystemDefinition {
public:
    // Empty name, axiom and lists, and the twelve special variables with
    // their defaults.
    LSystemDefinition();

    const std::string& getName() const { return myName; }
    void setName(const std::string& name) { myName = name; }
    const std::string& getAxiom() const { return myAxiom; }
    void setAxiom(const std::string& axiom) { myAxiom = axiom; }

    const std::vector<RuleRow>& getRules() const { return myRules; }
    void setRules(std::vector<RuleRow> rules) { myRules = std::move(rules); }
    void addRule(float probability, const std::string& leftContext, const std::string& rightContext,
                 const std::string& predecessor, const std::string& condition, const std::string& successor);

    const std::map<std::string, ConstantDef>& getConstants() const { return myConstants; }
    // Enters a constant, replacing one of the same name. A name with "(" is a
    // function: the name ends before the first "(", the argument list is the
    // text up to the first ")". The value of a special variable must be a
    // number: otherwise the number reader's exception (EmptyData or
    // NumberFormatException) is raised and nothing changes.
    void addConstant(const std::string& name, const std::string& value);
    // False when there is no constant of that name.
    bool removeConstant(const std::string& name);

    const std::vector<std::string>& getIgnoreList() const { return myIgnoreList; }
    void setIgnoreList(std::vector<std::string> names) { myIgnoreList = std::move(names); }
    // Duplicates are kept.
    void addIgnored(const std::string& name) { myIgnoreList.push_back(name); }

    const std::map<std::string, ShapeDef>& getShapeDefs() const { return myShapeDefs; }
    void setShapeDef(const std::string& symbolName, const ShapeDef& shape) { myShapeDefs[symbolName] = shape; }
    void setShapeDefs(std::map<std::string, ShapeDef> shapes) { myShapeDefs = std::move(shapes); }
    const std::vector<LightDef>& getLights() const { return myLights; }
    void addLight(const LightDef& light) { myLights.push_back(light); }
    const std::vector<CameraDef>& getCameras() const { return myCameras; }
    void addCamera(const CameraDef& camera) { myCameras.push_back(camera); }
    const TweakMap& getTweaks() const { return myTweaks; }
    void setTweak(const std::string& key, const std::string& value) { myTweaks[key] = value; }
    void setTweaks(TweakMap tweaks) { myTweaks = std::move(tweaks); }
    const EnvironmentMap& getEnvironment() const { return myEnvironment; }
    void setEnvironment(const std::string& key, const std::string& value) { myEnvironment[key] = value; }
    void setEnvironment(EnvironmentMap environment) { myEnvironment = std::move(environment); }

    // Empty for a definition that was never read or saved.
    const FileLayout& getLayout() const { return myLayout; }
    void setLayout(FileLayout layout) { myLayout = std::move(layout); }

    // The names of the special variables.
    const std::vector<std::string>& getReservedNames() const { return myReservedNames; }
    bool isReserved(const std::string& name) const;

private:
    std::string myName;
    std::vector<RuleRow> myRules;
    std::map<std::string, ConstantDef> myConstants;
    std::vector<std::string> myIgnoreList;
    std::string myAxiom;
    std::map<std::string, ShapeDef> myShapeDefs;
    std::vector<LightDef> myLights;
    std::vector<CameraDef> myCameras;
    TweakMap myTweaks;
    EnvironmentMap myEnvironment;
    std::vector<std::string> myReservedNames;
    FileLayout myLayout;
};
