#pragma once
// Capacitors a builder can buy: the IEC 60063 series E6 to E96, or a parts list, and the
// rounding of a value to the nearest of them by ratio.

#include <string>
#include <vector>

#include "common/errors.h"

// A parts list that cannot be read, or a series name that is none.
class PartsListError : public AppError {
public:
    using AppError::AppError;
};

// The values of "E6", "E12", "E24", "E48" or "E96" in pF from 1 pF to 1 uF, rising, each
// exactly as the series prints it (2.7, 240). Throws PartsListError for another name.
std::vector<double> seriesValues(const std::string& name);

// A CSV of capacitances in pF, one a line, header optional; blank lines skipped. Errors name
// the line: "line 3: '12x' is not a capacitance in pF". Returned rising, without repeats.
std::vector<double> readPartsList(const std::string& text);

// The same from a file; a file that cannot be read fails with FileError.
std::vector<double> readPartsListFile(const std::string& path);

// The available value nearest `pf` by ratio; `available` rising and not empty.
double nearestByRatio(double pf, const std::vector<double>& available);
