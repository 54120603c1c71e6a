#pragma once
// The environment and tweak tables of a definition: text keys to text values,
// kept in key order (the order in which they are written).

#include <map>
#include <string>

using EnvironmentMap = std::map<std::string, std::string>;
using TweakMap = std::map<std::string, std::string>;

// Environment key: background colour as six hexadecimal digits RRGGBB.
inline constexpr const char* backgroundColorKey = "background.color";

// Tweak keys read by the interpreter.
inline constexpr const char* tropismDirectionKey = "tropism.direction"; // "x,y,z" or "(x,y,z)"
inline constexpr const char* tropismStrengthKey = "tropism.strength";   // 0 switches tropism off
inline constexpr const char* polyRecursionKey = "poly.recursion";
inline constexpr const char* polyFillTypeKey = "poly.filltype";
