#include "definition_io/ParameterList.h"

#include "options/TextConvert.h"

#include <vector>

std::string stripOuterBrackets(const std::string& text) {
    if (text.size() < 2 || text.front() != '(' || text.back() != ')') {
        return text;
    }
    // One pass finds the closing bracket of every "(", so deeply nested
    // brackets are stripped in linear time.
    std::vector<std::size_t> closing(text.size(), std::string::npos);
    std::vector<std::size_t> open;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '(') {
            open.push_back(i);
        } else if (text[i] == ')' && !open.empty()) {
            closing[open.back()] = i;
            open.pop_back();
        }
    }
    std::size_t first = 0;
    std::size_t last = text.size() - 1;
    while (first < last && text[first] == '(' && closing[first] == last) {
        ++first;
        --last;
    }
    return text.substr(first, last + 1 - first);
}

ParameterTable parseParameterList(const std::string& text) {
    const std::string list = stripOuterBrackets(TextConvert::trim(text));
    ParameterTable table;
    if (list.empty()) {
        return table;
    }
    std::size_t itemStart = 0;
    std::size_t depth = 0;
    for (std::size_t i = 0; i <= list.size(); ++i) {
        if (i < list.size()) {
            if (list[i] == '(') {
                ++depth;
            } else if (list[i] == ')' && depth > 0) {
                --depth;
            }
            if (list[i] != ',' || depth > 0) {
                continue;
            }
        }
        const std::string item = list.substr(itemStart, i - itemStart);
        const std::size_t equals = item.find('=');
        if (equals == std::string::npos) {
            throw BrokenParameterListException();
        }
        table[TextConvert::trim(item.substr(0, equals))] =
            stripOuterBrackets(TextConvert::trim(item.substr(equals + 1)));
        itemStart = i + 1;
    }
    return table;
}
