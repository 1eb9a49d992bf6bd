#pragma once
// A design's inputs in a small text file of their own, so that a design can be reopened and
// changed: the field texts the user types (crystal, bandwidth, N, q1, qn, k, end R) and the
// matched set's frequencies. Results are not kept; the steps compute them again.
//
//   mirabo-design 1
//   crystal_mhz=10.0
//   ...
//   set_fs_hz=9999990.5,10000001
//
// One entry a line; blank lines and lines starting with '#' are skipped; LF or CR LF ends a
// line. An entry that is missing keeps the window's start text.

#include <map>
#include <string>
#include <vector>

#include "common/errors.h"
#include "designer/core/controls.h"

class DesignInputsError : public AppError {
public:
    using AppError::AppError;
};

struct DesignInputs {
    std::map<design::Field, std::string> fields;  // the typed fields only
    std::vector<double> setFsHz;                  // empty: no matched set
};

std::string designInputsText(const DesignInputs& inputs);

// Errors name the line: "line 3: unknown entry 'colour'".
DesignInputs readDesignInputs(const std::string& text);

// The same on files; FileError with the platform's text where the file cannot be read or
// written. The write replaces an old file only once the new one is complete.
DesignInputs readDesignInputsFile(const std::string& path);
void writeDesignInputsFile(const std::string& path, const DesignInputs& inputs);
