#pragma once
// The environment and tweak tables of a definition: text keys to text values,
// kept in key order (the order in which they are written), and the readers of
// the values that hold more than one number.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
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

// The red, green and blue bytes of "RRGGBB" (characters after the sixth are
// ignored); empty when the text is shorter or a digit is no hexadecimal one.
std::optional<std::array<std::uint8_t, 3>> readBackgroundColour(const std::string& text);
// "rrggbb".
std::string backgroundColourText(const std::array<std::uint8_t, 3>& rgb);

// The three numbers of "x,y,z", in brackets or not, spaces allowed around
// each; empty when there are not exactly three numbers.
std::optional<std::array<double, 3>> readTropismDirection(const std::string& text);
