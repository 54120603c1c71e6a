#include "definition_io/FractintConverter.h"

#include "materials/PaletteLibrary.h"
#include "options/TextConvert.h"
#include "records/EnvironmentAndTweaks.h"

#include <cctype>
#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <sstream>

namespace {

// Our turns as seen in the view.
const char* const counterclockwise = "+";
const char* const clockwise = "-";

const char* const palette = "imported/fractint/headache";
constexpr int firstColour = 15;
constexpr int colourCount = 256;

// Characters of Fractint's strings that cannot be rewritten.
const char* const commands = "+-/\\@|!C<>[]";
// Characters that may not stand for a symbol of ours: the turtle's own and
// those of a parameter list.
const char* const reserved = "+-&^<>\\/[]|#{}\"';:?!~$\xB0\xA7.,%()";

std::string number(double value) {
    std::ostringstream out;
    out.precision(15);
    out << value;
    return out.str();
}

char upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string withoutBlanks(const std::string& text) {
    std::string result;
    for (char c : text)
        if (!std::isspace(static_cast<unsigned char>(c))) result += c;
    return result;
}

// One command of a Fractint string: a character and, for "\", "/", "@",
// "C", "<" and ">", its number ("@" with its "I" and "Q").
struct Command {
    char symbol;
    double value = 0.0;
    bool inverse = false;
    bool root = false;
};

// Digits with at most one "."; no digits read as 0.
double readNumber(const std::string& text, std::size_t& i) {
    const std::size_t start = i;
    bool point = false;
    while (i < text.size() && (std::isdigit(static_cast<unsigned char>(text[i])) || (text[i] == '.' && !point))) {
        point |= text[i] == '.';
        ++i;
    }
    const std::string digits = text.substr(start, i - start);
    return digits.empty() || digits == "." ? 0.0 : std::stod(digits);
}

std::vector<Command> commandsOf(const std::string& text) {
    std::vector<Command> result;
    for (std::size_t i = 0; i < text.size();) {
        Command command{upper(text[i++])};
        switch (command.symbol) {
        case '@':
            for (int k = 0; k < 2 && i < text.size(); ++k) {
                const char flag = upper(text[i]);
                if (flag == 'I' && !command.inverse)
                    command.inverse = true;
                else if (flag == 'Q' && !command.root)
                    command.root = true;
                else
                    break;
                ++i;
            }
            command.value = readNumber(text, i);
            break;
        case '\\':
        case '/':
        case 'C':
        case '<':
        case '>':
            command.value = readNumber(text, i);
            break;
        }
        result.push_back(command);
    }
    return result;
}

struct Entry {
    FractintEntry result;
    int angle = 0;
    bool hasAxiom = false;
    std::string axiom;
    // Predecessor and the joined successors, in the order of the first rule.
    std::vector<std::pair<char, std::string>> rules;
};

class EntryConverter {
public:
    explicit EntryConverter(Entry& entry) : myEntry(entry) {}

    std::unique_ptr<LSystemDefinition> convert();

private:
    void survey(const std::vector<Command>& commands);
    std::vector<std::string> atomsOf(const std::vector<Command>& commands);
    void add(std::vector<std::string>& atoms, const Command& command);
    std::string symbolName(char symbol);
    int defaultSteps(const std::vector<std::string>& axiom,
                     const std::map<std::string, std::vector<std::string>>& rules) const;

    Entry& myEntry;
    double myAngle = 0.0;
    bool myDrawsAlongTurns = false;   // F, G
    bool myDrawsAlongDegrees = false; // D, M
    bool myTurns = false;             // "+", "-", "|"
    bool myTurnsDegrees = false;      // "\", "/"
    bool myColoured = false;
    std::map<char, std::string> myNames;
    char myNextName = 'a';
};

void EntryConverter::survey(const std::vector<Command>& commands) {
    for (const Command& command : commands) {
        const char c = command.symbol;
        myDrawsAlongTurns |= c == 'F' || c == 'G';
        myDrawsAlongDegrees |= c == 'D' || c == 'M';
        myTurns |= c == '+' || c == '-' || c == '|';
        myTurnsDegrees |= c == '\\' || c == '/';
        myColoured |= c == 'C' || c == '<' || c == '>';
    }
}

std::string EntryConverter::symbolName(char symbol) {
    if (!std::strchr(reserved, symbol)) return std::string(1, symbol);
    const auto known = myNames.find(symbol);
    if (known != myNames.end()) return known->second;
    return myNames[symbol] = std::string(1, myNextName++);
}

void EntryConverter::add(std::vector<std::string>& atoms, const Command& command) {
    const auto turnTo = [&](double degrees, const char* turn) {
        if (degrees == 0.0) return;
        atoms.push_back(",(" + number(myAngle / degrees) + ")");
        atoms.push_back(turn);
        atoms.push_back(",(" + number(degrees / myAngle) + ")");
    };
    const auto colourSteps = [&](int steps) {
        steps = ((steps % colourCount) + colourCount) % colourCount;
        const bool up = steps <= colourCount / 2;
        for (int i = up ? steps : colourCount - steps; i > 0; --i) atoms.push_back(up ? "'" : "\"");
    };
    switch (command.symbol) {
    case '+':
        if (myDrawsAlongTurns) atoms.push_back(counterclockwise);
        break;
    case '-':
        if (myDrawsAlongTurns) atoms.push_back(clockwise);
        break;
    case '|':
        if (!myDrawsAlongTurns) break;
        if (myEntry.angle % 2 == 0)
            atoms.push_back("|");
        else
            atoms.push_back(std::string(clockwise) + "(" + number(myEntry.angle / 2 * myAngle) + ")");
        break;
    case '\\':
        if (myDrawsAlongDegrees) turnTo(command.value, counterclockwise);
        break;
    case '/':
        if (myDrawsAlongDegrees) turnTo(command.value, clockwise);
        break;
    case '!':
        atoms.push_back(",(-1)");
        break;
    case '@': {
        const double factor = command.root ? std::sqrt(command.value) : command.value;
        if (!(factor > 0.0))
            atoms.push_back(">(0)");
        else if (factor != 1.0)
            atoms.push_back((command.inverse ? "<(" : ">(") + number(factor) + ")");
        break;
    }
    case '[':
    case ']':
        atoms.push_back(std::string(1, command.symbol));
        break;
    case 'C': {
        atoms.push_back("'(256)");
        const int index = static_cast<int>(std::fmod(command.value, colourCount));
        if (index > 0) atoms.push_back("'(" + std::to_string(index) + ")");
        break;
    }
    case '<':
        colourSteps(static_cast<int>(std::fmod(command.value, colourCount)));
        break;
    case '>':
        colourSteps(-static_cast<int>(std::fmod(command.value, colourCount)));
        break;
    default:
        atoms.push_back(symbolName(command.symbol));
    }
}

std::vector<std::string> EntryConverter::atomsOf(const std::vector<Command>& commands) {
    std::vector<std::string> atoms;
    for (const Command& command : commands) add(atoms, command);
    return atoms;
}

// The largest order up to maxSteps whose string stays within maxAtoms,
// counted without deriving: how often each symbol occurs after each step.
int EntryConverter::defaultSteps(const std::vector<std::string>& axiom,
                                 const std::map<std::string, std::vector<std::string>>& rules) const {
    std::map<std::string, double> counts;
    for (const std::string& atom : axiom) counts[atom] += 1.0;
    for (int step = 0; step < FractintConverter::maxSteps; ++step) {
        std::map<std::string, double> next;
        double total = 0.0;
        for (const auto& [atom, count] : counts) {
            const auto rule = rules.find(atom);
            if (rule == rules.end()) {
                next[atom] += count;
                total += count;
                continue;
            }
            for (const std::string& produced : rule->second) next[produced] += count;
            total += count * static_cast<double>(rule->second.size());
        }
        if (total > FractintConverter::maxAtoms) return step;
        counts = std::move(next);
    }
    return FractintConverter::maxSteps;
}

std::unique_ptr<LSystemDefinition> EntryConverter::convert() {
    myAngle = 360.0 / myEntry.angle;
    const std::vector<Command> axiomCommands = commandsOf(myEntry.axiom);
    std::vector<std::vector<Command>> successorCommands;
    survey(axiomCommands);
    for (const auto& rule : myEntry.rules) {
        successorCommands.push_back(commandsOf(rule.second));
        survey(successorCommands.back());
    }
    if (myDrawsAlongTurns && myDrawsAlongDegrees && (myTurns || myTurnsDegrees))
        myEntry.result.warnings.push_back(
            {myEntry.result.line, "D and M draw along a direction of their own, turned only by '\\' and '/', and F "
                                  "and G along one turned only by '+', '-' and '|'; our turtle has one direction, "
                                  "turned here by all of them, so the drawing differs from Fractint's"});

    auto definition = std::make_unique<LSystemDefinition>();
    definition->setName(myEntry.result.name);
    std::vector<std::string> axiom = atomsOf(axiomCommands);
    if (myColoured) axiom.insert(axiom.begin(), "'(" + std::to_string(firstColour) + ")");
    std::map<std::string, std::vector<std::string>> rules;
    std::set<std::string> symbols;
    for (std::size_t i = 0; i < myEntry.rules.size(); ++i) {
        const std::string predecessor = symbolName(myEntry.rules[i].first);
        std::vector<std::string> successor = atomsOf(successorCommands[i]);
        std::string text;
        for (const std::string& atom : successor) text += atom;
        definition->addRule(1.0f, "", "", predecessor, "", text);
        rules[predecessor] = std::move(successor);
        symbols.insert(predecessor);
    }
    std::string axiomText;
    for (const std::string& atom : axiom) axiomText += atom;
    definition->setAxiom(axiomText);
    symbols.insert(axiom.begin(), axiom.end());
    for (const auto& rule : rules) symbols.insert(rule.second.begin(), rule.second.end());

    definition->addConstant("_steps", std::to_string(defaultSteps(axiom, rules)));
    definition->addConstant("_rotZ", number(myAngle));
    definition->setEnvironment(backgroundColorKey, "000000");

    for (const std::string& name : symbols) {
        if (name.size() != 1 || std::strchr(reserved, name[0])) continue;
        ShapeDef shape;
        const char c = name[0];
        shape.interpreted = c == 'F' || c == 'G' || c == 'D' || c == 'M';
        if (shape.interpreted) shape.length = 1.0;
        shape.visible = c == 'F' || c == 'D';
        if (shape.visible && myColoured) {
            shape.coloringType = ColoringMode::PaletteIndex;
            shape.palette = PaletteLibrary::palette(PaletteLibrary::indexOf(palette));
        }
        definition->setShapeDef(name, shape);
    }
    return definition;
}

// Reads the statements of one line inside an entry.
void readStatement(Entry& entry, const std::string& statement, int line) {
    const std::string text = TextConvert::trim(statement);
    if (text.empty()) return;
    std::size_t end = 0;
    while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end])) && text[end] != '=') ++end;
    const std::string word = lower(text.substr(0, end));
    const std::string rest = TextConvert::trim(text.substr(end));
    auto& errors = entry.result.errors;
    if (word == "angle") {
        const bool digits =
            !rest.empty() && rest.size() <= 2 && rest.find_first_not_of("0123456789") == std::string::npos;
        const int angle = digits ? std::stoi(rest) : 0;
        if (angle < 3 || angle > 50)
            errors.push_back({line, "the angle must be a whole number from 3 to 50, not '" + rest + "'"});
        else
            entry.angle = angle;
        return;
    }
    if (word == "axiom") {
        entry.axiom = withoutBlanks(rest);
        entry.hasAxiom = true;
        if (entry.axiom.empty()) errors.push_back({line, "the axiom is empty"});
        return;
    }
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos) {
        errors.push_back({line, "'" + text + "' is neither an angle, an axiom nor a rule"});
        return;
    }
    const std::string predecessor = TextConvert::trim(text.substr(0, equals));
    if (predecessor.size() != 1) {
        errors.push_back({line, "a rule rewrites one character, not '" + predecessor + "'"});
        return;
    }
    const char symbol = upper(predecessor[0]);
    if (std::strchr(commands, symbol)) {
        errors.push_back({line, "'" + predecessor + "' cannot be rewritten"});
        return;
    }
    const std::string successor = withoutBlanks(text.substr(equals + 1));
    for (auto& rule : entry.rules)
        if (rule.first == symbol) {
            rule.second += successor;
            return;
        }
    entry.rules.emplace_back(symbol, successor);
}

void finish(Entry& entry, FractintFile& file) {
    FractintEntry& result = entry.result;
    if (entry.angle == 0 && result.errors.empty()) result.errors.push_back({result.line, "the entry has no angle"});
    if (!entry.hasAxiom) result.errors.push_back({result.line, "the entry has no axiom"});
    if (result.errors.empty()) result.definition = EntryConverter(entry).convert();
    file.entries.push_back(std::move(result));
}

} // namespace

FractintFile FractintConverter::convert(const std::string& text) {
    FractintFile file;
    std::unique_ptr<Entry> entry; // the entry being read
    std::istringstream lines(text);
    std::string content;
    for (int line = 1; std::getline(lines, content); ++line) {
        content = content.substr(0, content.find(';'));
        while (!TextConvert::trim(content).empty()) {
            if (!entry) {
                const std::size_t open = content.find('{');
                if (open == std::string::npos) {
                    file.warnings.push_back({line, "'" + TextConvert::trim(content) + "' stands outside every entry"});
                    break;
                }
                entry = std::make_unique<Entry>();
                entry->result.name = TextConvert::trim(content.substr(0, open));
                entry->result.line = line;
                if (entry->result.name.empty()) entry->result.errors.push_back({line, "the entry has no name"});
                content = content.substr(open + 1);
                continue;
            }
            const std::size_t close = content.find('}');
            readStatement(*entry, content.substr(0, close), line);
            if (close == std::string::npos) break;
            finish(*entry, file);
            entry.reset();
            content = content.substr(close + 1);
        }
    }
    if (entry) {
        entry->result.errors.push_back({entry->result.line, "the entry is not closed by '}'"});
        finish(*entry, file);
    }
    return file;
}
