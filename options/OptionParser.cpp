#include "options/OptionParser.h"

#include "diagnostics/Exceptions.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

bool startsWithDash(const char* argument) { return argument[0] == '-'; }

// Sets a non-bool option from text. An empty text has no value of a number
// type; it is refused like any other bad value of the argument.
void setValue(OptionContainer& options, const std::string& name, const std::string& value) {
    try {
        options.set(name, value);
    } catch (const EmptyData&) {
        throw InvalidArgument("The option '" + name + "' needs a non-empty value.");
    }
}

// Sets the option to the value given with the argument or, when that is
// empty, to the next argument whatever it looks like; returns the number of
// arguments consumed.
int setGivenOrNext(OptionContainer& options, const std::string& name, const std::string& value, int argc,
                   const char* const* argv, int index, const std::string& missingMessage) {
    if (!value.empty()) {
        setValue(options, name, value);
        return 1;
    }
    if (index + 1 < argc) {
        setValue(options, name, argv[index + 1]);
        return 2;
    }
    throw InvalidArgument(missingMessage);
}

// "--name", "--name=value" or "--name value".
int handleLong(OptionContainer& options, int argc, const char* const* argv, int index) {
    const std::string argument = argv[index];
    const std::string body = argument.substr(2);
    const std::size_t equals = body.find('=');
    const std::string name = body.substr(0, equals);
    const std::string value = equals == std::string::npos ? std::string() : body.substr(equals + 1);

    if (options.isBool(name)) {
        if (!value.empty()) {
            throw InvalidArgument("Option '" + name + "' does not need a value.");
        }
        options.set(name, true);
        return 1;
    }
    return setGivenOrNext(options, name, value, argc, argv, index, "Parameter '" + name + "' needs a value.");
}

// "-abc", "-x=value" or "-x value": one-character options; bools are set
// at once, at most one other may take a value.
int handleShort(OptionContainer& options, int argc, const char* const* argv, int index) {
    const std::string argument = argv[index];
    const std::size_t equals = argument.find('=');
    const std::size_t end = equals == std::string::npos ? argument.size() : equals;

    std::vector<std::string> needValue;
    for (std::size_t i = 1; i < end; ++i) {
        const std::string name(1, argument[i]);
        if (options.isBool(name)) {
            options.set(name, true);
        } else {
            needValue.push_back(name);
        }
    }
    if (needValue.empty()) {
        return 1;
    }
    if (needValue.size() > 1) {
        std::string names;
        for (const std::string& name : needValue) {
            names += (names.empty() ? "" : ", ") + name;
        }
        throw InvalidArgument("All of the following options need a value: " + names);
    }
    const std::string& name = needValue.front();
    const std::string value = equals == std::string::npos ? std::string() : argument.substr(equals + 1);
    return setGivenOrNext(options, name, value, argc, argv, index, "Option '" + name + "' needs a value.");
}

// Returns the number of arguments consumed, or -1 after reporting an error.
int handleArgument(OptionContainer& options, int argc, const char* const* argv, int index) {
    const std::string argument = argv[index];
    try {
        if (argument.size() >= 2 && argument[0] == '-') {
            return argument[1] == '-' ? handleLong(options, argc, argv, index)
                                      : handleShort(options, argc, argv, index);
        }
        std::string message = "Unrecognized option '" + argument + "'.";
        if (index >= 3 && startsWithDash(argv[index - 1]) && startsWithDash(argv[index - 2])) {
            message += "\n Propably forgot a parameter for '" + std::string(argv[index - 2]) + "'.";
        }
        throw InvalidArgument(message);
    } catch (const InvalidArgument& error) {
        std::cerr << "Error: " << error.message() << std::endl;
        return -1;
    }
}

} // namespace

bool parse(OptionContainer& options, int argc, const char* const* argv, bool continueOnError) {
    bool result = true;
    int index = 1;
    while (index < argc) {
        const int consumed = handleArgument(options, argc, argv, index);
        if (consumed < 0) {
            result = false;
            if (!continueOnError) {
                return false;
            }
            index += 1;
        } else {
            index += consumed;
        }
    }
    return result;
}
