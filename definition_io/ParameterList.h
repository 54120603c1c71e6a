#pragma once
// Parameter lists of definition files: items of the form key "=" value,
// separated by ",", where brackets group text that contains commas, e.g.
//   visible=1, palette=(1:2:...), type=tube

#include <exception>
#include <map>
#include <string>

// While the text begins with "(" and the ")" closing it is the last
// character, that outer pair is removed.
std::string stripOuterBrackets(const std::string& text);

// An item of a parameter list has no "=".
class BrokenParameterListException : public std::exception {
public:
    const char* what() const noexcept override { return "broken parameter list"; }
};

using ParameterTable = std::map<std::string, std::string>;

// Reads a parameter list into a table from key to value; keys and values are
// trimmed, a value loses its outer brackets, and a later key replaces an
// earlier one. An empty text gives an empty table. Throws
// BrokenParameterListException when an item has no "=".
ParameterTable parseParameterList(const std::string& text);
