#include "kandq.h"

#include <cmath>
#include <string>

#include "numtext.h"
#include "numread.h"
#include "single.h"

using checked::div;

void KandQ::FormShow()
{
    w.setText("Edit1", integerText(s.nxtal));
}

void KandQ::RadioButton1Click()
{
    ftype = 1;
}

void KandQ::RadioButton2Click()
{
    ftype = 0;
}

void KandQ::RadioButton3Click()
{
    ftype = 2;
}

// Lowpass prototype values into gk (Butterworth for ripple 0, Chebyshev above), with the
// bandwidth factor and the odd flag and load ratio that steps 5 of calculate() use.
void KandQ::prototype(int n)
{
    const ext en = n;
    if (ripple == 0) {
        for (int k = 1; k <= n; ++k)
            s.gk[k] = store(2 * std::sin((2 * k - 1) * kPi / (2 * en)));
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
                s.gk[1] = store(div(2.0L * a[1], static_cast<ext>(gamma)));
            else
                s.gk[k] = store(div(4.0L * a[k - 1] * a[k], static_cast<ext>(b[k - 1]) * s.gk[k - 1]));
        }
        oddflag = n % 2 != 0 ? 1 : 0;
        if (oddflag == 1) {
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
    const std::int32_t n = readInteger(w.text("Edit1"));
    if (n < 1 || n > kMeshes) {
        w.message(msg::kKandQNRange);
        return;
    }
    s.nxtal = n;
    typedripple = readSingle(w.text("Edit2"));
    ripple = ftype == 1 ? typedripple : ftype == 0 ? 0.0f : -1.0f;

    oddflag = 1;
    prototype(n);
    if (ripple >= 0) {
        // Renormalise from the ripple bandwidth to the 3 dB bandwidth.
        for (int k = 1; k <= n; ++k)
            s.gk[k] = store(static_cast<ext>(s.gk[k]) * bwfactor);
        for (int j = 1; j <= n - 1; ++j)
            s.kk[j] = store(div(1.0L, checked::sqrt(static_cast<ext>(s.gk[j]) * s.gk[j + 1])));
        s.q1 = s.gk[1];
        s.qn = oddflag == 1 ? s.gk[n] : store(div(static_cast<ext>(s.gk[n]), static_cast<ext>(loadratio)));
    } else {
        kmin = store(std::exp(std::log(2.0L) / n) * 0.5L);  // 2^(1/N) / 2
        qmin = store(div(1.0L, static_cast<ext>(kmin)));
        s.q1 = qmin;
        s.qn = qmin;
        for (int j = 1; j <= n - 1; ++j)
            s.kk[j] = kmin;
    }

    w.setText("Edit3", fixedText(s.q1, 6, 5));
    w.setText("Edit4", fixedText(s.qn, 6, 5));
    w.memoClear("Memo1");
    for (int jk = 1; jk <= n - 1; ++jk)
        w.memoAdd("Memo1", integerText(jk) + integerText(jk + 1) + "     " + fixedText(s.kk[jk], 6, 5));
}
