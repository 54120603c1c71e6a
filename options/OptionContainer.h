#pragma once
// Named options, each reachable under one or more names, owned by the container.

#include "options/Option.h"

#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

class OptionContainer {
public:
    // Maps the name to the option and takes ownership of it. InvalidArgument
    // when the name is taken.
    void declare(const std::string& name, std::unique_ptr<Option> option);
    // Declares the name and the one-character abbreviation for the same option.
    void declare(const std::string& name, char abbreviation, std::unique_ptr<Option> option);
    // Makes the unknown one of the two names refer to the option of the known one.
    void addSynonym(const std::string& name1, const std::string& name2);

    // Each query raises InvalidArgument for an unknown name.
    bool isSet(const std::string& name) const;
    bool isBool(const std::string& name) const;
    int getInt(const std::string& name) const;
    std::string getString(const std::string& name) const;
    bool getBool(const std::string& name) const;
    double getDouble(const std::string& name) const;
    bool exists(const std::string& name) const;
    void makeAllSettable();

    // Sets the option from text; every failure but an empty text is raised
    // again as InvalidArgument with a message naming the option.
    void set(const std::string& name, const std::string& value);
    void set(const std::string& name, const char* value) { set(name, std::string(value)); }
    void set(const std::string& name, bool value);

    // One line per set option, in name order, under its first name.
    friend std::ostream& operator<<(std::ostream& out, const OptionContainer& container);

private:
    Option& lookup(const std::string& name) const;
    void map(const std::string& name, Option* option);

    std::map<std::string, Option*> myNamed;
    std::vector<std::unique_ptr<Option>> myOwned;
};
