#pragma once
// The rows of the "Symbol interpretations:" table: what each turtle symbol
// does, "(*)" marking the symbols that take a parameter.

#include <array>

struct SymbolHelpRow {
    const char* symbol;
    const char* meaning;
};

inline constexpr std::array<SymbolHelpRow, 28> symbolHelpRows{{
    {"F", "move turtle forward, drawing (*)"},
    {"f", "move turtle forward, don't draw (*)"},
    {"G", "move turtle forward, draw, don't record vertex (*)"},
    {"g", "move turtle forward, don't draw, don't record vertex (*)"},
    {".", "record vertex (*)"},
    {"+", "turn left (*)"},
    {"-", "turn right (*)"},
    {"^", "pitch up (*)"},
    {"&", "pitch down (*)"},
    {"\\", "roll left (*)"},
    {"/", "roll right (*)"},
    {"|", "turn around (*)"},
    {"$", "rotate to vertical (*)"},
    {"#", "reverse directions"},
    {"[", "start a branch (push state to stack)"},
    {"]", "complete a branch (pop state from stack)"},
    {"{", "start a polygon"},
    {"}", "close a polygon"},
    {"'", "increment color index (*) or by 1"},
    {"\"", "decrement color index (*) or by 1"},
    {";", "multiply default rotation (*) or with 1.1"},
    {",", "divide default rotation (*) or by 1.1"},
    {"?", "multiply default width (*)"},
    {"!", "divide default width (*)"},
    {">", "multiply default length (*) or with 1.1"},
    {"<", "divide default length (*) or by 1.1"},
    {" ", " "},
    {"(*)", "accepts parameter"},
}};
