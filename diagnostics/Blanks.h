#pragma once
// The white space of texts read from files and fields: space, tab, line feed,
// carriage return and vertical tab. Trimming removes these from both ends, and
// readers that split at white space split at these.

inline constexpr char blankCharacters[] = " \t\n\r\v";
