#pragma once
// The walk that solves the ladder at one frequency, from the load to the source.
//
// One complex running value, `immittance`, is the admittance of everything between the
// present node and the load while shunt parts are added, and the impedance seen from the
// present series branch while series parts are. `invertImmittance` turns it over at each change of
// connection and multiplies `transfer` by the new value (I = V·Y leaving a node, V = I·Z
// reaching one), so that after the source resistance `transfer` is 2·V_load / V_source.
//
// solveLadder() (engine.h) is the program's entry; the pieces are public so that tests can
// check them one by one.

#include <numbers>
#include <string>

#include "ladder/circuit.h"
#include "ladder/engine.h"
#include "ladder/plain_complex.h"

namespace engine {

// MHz to rad/s and Hz to rad/s.
inline constexpr double kTwoPi = 2 * std::numbers::pi;
inline constexpr double kTwoPiMega = 2e6 * std::numbers::pi;
// Stands in for a susceptance or reactance that is exactly 0, and for a real part of
// `transfer` that is exactly 0, so that nothing divides by it.
inline constexpr double kTiny = 1e-20;
// Reflection limits: a perfect match shows -100 dB, a total reflection stays just below 0.
inline constexpr double kPerfectMatch = 1e-10;
inline constexpr double kTotalReflection = 0.9999999999;

// Exact comparison of two connection texts, without a library call for the usual
// three-letter ones: the walk makes one per part.
inline bool sameConnection(const std::string& a, const std::string& b)
{
    const std::size_t n = a.size();
    if (n != b.size())
        return false;
    if (n > 4)
        return a == b;
    for (std::size_t i = 0; i < n; ++i)
        if (a[i] != b[i])
            return false;
    return true;
}

inline bool isSer(const std::string& conn)
{
    return conn.size() == 3 && conn[0] == 's' && conn[1] == 'e' && conn[2] == 'r';
}

inline bool isPar(const std::string& conn)
{
    return conn.size() == 3 && conn[0] == 'p' && conn[1] == 'a' && conn[2] == 'r';
}

// The value a duplicate uses: the partvalue of the entry its own value names, truncated
// towards zero. A reference outside the table reads 0, as an unused entry does.
double referencedValue(const Circuit& m, const Part& duplicate);

class Walk {
public:
    explicit Walk(const Circuit& model) : m(model) {}
    Walk(const Circuit&&) = delete;  // the walk reads the circuit it was given, so keep it alive

    // omega for a frequency in the circuit's unit (MHz, or Hz offset for a crystal circuit).
    void setFrequency(double analysisfreq);
    // Adds part n at omega: an impedance if it is series, an admittance if shunt.
    // An "rlb" entry takes the S11 measurement instead.
    void partStep(int n);
    // immittance becomes its reciprocal; transfer is multiplied by the new immittance.
    void invertImmittance();
    // Magnitude of transfer; a real part of exactly 0 is first replaced by kTiny.
    double transferMagnitude();
    // The whole solution at one frequency.
    Solution solve(double analysisfreq);

    double omega = 0;
    Cx immittance;
    Cx transfer;
    int present = 0;  // the part being processed
    double s11db = 0;

private:
    void capacitor(const Part& p, double pF);
    void inductor(const Part& p, double nH);
    void resistor(const Part& p, double ohm);
    void crystal(const Part& p);
    void returnLossBridge();

    const Circuit& m;
};

}  // namespace engine
