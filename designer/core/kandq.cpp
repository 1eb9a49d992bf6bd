#include "designer/core/kandq.h"

#include <cmath>
#include <string>

#include "common/numtext.h"
#include "common/numread.h"
#include "designer/core/lowpass_synthesis.h"
#include "designer/core/single.h"

using checked::div;

void KandQ::showOrder()
{
    w.setText(kq::Field::CrystalCount, integerText(s.crystalCount));
}

void KandQ::chooseChebyshev()
{
    filterType = 1;
}

void KandQ::chooseButterworth()
{
    filterType = 0;
}

void KandQ::chooseMinimumLoss()
{
    filterType = 2;
}

void KandQ::chooseBessel()
{
    filterType = 3;
}

void KandQ::chooseGaussian()
{
    filterType = 4;
}

// Bessel and Gaussian values come from the synthesis, already at -3 dB and between equal ends.
void KandQ::synthesizedPrototype(int n)
{
    const LowpassLadder ladder = synthesizeLowpass(filterType == 3 ? AllPole::Bessel : AllPole::Gaussian, n);
    for (int k = 1; k <= n; ++k)
        s.prototype[k] = static_cast<float>(ladder.g[static_cast<std::size_t>(k)]);
    for (int j = 1; j <= n - 1; ++j)
        s.coupling[j] = store(div(1.0L, checked::sqrt(static_cast<ext>(s.prototype[j]) * s.prototype[j + 1])));
    s.q1 = s.prototype[1];
    s.qn = s.prototype[n];
}

// Lowpass prototype values into the state's prototype table (Butterworth for ripple 0, Chebyshev above), with the
// bandwidth factor and the odd-order flag and load ratio that steps 5 of calculate() use.
void KandQ::lowpassPrototype(int n)
{
    const ext en = n;
    if (ripple == 0) {
        for (int k = 1; k <= n; ++k)
            s.prototype[k] = store(2 * std::sin((2 * k - 1) * kPi / (2 * en)));
    }
    if (ripple > 0) {
        if (ripple > 3)
            ripple = 3;  // the passband ripple is at most 3 dB
        epsilon = store(checked::sqrt(std::exp(std::log(10.0L) * 0.1L * ripple) - 1));
        // x and L are working values, never kept, so they stay unrounded.
        const ext eps = epsilon;
        // x = arcosh(1/eps) / N
        const ext x = div(checked::ln(checked::sqrt(div(1.0L, eps * eps) - 1) + div(1.0L, eps)), en);
        bwfactor = store((std::exp(x) + std::exp(-x)) * 0.5L);
        const ext l = ripple * 0.11512924985234673707L;  // ripple * ln 10 / 20
        const ext el = std::exp(l);
        beta = store(checked::ln(div(el + 1, el - 1)));
        // Only beta/(2N) is kept; beta itself is 2N times that kept value from here on.
        beta2n = store(beta / (2 * en));
        gamma = store((std::exp(static_cast<ext>(beta2n)) - std::exp(-static_cast<ext>(beta2n))) * 0.5L);
        for (int k = 1; k <= n; ++k) {
            a[k] = store(std::sin((2 * k - 1) * kPi / (2 * en)));
            b[k] = store(sq(gamma) + sq(std::sin(k * kPi / en)));
            if (k == 1)
                s.prototype[1] = store(div(2.0L * a[1], static_cast<ext>(gamma)));
            else
                s.prototype[k] = store(div(4.0L * a[k - 1] * a[k], static_cast<ext>(b[k - 1]) * s.prototype[k - 1]));
        }
        oddOrder = n % 2 != 0 ? 1 : 0;
        if (oddOrder == 1) {
            loadratio = 1;
        } else {
            // Even orders end in a different load: tanh^2(beta/4).
            const ext e = std::exp(2 * en * beta2n / 2);
            loadratio = store(sq((e - 1) / (e + 1)));
        }
    }
    if (ripple == 0)
        bwfactor = 1;
}

void KandQ::calculate()
{
    const std::int32_t n = readInteger(w.text(kq::Field::CrystalCount));
    if (n < 1 || n > kMeshes) {
        w.message(msg::kKandQNRange);
        return;
    }
    s.crystalCount = n;
    typedRipple = readSingle(w.text(kq::Field::Ripple));
    ripple = filterType == 1 ? typedRipple : filterType == 0 ? 0.0f : -1.0f;

    oddOrder = 1;
    const bool synthesized = filterType == 3 || filterType == 4;
    if (synthesized)
        synthesizedPrototype(n);
    else
        lowpassPrototype(n);
    if (synthesized) {
        // q and k are set by the synthesis.
    } else if (ripple >= 0) {
        // Renormalise from the ripple bandwidth to the 3 dB bandwidth.
        for (int k = 1; k <= n; ++k)
            s.prototype[k] = store(static_cast<ext>(s.prototype[k]) * bwfactor);
        for (int j = 1; j <= n - 1; ++j)
            s.coupling[j] = store(div(1.0L, checked::sqrt(static_cast<ext>(s.prototype[j]) * s.prototype[j + 1])));
        s.q1 = s.prototype[1];
        s.qn = oddOrder == 1 ? s.prototype[n] : store(div(static_cast<ext>(s.prototype[n]), static_cast<ext>(loadratio)));
    } else {
        kmin = store(std::exp(std::log(2.0L) / n) * 0.5L);  // 2^(1/N) / 2
        qmin = store(div(1.0L, static_cast<ext>(kmin)));
        s.q1 = qmin;
        s.qn = qmin;
        for (int j = 1; j <= n - 1; ++j)
            s.coupling[j] = kmin;
    }

    w.setText(kq::Field::Q1, fixedText(s.q1, 6, 5));
    w.setText(kq::Field::Qn, fixedText(s.qn, 6, 5));
    w.memoClear(kq::Memo::Couplings);
    for (int j = 1; j <= n - 1; ++j)
        w.memoAdd(kq::Memo::Couplings, integerText(j) + integerText(j + 1) + "     " + fixedText(s.coupling[j], 6, 5));
}
