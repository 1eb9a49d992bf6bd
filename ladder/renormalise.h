#pragma once
// Touchstone exports a reader of any age takes: one port (S11) for a ".s1p" name, and two
// ports with both referred to one resistance, for the readers that know no version 2.0
// (which alone holds a reference per port).

#include "common/touchstone.h"

// The same network referred to r0 ohms at both ports. Network's references must be positive.
Network renormalised(const Network& n, double r0);

// Port 1 alone: S11 referred to referenceR1.
Network onePort(const Network& n);

#include <string>

#include "ladder/circuit.h"

// What an export of the sweep holds.
enum class ExportForm {
    AsIs,          // both ports, each referred to its termination (version 2.0 when they differ)
    OnePort,       // S11 alone, for a ".s1p" name
    OneReference,  // both ports referred to kCommonReference (version 1.1)
};
inline constexpr double kCommonReference = 50;

// The file name's form: OnePort for a name ending ".s1p" (any case), else `chosen`.
ExportForm exportFormFor(const std::string& path, ExportForm chosen);

// sweepTouchstone() in the given form.
std::string sweepTouchstoneAs(const Circuit& m, const std::string& circuitFile, double start, double stop,
                              const std::string& program, ExportForm form);
