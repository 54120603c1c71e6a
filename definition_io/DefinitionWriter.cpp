#include "definition_io/DefinitionWriter.h"

#include <cmath>
#include <locale>
#include <map>
#include <set>
#include <sstream>

#include "definition_io/ParameterList.h"
#include "diagnostics/Exceptions.h"
#include "diagnostics/FileText.h"
#include "lsys/String2IDManager.h"
#include "options/TextConvert.h"

namespace {

const char* const currentCameraName = "_currentCamera";

// The name under which the definition keeps a constant: a function's name
// ends before its argument list.
std::string constantKey(const std::string& name) { return name.substr(0, name.find('(')); }

// The shapes of the turtle's own symbols are not saved, except those of "."
// and "{": the turtle colours polygon vertices and polygons with them.
bool isSavedShape(const std::string& name) {
    const bool builtin = name.size() == 1 && isBuiltinCharacter(name[0]);
    return !name.empty() && (!builtin || name == "." || name == "{");
}

// A field of a rule line: an empty field is written as a space so that the
// line never holds two adjacent colons.
std::string ruleField(const std::string& cell) { return (cell.empty() ? " " : cell) + ":"; }

// A value holding commas is bracketed, so that it reads back as one item.
std::string listValue(const std::string& value) {
    return value.find(',') == std::string::npos ? value : "(" + value + ")";
}

int currentCameraOf(const LSystemDefinition& definition) {
    const auto found = definition.getConstants().find(currentCameraName);
    if (found == definition.getConstants().end()) {
        return 0;
    }
    try {
        const float value = TextConvert::toFloat(TextConvert::trim(found->second.value));
        return std::isfinite(value) && std::fabs(value) < 1e9f ? static_cast<int>(value) : 0;
    } catch (const std::exception&) {
        return 0;
    }
}

} // namespace

DefinitionSheet DefinitionSheet::of(const LSystemDefinition& definition) {
    DefinitionSheet sheet;
    sheet.axiom = definition.getAxiom();
    for (const RuleRow& row : definition.getRules()) {
        std::ostringstream probability;
        probability.imbue(std::locale::classic());
        probability << row.probability;
        sheet.rules.push_back(RuleCells{probability.str(), row.leftContext, row.predecessor, row.rightContext,
                                        row.condition, row.successor});
    }
    sheet.ignored = definition.getIgnoreList();
    for (std::size_t i = 0; i < definition.getLights().size() && i < slotCount; ++i) {
        sheet.lights[i] = definition.getLights()[i];
        sheet.lights[i].enabled = true;
    }
    for (std::size_t i = 0; i < definition.getCameras().size() && i < slotCount; ++i) {
        sheet.cameras[i] = definition.getCameras()[i];
        sheet.camerasEnabled[i] = true;
    }
    sheet.currentCamera = currentCameraOf(definition);
    return sheet;
}

std::string definitionText(const DefinitionSheet& sheet, const LSystemDefinition& definition) {
    std::ostringstream out;
    out << "Name:" << (definition.getName().empty() ? "<unnamed>" : definition.getName()) << "\n";
    out << "Axiom:" << sheet.axiom << "\n";

    for (const DefinitionSheet::RuleCells& row : sheet.rules) {
        const std::string probability = TextConvert::trim(row.probability);
        const std::string left = TextConvert::trim(row.leftContext);
        const std::string predecessor = TextConvert::trim(row.predecessor);
        const std::string right = TextConvert::trim(row.rightContext);
        const std::string condition = TextConvert::trim(row.condition);
        const std::string successor = TextConvert::trim(row.successor);
        if ((probability + left + predecessor + right + condition + successor).empty()) {
            continue;
        }
        out << "Rule:" << ruleField(probability) << ruleField(left) << ruleField(right) << ruleField(predecessor)
            << ruleField(condition) << successor << "\n";
    }

    for (const std::string& symbol : sheet.ignored) {
        out << "Ignore:" << symbol << "\n";
    }

    std::set<std::string> written{"_step"};
    for (const DefinitionSheet::ConstantCells& row : sheet.constants) {
        const std::string name = TextConvert::trim(row.name);
        if (!name.empty() && written.insert(constantKey(name)).second) {
            out << "Def:" << name << ":" << row.value << "\n";
        }
    }
    std::map<std::string, ConstantDef> constants = definition.getConstants();
    constants[currentCameraName] = ConstantDef{currentCameraName, "", std::to_string(sheet.currentCamera)};
    for (const auto& entry : constants) {
        const ConstantDef& constant = entry.second;
        if (constant.name.empty() || !written.insert(constant.name).second) {
            continue;
        }
        out << "Def:" << constant.name << (constant.arguments.empty() ? "" : "(" + constant.arguments + ")") << ":"
            << constant.value << "\n";
    }

    for (const auto& entry : definition.getShapeDefs()) {
        if (isSavedShape(entry.first)) {
            out << "ShapeDef:" << entry.first << " " << entry.second.toText() << "\n";
        }
    }

    for (const LightDef& light : sheet.lights) {
        const std::string text = light.enabled ? light.toText() : std::string();
        if (!text.empty()) {
            out << "LightDef:" << text << "\n";
        }
    }
    for (int i = 0; i < DefinitionSheet::slotCount; ++i) {
        const bool enabled = sheet.camerasEnabled[i] || i == sheet.currentCamera;
        const std::string text = enabled ? sheet.cameras[i].toText() : std::string();
        if (!text.empty()) {
            out << "CameraDef:" << text << "\n";
        }
    }

    for (const auto& tweak : definition.getTweaks()) {
        out << "Tweak:" << tweak.first << "=" << listValue(tweak.second) << "\n";
    }
    for (const auto& environment : definition.getEnvironment()) {
        out << "Environment:" << environment.first << "=" << listValue(environment.second) << "\n";
    }
    return out.str();
}

bool saveDefinition(const std::string& fileName, const DefinitionSheet& sheet, LSystemDefinition& definition,
                    FailureReporter& reporter) {
    try {
        writeOutput(fileName, definitionText(sheet, definition));
    } catch (const FileNotWriteable& error) {
        std::string text = "Could not open\n'" + fileName + "'\nfor writing.";
        if (!error.reason().empty()) text += "\n" + error.reason();
        reporter.report("Saving failed", text);
        return false;
    }
    if (definition.getName().empty()) {
        definition.setName("<unnamed>");
    }
    definition.addConstant(currentCameraName, std::to_string(sheet.currentCamera));
    return true;
}
