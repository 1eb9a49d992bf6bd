#pragma once
// The two number texts the programs write, always with '.' as the decimal separator.
//
// fixedText(v, p, d): v rounded to at most p significant digits and to d decimals, written
//   with exactly d decimals; falls back to generalText(v, p) when the integer part would
//   need more than p digits. fixedText(99999, 5, 2) == "99999.00", fixedText(200000, 5, 2) == "2E5".
// generalText(v, p): v rounded to p significant digits without trailing zeros; positional
//   for 0.0001 <= |v| < 10^p, otherwise scientific ("5E-5", "1.5E20").
// Halves round away from zero on the exact binary value. Non-finite values are written
// "INF", "-INF" and "NAN"; callers that show results to people keep them out.

#include <string>

std::string fixedText(double value, int precision, int decimals);
std::string generalText(double value, int precision);
std::string integerText(long long value);

// Appends value with 17 significant digits, the text printf's "%.17g" gives (it reads back
// as the same double), without printf's cost.
void appendG17(std::string& out, double value);
