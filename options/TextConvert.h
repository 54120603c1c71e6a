#pragma once
// Text-to-number readers and number-to-text writers shared by the whole
// program. The readers raise EmptyData for an empty text and
// NumberFormatException for a character that does not belong to the number.

#include <string>

namespace TextConvert {

// Optional "+" or "-", then decimal digits to the end. The value is
// accumulated in 32-bit two's complement arithmetic, so it wraps on overflow.
// A sign alone reads as 0.
int toInt(const std::string& text);

// Optional "+" or "-", integer digits, optionally "." or "," and fraction
// digits, optionally "e" or "E" and an exponent (read as by toInt). The
// mantissa is accumulated in single precision, so "0.1" reads as 0.1f.
float toFloat(const std::string& text);

// True when the first character is "1", "T", "t" or "x".
bool toBool(const std::string& text);

// Fixed-point notation with the given number of digits after the point.
std::string toString(double value, int digits);

// A number stored back as a value: fixed-point notation with three digits
// after the point, none for a number that is whole at that precision ("7",
// "-2", "0", but "0.500").
std::string toString(double value);

std::string toString(int value);

// The text without space, tab, line feed, carriage return and vertical tab at
// either end.
std::string trim(const std::string& text);

} // namespace TextConvert
