#pragma once
// Reading the number texts of fields and circuit files, with '.' as the decimal separator
// whatever the user's locale.
//
// readInteger: optional leading spaces, optional sign, decimal digits, nothing after; the
//   value must fit a signed 32-bit integer. Fails with "'text' is not a valid integer value".
// readNumber: optional spaces, optional sign, digits with an optional '.' and fraction (at
//   least one digit in all), an optional exponent (E or e, optional sign, digits), optional
//   spaces. A value beyond the range of a double fails too, with
//   "'text' is not a valid floating point value".

#include <cstdint>
#include <string>

std::int32_t readInteger(const std::string& text);
double readNumber(const std::string& text);

// The same checks without the error, for callers that only ask.
bool isInteger(const std::string& text);
bool isNumber(const std::string& text);
