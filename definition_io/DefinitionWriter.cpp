#include "definition_io/DefinitionWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <locale>
#include <map>
#include <optional>
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

namespace {

// One element of the file: what it defines (a FileLayout key) and its line,
// empty when it is not written.
struct Element {
    std::string key;
    std::string line;
};

// The elements in the order of a new file.
std::vector<Element> elementsOf(const DefinitionSheet& sheet, const LSystemDefinition& definition) {
    std::vector<Element> elements;
    elements.push_back({"Name", "Name:" + (definition.getName().empty() ? "<unnamed>" : definition.getName())});
    elements.push_back({"Axiom", "Axiom:" + sheet.axiom});

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
        elements.push_back({"Rule", "Rule:" + ruleField(probability) + ruleField(left) + ruleField(right) +
                                        ruleField(predecessor) + ruleField(condition) + successor});
    }

    for (const std::string& symbol : sheet.ignored) {
        elements.push_back({"Ignore", "Ignore:" + symbol});
    }

    std::set<std::string> written{"_step"};
    for (const DefinitionSheet::ConstantCells& row : sheet.constants) {
        const std::string name = TextConvert::trim(row.name);
        if (!name.empty() && written.insert(constantKey(name)).second) {
            elements.push_back({"Def:" + constantKey(name), "Def:" + name + ":" + row.value});
        }
    }
    std::map<std::string, ConstantDef> constants = definition.getConstants();
    constants[currentCameraName] = ConstantDef{currentCameraName, "", std::to_string(sheet.currentCamera)};
    for (const auto& entry : constants) {
        const ConstantDef& constant = entry.second;
        if (constant.name.empty() || !written.insert(constant.name).second) {
            continue;
        }
        elements.push_back(
            {"Def:" + constant.name, "Def:" + constant.name +
                                         (constant.arguments.empty() ? "" : "(" + constant.arguments + ")") + ":" +
                                         constant.value});
    }

    for (const auto& entry : definition.getShapeDefs()) {
        if (isSavedShape(entry.first)) {
            elements.push_back({"ShapeDef:" + entry.first, "ShapeDef:" + entry.first + " " + entry.second.toText()});
        }
    }

    // Every enabled slot is an element, also one left out for its default
    // values: its place in the list is what a file line stands for.
    const auto listItem = [](const char* key, const std::string& text) {
        return Element{key, text.empty() ? text : key + (":" + text)};
    };
    for (const LightDef& light : sheet.lights) {
        if (light.enabled) elements.push_back(listItem("LightDef", light.toText()));
    }
    for (int i = 0; i < DefinitionSheet::slotCount; ++i) {
        if (sheet.camerasEnabled[i] || i == sheet.currentCamera) {
            elements.push_back(listItem("CameraDef", sheet.cameras[i].toText()));
        }
    }

    for (const auto& tweak : definition.getTweaks()) {
        elements.push_back({"Tweak:" + tweak.first, "Tweak:" + tweak.first + "=" + listValue(tweak.second)});
    }
    for (const auto& environment : definition.getEnvironment()) {
        elements.push_back({"Environment:" + environment.first,
                            "Environment:" + environment.first + "=" + listValue(environment.second)});
    }
    return elements;
}

const char* const listKeys[] = {"Rule", "Ignore", "LightDef", "CameraDef"};

bool isListEntry(const FileLayout::Entry& entry) {
    return entry.keys.size() == 1 &&
           std::find(std::begin(listKeys), std::end(listKeys), entry.keys[0]) != std::end(listKeys);
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
    return text;
}

// The lines of the keyed elements, joined; an absent element counts as empty.
std::string linesOf(const std::vector<std::string>& keys, const std::map<std::string, const Element*>& keyed) {
    std::vector<std::string> lines;
    for (const std::string& key : keys) {
        const auto found = keyed.find(key);
        lines.push_back(found == keyed.end() ? std::string() : found->second->line);
    }
    return joined(lines);
}

std::map<std::string, const Element*> keyedElements(const std::vector<Element>& elements) {
    std::map<std::string, const Element*> keyed;
    for (const Element& element : elements) {
        if (std::find(std::begin(listKeys), std::end(listKeys), element.key) == std::end(listKeys)) {
            keyed[element.key] = &element;
        }
    }
    return keyed;
}

// What makes a changed list element the one of a file line: the same
// predecessor for a rule; any light, camera or ignored symbol.
std::string headOf(const std::string& line) {
    if (line.compare(0, 5, "Rule:") != 0) return std::string();
    std::size_t start = 0;
    for (int field = 0; field < 4 && start != std::string::npos; ++field) start = line.find(':', start) + 1;
    return line.substr(start, line.find(':', start) - start);
}

// The pairs (item, slot) of a longest run of items that the slots hold in the
// same order ("same" tells whether an item is held by a slot). Equal heads
// and tails, what a few edits leave, are paired before the table is built.
template <class Same>
std::vector<std::pair<std::size_t, std::size_t>> commonRun(std::size_t items, std::size_t slots, Same same) {
    std::size_t head = 0;
    while (head < items && head < slots && same(head, head)) ++head;
    std::size_t tail = 0;
    while (tail < items - head && tail < slots - head && same(items - 1 - tail, slots - 1 - tail)) ++tail;
    const std::size_t n = items - head - tail;
    const std::size_t m = slots - head - tail;
    // common[i][j]: the longest run in the items from head + i and the slots from head + j.
    std::vector<std::vector<std::uint32_t>> common(n + 1, std::vector<std::uint32_t>(m + 1));
    for (std::size_t i = n; i-- > 0;) {
        for (std::size_t j = m; j-- > 0;) {
            common[i][j] =
                same(head + i, head + j) ? common[i + 1][j + 1] + 1 : std::max(common[i + 1][j], common[i][j + 1]);
        }
    }
    std::vector<std::pair<std::size_t, std::size_t>> run;
    for (std::size_t k = 0; k < head; ++k) run.emplace_back(k, k);
    for (std::size_t i = 0, j = 0; i < n && j < m;) {
        if (same(head + i, head + j) && common[i][j] == common[i + 1][j + 1] + 1) {
            run.emplace_back(head + i++, head + j++);
        } else if (common[i + 1][j] >= common[i][j + 1]) {
            ++i;
        } else {
            ++j;
        }
    }
    for (std::size_t k = tail; k > 0; --k) run.emplace_back(items - k, slots - k);
    return run;
}

// Where the elements of the lists go among the file's lines of their kind.
// The longest run of elements whose lines the file holds in the same order
// keeps those lines. Of the others, in order, a changed one takes the place
// of a line whose element is gone (of the same head) between the same kept
// lines; the rest follow the element placed before them, and those after
// every line of their kind go to the end of the file.
struct ListPlaces {
    std::vector<const Element*> at;                  // by entry: the element written there
    std::vector<std::vector<const Element*>> ahead;  // by entry: elements written before its lines
    std::vector<std::vector<const Element*>> behind; // by entry: elements written after it
    std::set<const Element*> placed;

    ListPlaces(const FileLayout& layout, const std::vector<Element>& elements)
        : at(layout.entries.size()), ahead(layout.entries.size()), behind(layout.entries.size()) {
        for (const char* key : listKeys) {
            std::vector<std::size_t> slots;
            for (std::size_t j = 0; j < layout.entries.size(); ++j) {
                if (isListEntry(layout.entries[j]) && layout.entries[j].keys[0] == key) slots.push_back(j);
            }
            std::vector<const Element*> items;
            for (const Element& element : elements) {
                if (element.key == key) items.push_back(&element);
            }
            placeList(layout, slots, items);
        }
    }

private:
    void placeList(const FileLayout& layout, const std::vector<std::size_t>& slots,
                   const std::vector<const Element*>& items) {
        const auto same = [&](std::size_t i, std::size_t j) {
            return items[i]->line == layout.entries[slots[j]].written;
        };
        std::optional<std::size_t> last; // the slot of the element placed last
        std::size_t free = 0;            // the first slot after it
        std::vector<const Element*> waiting;
        // Places the waiting elements before slot "end".
        const auto settle = [&](std::size_t end) {
            std::vector<std::optional<std::size_t>> paired(waiting.size());
            std::optional<std::size_t> lastPaired;
            for (std::size_t k = 0, f = free; k < waiting.size(); ++k) {
                for (std::size_t g = f; g < end; ++g) {
                    if (headOf(layout.entries[slots[g]].written) == headOf(waiting[k]->line)) {
                        paired[k] = g;
                        lastPaired = k;
                        f = g + 1;
                        break;
                    }
                }
            }
            for (std::size_t k = 0; k < waiting.size(); ++k) {
                if (paired[k]) {
                    put(at[slots[*paired[k]]], waiting[k]);
                    last = paired[k];
                } else if (end == slots.size() && (!lastPaired || k > *lastPaired)) {
                    continue; // new: to the end of the file
                } else if (last) {
                    put(behind[slots[*last]], waiting[k]);
                } else {
                    put(ahead[slots[0]], waiting[k]);
                }
            }
            waiting.clear();
        };
        std::size_t i = 0;
        for (const auto& [item, slot] : commonRun(items.size(), slots.size(), same)) {
            waiting.insert(waiting.end(), items.begin() + static_cast<std::ptrdiff_t>(i),
                           items.begin() + static_cast<std::ptrdiff_t>(item));
            settle(slot);
            put(at[slots[slot]], items[item]);
            last = slot;
            free = slot + 1;
            i = item + 1;
        }
        waiting.insert(waiting.end(), items.begin() + static_cast<std::ptrdiff_t>(i), items.end());
        settle(slots.size());
    }

    void put(const Element*& place, const Element* element) {
        place = element;
        placed.insert(element);
    }
    void put(std::vector<const Element*>& places, const Element* element) {
        places.push_back(element);
        placed.insert(element);
    }
};

// The file's layout with the current elements merged in.
FileLayout mergedLayout(const FileLayout& layout, const std::vector<Element>& elements) {
    const std::map<std::string, const Element*> keyed = keyedElements(elements);
    const ListPlaces lists(layout, elements);
    std::map<std::string, std::size_t> owners; // key -> the last entry defining it
    for (std::size_t j = 0; j < layout.entries.size(); ++j) {
        if (isListEntry(layout.entries[j])) continue;
        for (const std::string& key : layout.entries[j].keys) owners[key] = j;
    }

    FileLayout merged;
    std::vector<std::string> lines; // comment and blank lines waiting for the next element
    const auto add = [&](std::vector<std::string> keys, const std::string& line, const std::string& written) {
        merged.entries.push_back(FileLayout::Entry{std::move(lines), std::move(keys), line, written});
        lines.clear();
    };
    const auto addNew = [&](const Element* element) {
        if (!element->line.empty()) add({element->key}, element->line, element->line);
    };

    for (std::size_t j = 0; j < layout.entries.size(); ++j) {
        const FileLayout::Entry& entry = layout.entries[j];
        for (const Element* element : lists.ahead[j]) addNew(element);
        lines.insert(lines.end(), entry.before.begin(), entry.before.end());
        if (isListEntry(entry)) {
            const Element* element = lists.at[j];
            if (element != nullptr && element->line == entry.written) {
                add(entry.keys, entry.line, entry.written);
            } else if (element != nullptr) {
                addNew(element);
            }
        } else {
            const std::string current = linesOf(entry.keys, keyed);
            if (current == entry.written) {
                add(entry.keys, entry.line, current);
            } else {
                // Changed: its own elements as the writer makes them; what a
                // later line defines again is left to that line.
                std::vector<std::string> keys;
                for (const std::string& key : entry.keys) {
                    const auto found = keyed.find(key);
                    if (owners.at(key) == j && found != keyed.end() && !found->second->line.empty()) {
                        keys.push_back(key);
                    }
                }
                const std::string changed = linesOf(keys, keyed);
                if (!keys.empty()) add(keys, changed, changed);
            }
        }
        for (const Element* element : lists.behind[j]) addNew(element);
    }

    const std::set<std::string> unheld(layout.unheld.begin(), layout.unheld.end());
    for (const Element& element : elements) {
        const bool keyedElement = keyed.count(element.key) != 0;
        if (keyedElement ? owners.count(element.key) != 0 : lists.placed.count(&element) != 0) continue;
        if (unheld.count(element.line) != 0) {
            merged.unheld.push_back(element.line);
        } else {
            addNew(&element);
        }
    }
    lines.insert(lines.end(), layout.after.begin(), layout.after.end());
    merged.after = std::move(lines);
    return merged;
}

std::string textOf(const FileLayout& layout) {
    std::string text;
    for (const FileLayout::Entry& entry : layout.entries) {
        for (const std::string& line : entry.before) text += line + "\n";
        text += entry.line + "\n";
    }
    for (const std::string& line : layout.after) text += line + "\n";
    return text;
}

} // namespace

std::string definitionText(const DefinitionSheet& sheet, const LSystemDefinition& definition) {
    return textOf(mergedLayout(definition.getLayout(), elementsOf(sheet, definition)));
}

bool saveDefinition(const std::string& fileName, const DefinitionSheet& sheet, LSystemDefinition& definition,
                    FailureReporter& reporter) {
    FileLayout layout = mergedLayout(definition.getLayout(), elementsOf(sheet, definition));
    try {
        writeOutput(fileName, textOf(layout));
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
    definition.setLayout(std::move(layout));
    return true;
}

void setReadLayout(LSystemDefinition& definition, FileLayout layout) {
    const std::vector<Element> elements = elementsOf(DefinitionSheet::of(definition), definition);
    const std::map<std::string, const Element*> keyed = keyedElements(elements);
    std::set<std::string> held;
    std::map<std::string, std::vector<const Element*>> lists;
    for (const Element& element : elements) lists[element.key].push_back(&element);
    std::map<std::string, std::size_t> counts; // list entries seen, by key
    for (FileLayout::Entry& entry : layout.entries) {
        held.insert(entry.keys.begin(), entry.keys.end());
        if (!isListEntry(entry)) {
            entry.written = linesOf(entry.keys, keyed);
            continue;
        }
        // The n-th line of a list stands for its n-th element.
        const std::vector<const Element*>& list = lists[entry.keys[0]];
        const std::size_t n = counts[entry.keys[0]]++;
        if (n < list.size()) entry.written = list[n]->line;
    }
    for (const auto& [key, element] : keyed) {
        if (held.count(key) == 0 && !element->line.empty()) layout.unheld.push_back(element->line);
    }
    definition.setLayout(std::move(layout));
}
