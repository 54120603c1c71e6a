#include "options/OptionContainer.h"

#include "diagnostics/Exceptions.h"

void OptionContainer::map(const std::string& name, Option* option) {
    if (myNamed.count(name) != 0) {
        throw InvalidArgument("An option with the name '" + name + "' already exists.");
    }
    myNamed[name] = option;
}

void OptionContainer::declare(const std::string& name, std::unique_ptr<Option> option) {
    map(name, option.get());
    myOwned.push_back(std::move(option));
}

void OptionContainer::declare(const std::string& name, char abbreviation, std::unique_ptr<Option> option) {
    Option* shared = option.get();
    declare(name, std::move(option));
    map(std::string(1, abbreviation), shared);
}

void OptionContainer::addSynonym(const std::string& name1, const std::string& name2) {
    const bool known1 = exists(name1);
    const bool known2 = exists(name2);
    if (!known1 && !known2) {
        throw InvalidArgument("Neither an option with the name '" + name1 + "' nor an option with the name '" + name2 +
                              "' is known.");
    }
    if (known1 && known2) {
        throw InvalidArgument("Both options are already set ('" + name1 + "' and '" + name2 + "')!");
    }
    if (known1) {
        myNamed[name2] = myNamed[name1];
    } else {
        myNamed[name1] = myNamed[name2];
    }
}

Option& OptionContainer::lookup(const std::string& name) const {
    const auto found = myNamed.find(name);
    if (found == myNamed.end()) {
        throw InvalidArgument("The option '" + name + "' is not known.");
    }
    return *found->second;
}

bool OptionContainer::isSet(const std::string& name) const { return lookup(name).isSet(); }

bool OptionContainer::isBool(const std::string& name) const { return lookup(name).isType(TYPE_BOOL); }

int OptionContainer::getInt(const std::string& name) const { return lookup(name).getInt(); }

std::string OptionContainer::getString(const std::string& name) const { return lookup(name).getString(); }

bool OptionContainer::getBool(const std::string& name) const { return lookup(name).getBool(); }

double OptionContainer::getDouble(const std::string& name) const { return lookup(name).getDouble(); }

bool OptionContainer::exists(const std::string& name) const { return myNamed.count(name) != 0; }

void OptionContainer::makeAllSettable() {
    for (auto& option : myOwned) {
        option->makeSettable();
    }
}

void OptionContainer::set(const std::string& name, const std::string& value) {
    Option& option = lookup(name);
    try {
        option.setFromString(value);
    } catch (const InvalidArgument&) {
        throw InvalidArgument("The option '" + name + "' was already set.");
    } catch (const OutOfRangeException&) {
        throw InvalidArgument("Value of option '" + name + "' is out of range.");
    } catch (const NumberFormatException&) {
        throw InvalidArgument("The option '" + name + "' is of the type '" + option.getTypeName() + "'.");
    }
}

void OptionContainer::set(const std::string& name, bool value) {
    Option& option = lookup(name);
    try {
        option.setBool(value);
    } catch (const InvalidArgument&) {
        throw InvalidArgument("The option '" + name + "' was already set.");
    }
}

std::ostream& operator<<(std::ostream& out, const OptionContainer& container) {
    std::map<const Option*, std::vector<std::string>> namesOf;
    for (const auto& [name, option] : container.myNamed) {
        namesOf[option].push_back(name);
    }
    for (const auto& [name, option] : container.myNamed) {
        const std::vector<std::string>& names = namesOf[option];
        if (!option->isSet() || names.front() != name) {
            continue;
        }
        out << name;
        if (names.size() > 1) {
            out << " (";
            for (std::size_t i = 1; i < names.size(); ++i) {
                out << (i > 1 ? ", " : "") << names[i];
            }
            out << ")";
        }
        out << ": " << option->getValueAsString();
        if (option->isDefault()) {
            out << " (default)";
        }
        out << "\n";
    }
    return out;
}
