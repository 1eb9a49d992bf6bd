#include "ladder/renormalise.h"

#include <cmath>
#include <complex>

#include "common/version.h"
#include "ladder/network.h"

namespace {

using C = std::complex<double>;

struct M2 {
    C a, b, c, d;  // [a b; c d]
};

M2 mul(const M2& x, const M2& y)
{
    return {x.a * y.a + x.b * y.c, x.a * y.b + x.b * y.d, x.c * y.a + x.d * y.c, x.c * y.b + x.d * y.d};
}

C det(const M2& m) { return m.a * m.d - m.b * m.c; }

M2 inv(const M2& m)
{
    const C k = 1.0 / det(m);
    return {m.d * k, -m.b * k, -m.c * k, m.a * k};
}

}  // namespace

Network renormalised(const Network& n, double r0)
{
    // Power waves at a new real reference: a' = k (a - g b), b' = k (b - g a) at each port,
    // g = (r0 - R) / (r0 + R), k = (r0 + R) / (2 sqrt(R r0)). So S' = K (S - G)(I - G S)^-1 K^-1:
    // only I - G S is inverted, which a passive network never makes singular.
    Network out = n;
    out.referenceR1 = out.referenceR2 = r0;
    const double g1 = (r0 - n.referenceR1) / (r0 + n.referenceR1), g2 = (r0 - n.referenceR2) / (r0 + n.referenceR2);
    const double k1 = (r0 + n.referenceR1) / (2 * std::sqrt(n.referenceR1 * r0));
    const double k2 = (r0 + n.referenceR2) / (2 * std::sqrt(n.referenceR2 * r0));
    for (std::size_t i = 0; i < n.frequencyHz.size(); ++i) {
        const M2 s{n.s11[i], n.s12[i], n.s21[i], n.s22[i]};
        const M2 sMinusG{s.a - g1, s.b, s.c, s.d - g2};
        const M2 iMinusGs{1.0 - g1 * s.a, -g1 * s.b, -g2 * s.c, 1.0 - g2 * s.d};
        const M2 m = mul(sMinusG, inv(iMinusGs));
        out.s11[i] = m.a;
        out.s12[i] = m.b * (k1 / k2);
        out.s21[i] = m.c * (k2 / k1);
        out.s22[i] = m.d;
    }
    return out;
}

Network onePort(const Network& n)
{
    Network out;
    out.ports = 1;
    out.referenceR1 = out.referenceR2 = n.referenceR1;
    out.frequencyHz = n.frequencyHz;
    out.s11 = n.s11;
    return out;
}

ExportForm exportFormFor(const std::string& path, ExportForm chosen)
{
    return portsFromFileName(path) == 1 ? ExportForm::OnePort : chosen;
}

std::string sweepTouchstoneAs(const Circuit& m, const std::string& circuitFile, double start, double stop,
                              const std::string& program, ExportForm form)
{
    if (form == ExportForm::AsIs)
        return sweepTouchstone(m, circuitFile, start, stop, program);
    WriteOptions options;
    options.comments = {"Circuit file: " + circuitFile, "Written by " + program + " " + LADDER_VERSION};
    Network n = sweepNetwork(m, start, stop);
    if (form == ExportForm::OnePort) {
        options.comments.push_back("Port 1 alone, its termination the reference");
        return writeTouchstone(onePort(n), options);
    }
    options.comments.push_back("Both ports referred to " + std::to_string(int(kCommonReference)) +
                               " ohms (the circuit's terminations differ)");
    return writeTouchstone(renormalised(n, kCommonReference), options);
}
