#include "designer/core/crystal_fit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "common/numtext.h"

namespace {

using cplx = std::complex<double>;

constexpr double kTwoPi = 6.283185307179586477;
constexpr double kFourPi = 2 * kTwoPi;
constexpr double kNeperToDb = 8.685889638065035;  // 20 / ln 10

// Peak over dip below which a sweep shows no resonance worth fitting.
constexpr double kMinContrastDb = 6.0;
// A crystal fitted this badly is something else (or the port resistance is wrong).
constexpr double kMaxResidualDb = 3.0;

std::string pointText(std::size_t index)
{
    return integerText(static_cast<long long>(index) + 1);
}

[[noreturn]] void refuse(const std::string& text)
{
    throw MeasurementError(text);
}

void checkMeasurement(const std::vector<double>& f, const std::vector<cplx>& s21, double portR)
{
    if (f.size() != s21.size())
        refuse("The measurement has " + integerText(static_cast<long long>(f.size())) + " frequencies but " +
               integerText(static_cast<long long>(s21.size())) + " S21 values.");
    if (f.size() < static_cast<std::size_t>(kMinFitPoints))
        refuse("Too few points to fit a crystal: " + integerText(static_cast<long long>(f.size())) +
               " (at least " + integerText(kMinFitPoints) + ").");
    if (!(portR > 0) || !std::isfinite(portR))
        refuse("The port resistance must be above 0 ohm.");
    for (std::size_t i = 0; i < f.size(); ++i) {
        if (!(f[i] > 0) || !std::isfinite(f[i]))
            refuse("The frequency of point " + pointText(i) + " is not a number above 0 Hz.");
        if (i > 0 && !(f[i] > f[i - 1]))
            refuse("The frequencies must rise from point to point; point " + pointText(i) + " does not.");
        if (!std::isfinite(s21[i].real()) || !std::isfinite(s21[i].imag()) || std::abs(s21[i]) == 0)
            refuse("S21 of point " + pointText(i) + " is zero or not a number.");
    }
}

// Where the series resonance (the peak of |S21|) and the parallel resonance (the dip above
// it) lie, or a refusal saying which of them the sweep lacks.
struct Landmarks {
    std::size_t peak = 0;
    std::size_t dip = 0;
};

Landmarks findResonances(const std::vector<cplx>& s21)
{
    std::vector<double> db(s21.size());
    for (std::size_t i = 0; i < s21.size(); ++i)
        db[i] = kNeperToDb * std::log(std::abs(s21[i]));
    const auto [lo, hi] = std::minmax_element(db.begin(), db.end());
    if (*hi - *lo < kMinContrastDb)
        refuse("No resonance in the measurement: |S21| varies by only " + fixedText(*hi - *lo, 5, 2) +
               " dB over the sweep.");
    Landmarks at;
    at.peak = static_cast<std::size_t>(hi - db.begin());
    if (at.peak == 0 || at.peak == db.size() - 1)
        refuse("No series resonance in the sweep: |S21| is largest at its " +
               std::string(at.peak == 0 ? "lowest" : "highest") + " frequency.");
    at.dip = static_cast<std::size_t>(std::min_element(db.begin() + static_cast<long>(at.peak), db.end()) - db.begin());
    if (at.dip == db.size() - 1)
        refuse("No parallel resonance in the sweep: above the peak, |S21| is smallest at the highest frequency.");
    if (db[at.peak] - db[at.dip] < kMinContrastDb)
        refuse("No parallel resonance in the sweep: |S21| dips only " + fixedText(db[at.peak] - db[at.dip], 5, 2) +
               " dB below its peak.");
    return at;
}

// Solves the n x n complex system a x = b by elimination with partial pivoting; false when
// the matrix is singular.
template <std::size_t n>
bool solve(std::array<std::array<cplx, n>, n> a, std::array<cplx, n> b, std::array<cplx, n>& x)
{
    for (std::size_t c = 0; c < n; ++c) {
        std::size_t pivot = c;
        for (std::size_t r = c + 1; r < n; ++r)
            if (std::abs(a[r][c]) > std::abs(a[pivot][c]))
                pivot = r;
        if (!(std::abs(a[pivot][c]) > 0))
            return false;
        std::swap(a[c], a[pivot]);
        std::swap(b[c], b[pivot]);
        for (std::size_t r = c + 1; r < n; ++r) {
            const cplx m = a[r][c] / a[c][c];
            for (std::size_t k = c; k < n; ++k)
                a[r][k] -= m * a[c][k];
            b[r] -= m * b[c];
        }
    }
    for (std::size_t c = n; c-- > 0;) {
        cplx sum = b[c];
        for (std::size_t k = c + 1; k < n; ++k)
            sum -= a[c][k] * x[k];
        x[c] = sum / a[c][c];
    }
    return true;
}

// Starting values. Close to its resonances a crystal between two resistors is a bilinear
// function of frequency, S21(u) = (a0 + a1 u) / (b0 + u), which a linear least-squares fit
// finds without any guess; reweighting by 1/|b0 + u| (and by 1/|S21| for relative errors)
// turns the linearised error back into the error of S21 itself.
struct Bilinear {
    cplx a0, a1, b0;
};

bool fitBilinear(const std::vector<double>& u, const std::vector<cplx>& s, Bilinear& fit)
{
    std::vector<double> weight(u.size());
    for (std::size_t i = 0; i < u.size(); ++i)
        weight[i] = 1 / std::abs(s[i]);
    for (int pass = 0; pass < 8; ++pass) {
        // Rows a0 + a1 u - b0 S = u S, columns scaled to unit length for the elimination.
        std::array<std::array<cplx, 3>, 3> a{};
        std::array<cplx, 3> b{};
        for (std::size_t i = 0; i < u.size(); ++i) {
            const double w2 = weight[i] * weight[i];
            const std::array<cplx, 3> row{1.0, u[i], -s[i]};
            for (std::size_t j = 0; j < 3; ++j) {
                for (std::size_t k = 0; k < 3; ++k)
                    a[j][k] += w2 * std::conj(row[j]) * row[k];
                b[j] += w2 * std::conj(row[j]) * (u[i] * s[i]);
            }
        }
        std::array<double, 3> scale{};
        for (std::size_t j = 0; j < 3; ++j)
            scale[j] = std::sqrt(a[j][j].real());
        for (std::size_t j = 0; j < 3; ++j) {
            if (!(scale[j] > 0))
                return false;
            for (std::size_t k = 0; k < 3; ++k)
                a[j][k] /= scale[j] * scale[k];
            b[j] /= scale[j];
        }
        std::array<cplx, 3> x{};
        if (!solve<3>(a, b, x))
            return false;
        fit = {x[0] / scale[0], x[1] / scale[1], x[2] / scale[2]};
        for (std::size_t i = 0; i < u.size(); ++i)
            weight[i] = 1 / (std::abs(s[i]) * std::max(std::abs(fit.b0 + u[i]), 1e-12));
    }
    return std::isfinite(std::abs(fit.a0)) && std::isfinite(std::abs(fit.a1)) && std::isfinite(std::abs(fit.b0));
}

// The crystal's model with the series resonance kept as an offset from a reference, so that
// f - fs keeps its digits at 30 MHz; the other values are fitted as logarithms, which keeps
// them positive and makes their steps relative.
struct Params {
    double fsRef = 0;
    std::array<double, 4> p{};  // fs - fsRef (Hz), ln Lm, ln Rm, ln C0

    double fs() const { return fsRef + p[0]; }
    double lm() const { return std::exp(p[1]); }
    double rm() const { return std::exp(p[2]); }
    double c0() const { return std::exp(p[3]); }
};

// The crystal's admittance and S21 at one frequency. (w^2 - ws^2) / w is formed from f - fs
// directly: near resonance the difference of the squares would lose most of its digits.
struct ModelPoint {
    cplx ym;  // motional arm
    cplx y;   // with C0
    cplx s21;
    double x;  // motional reactance
};

ModelPoint modelAt(double fs, double lm, double rm, double c0, double f, double portR)
{
    const double w = kTwoPi * f;
    const double ws = kTwoPi * fs;
    ModelPoint m;
    m.x = lm * (kTwoPi * (f - fs)) * (w + ws) / w;
    m.ym = 1.0 / cplx(rm, m.x);
    m.y = m.ym + cplx(0, w * c0);
    const cplx twoRY = 2 * portR * m.y;
    m.s21 = twoRY / (1.0 + twoRY);
    return m;
}

// Analysers trace magnitude and phase with different noise; each part of ln S21 is weighed
// by the inverse of its own variance.
struct Weights {
    double magnitude = 1;
    double phase = 1;
};

struct Normal {
    double cost = 0;
    std::array<std::array<double, 4>, 4> a{};
    std::array<double, 4> g{};
};

// Sum of |ln(measured / model)|^2 and, when asked, the Gauss-Newton normal equations.
bool evaluate(const Params& par, const std::vector<double>& f, const std::vector<cplx>& s21, double portR,
              const Weights& wt, bool withJacobian, Normal& out)
{
    const double fs = par.fs(), lm = par.lm(), rm = par.rm(), c0 = par.c0();
    out = Normal{};
    for (std::size_t i = 0; i < f.size(); ++i) {
        const ModelPoint m = modelAt(fs, lm, rm, c0, f[i], portR);
        const cplx r = std::log(s21[i] / m.s21);
        if (!std::isfinite(r.real()) || !std::isfinite(r.imag()))
            return false;
        out.cost += wt.magnitude * r.real() * r.real() + wt.phase * r.imag() * r.imag();
        if (!withJacobian)
            continue;
        const double w = kTwoPi * f[i];
        // d ln S21 = dY / (Y (1 + 2RY)); the arm's parameters move Y through -Ym^2 dZm.
        const cplx k = 1.0 / (m.y * (1.0 + 2 * portR * m.y));
        const cplx ym2 = -m.ym * m.ym;
        const std::array<cplx, 4> d{
            k * ym2 * cplx(0, -lm * 2 * (kTwoPi * fs) / w * kTwoPi),
            k * ym2 * cplx(0, m.x),
            k * ym2 * rm,
            k * cplx(0, w * c0),
        };
        for (std::size_t a = 0; a < 4; ++a) {
            for (std::size_t b = 0; b < 4; ++b)
                out.a[a][b] += wt.magnitude * d[a].real() * d[b].real() + wt.phase * d[a].imag() * d[b].imag();
            out.g[a] += wt.magnitude * d[a].real() * r.real() + wt.phase * d[a].imag() * r.imag();
        }
    }
    return std::isfinite(out.cost);
}

// Levenberg-Marquardt step: (A + lambda diag A) dp = g, solved by Cholesky on the matrix
// scaled to unit diagonal; false when it is not positive definite.
bool marquardtStep(const Normal& n, double lambda, std::array<double, 4>& step)
{
    std::array<double, 4> s{};
    for (std::size_t i = 0; i < 4; ++i) {
        if (!(n.a[i][i] > 0))
            return false;
        s[i] = std::sqrt(n.a[i][i]);
    }
    std::array<std::array<double, 4>, 4> l{};
    for (std::size_t i = 0; i < 4; ++i)
        for (std::size_t j = 0; j <= i; ++j) {
            double sum = n.a[i][j] / (s[i] * s[j]) + (i == j ? lambda : 0.0);
            for (std::size_t k = 0; k < j; ++k)
                sum -= l[i][k] * l[j][k];
            if (i == j) {
                if (!(sum > 0))
                    return false;
                l[i][i] = std::sqrt(sum);
            } else {
                l[i][j] = sum / l[j][j];
            }
        }
    std::array<double, 4> y{};
    for (std::size_t i = 0; i < 4; ++i) {
        double sum = n.g[i] / s[i];
        for (std::size_t k = 0; k < i; ++k)
            sum -= l[i][k] * y[k];
        y[i] = sum / l[i][i];
    }
    for (std::size_t i = 4; i-- > 0;) {
        double sum = y[i];
        for (std::size_t k = i + 1; k < 4; ++k)
            sum -= l[k][i] * step[k];
        step[i] = sum / l[i][i];
    }
    for (std::size_t i = 0; i < 4; ++i)
        step[i] /= s[i];
    return true;
}

int refine(Params& par, const std::vector<double>& f, const std::vector<cplx>& s21, double portR, const Weights& wt)
{
    Normal now;
    if (!evaluate(par, f, s21, portR, wt, true, now))
        return 0;
    double lambda = 1e-3;
    int iteration = 0;
    for (; iteration < 200; ++iteration) {
        bool accepted = false;
        Normal next;
        Params trial;
        while (lambda < 1e12) {
            std::array<double, 4> step{};
            if (marquardtStep(now, lambda, step)) {
                // A logarithm moves at most by one per step: a factor of e is far outside
                // any sensible correction and would only overflow the model.
                trial = par;
                for (std::size_t i = 0; i < 4; ++i)
                    trial.p[i] += i == 0 ? step[i] : std::clamp(step[i], -1.0, 1.0);
                if (evaluate(trial, f, s21, portR, wt, false, next) && next.cost < now.cost) {
                    accepted = true;
                    break;
                }
            }
            lambda *= 10;
        }
        if (!accepted)
            break;
        const double gain = now.cost - next.cost;
        par = trial;
        evaluate(par, f, s21, portR, wt, true, now);
        lambda = std::max(lambda / 10, 1e-9);
        if (gain <= 1e-10 * now.cost)
            break;
    }
    return iteration + 1;
}

// Weights from the scatter of magnitude and phase about a first fit. Their ratio is held
// within 100 so that a trace with next to no noise in one part cannot silence the other.
Weights scatterWeights(const Params& par, const std::vector<double>& f, const std::vector<cplx>& s21, double portR)
{
    double magnitude = 0, phase = 0;
    for (std::size_t i = 0; i < f.size(); ++i) {
        const cplx r = std::log(s21[i] / modelAt(par.fs(), par.lm(), par.rm(), par.c0(), f[i], portR).s21);
        magnitude += r.real() * r.real();
        phase += r.imag() * r.imag();
    }
    const double larger = std::max(magnitude, phase);
    if (!(larger > 0) || !std::isfinite(larger))
        return {};
    return {larger / std::max(magnitude, larger / 100), larger / std::max(phase, larger / 100)};
}

// Starting values from the bilinear fit: near resonance the crystal's admittance is
// Y = jB0 + 1 / (Rm + j 4 pi Lm (f - fs)), B0 = w C0.
bool startingValues(const std::vector<double>& f, const std::vector<cplx>& s21, double portR, const Landmarks& at,
                    Params& par)
{
    // The bilinear form holds near the resonances only; a wide sweep is cut down to a few
    // resonance spacings around them.
    const double fRef = f[at.peak];
    const double spacing = f[at.dip] - f[at.peak];
    std::vector<double> u;
    std::vector<cplx> s;
    for (std::size_t i = 0; i < f.size(); ++i)
        if (f[i] > fRef - 3 * spacing && f[i] < f[at.dip] + 3 * spacing) {
            u.push_back(f[i] - fRef);
            s.push_back(s21[i]);
        }
    const double fScale = std::max(u.back(), -u.front());
    for (double& ui : u)
        ui /= fScale;
    Bilinear bl;
    if (!fitBilinear(u, s, bl))
        return false;
    // From S21 to Y = (p0 + p1 u) / (q0 + u) through Z = 2R (1/S21 - 1).
    const cplx den = 1.0 - bl.a1;
    const cplx q0 = (bl.b0 - bl.a0) / den;
    const cplx p0 = bl.a0 / (2 * portR * den);
    const cplx p1 = bl.a1 / (2 * portR * den);
    const double b0 = p1.imag();
    const double slope = (1.0 / (p0 - cplx(0, b0) * q0)).imag();  // 4 pi Lm fScale
    const double rm = -q0.imag() * slope;
    const double fs = fRef - q0.real() * fScale;
    if (!(b0 > 0) || !(slope > 0) || !(rm > 0) || !(fs > f.front()) || !(fs < f.back()))
        return false;
    par.fsRef = fs;
    par.p = {0.0, std::log(slope / (kFourPi * fScale)), std::log(rm), std::log(b0 / (kTwoPi * fs))};
    return std::isfinite(par.p[1]) && std::isfinite(par.p[2]) && std::isfinite(par.p[3]);
}

const char* const kNotACrystal = "The measurement does not match a crystal model.";

}  // namespace

std::complex<double> crystalS21(double fsHz, double lmH, double rmOhm, double c0F, double freqHz, double portR)
{
    return modelAt(fsHz, lmH, rmOhm, c0F, freqHz, portR).s21;
}

std::complex<double> crystalS21(const CrystalFit& crystal, double freqHz, double portR)
{
    return crystalS21(crystal.fsHz, crystal.lmH, crystal.rmOhm, crystal.c0F, freqHz, portR);
}

CrystalFit fitCrystal(const std::vector<double>& freqHz, const std::vector<std::complex<double>>& s21, double portR)
{
    checkMeasurement(freqHz, s21, portR);
    const Landmarks at = findResonances(s21);
    Params par;
    if (!startingValues(freqHz, s21, portR, at, par))
        refuse(kNotACrystal);

    CrystalFit fit;
    fit.iterations = refine(par, freqHz, s21, portR, Weights{});
    fit.iterations += refine(par, freqHz, s21, portR, scatterWeights(par, freqHz, s21, portR));
    fit.fsHz = par.fs();
    fit.lmH = par.lm();
    fit.rmOhm = par.rm();
    fit.c0F = par.c0();
    const double ws = kTwoPi * fit.fsHz;
    fit.cmF = 1 / (ws * ws * fit.lmH);
    fit.qu = ws * fit.lmH / fit.rmOhm;
    fit.fpHz = fit.fsHz * std::sqrt(1 + fit.cmF / fit.c0F);
    for (double v : {fit.fsHz, fit.lmH, fit.cmF, fit.rmOhm, fit.c0F, fit.qu, fit.fpHz})
        if (!std::isfinite(v) || !(v > 0))
            refuse(kNotACrystal);

    double sumSquares = 0;
    const double seriesHalfWidth = (fit.rmOhm + 2 * portR) / (kFourPi * fit.lmH);
    const double parallelHalfWidth = fit.rmOhm / (kFourPi * fit.lmH);
    for (std::size_t i = 0; i < freqHz.size(); ++i) {
        const double diff = kNeperToDb * std::log(std::abs(s21[i]) / std::abs(crystalS21(fit, freqHz[i], portR)));
        sumSquares += diff * diff;
        fit.seriesPoints += std::abs(freqHz[i] - fit.fsHz) <= seriesHalfWidth;
        fit.parallelPoints += std::abs(freqHz[i] - fit.fpHz) <= parallelHalfWidth;
    }
    fit.residualDb = std::sqrt(sumSquares / static_cast<double>(freqHz.size()));
    if (!(fit.residualDb <= kMaxResidualDb))
        refuse("The measurement does not match a crystal model: the fitted curve is off by " +
               fixedText(fit.residualDb, 5, 2) + " dB RMS.");
    return fit;
}

MotionalValues motionalFromLoadShift(double fsHz, double fLoadHz, double csF, double c0F)
{
    if (!(fsHz > 0) || !std::isfinite(fsHz))
        refuse("The series resonance fs must be above 0 Hz.");
    if (!(fLoadHz > fsHz) || !std::isfinite(fLoadHz))
        refuse("The frequency with the series capacitor must be above fs.");
    if (!(csF > 0) || !std::isfinite(csF))
        refuse("The series capacitor must be above 0 pF.");
    if (!(c0F >= 0) || !std::isfinite(c0F))
        refuse("C0 must not be negative.");
    // (fL/fs)^2 - 1 from the difference, which the shift of a few kHz in MHz needs.
    const double shift = (fLoadHz - fsHz) * (fLoadHz + fsHz) / (fsHz * fsHz);
    MotionalValues v;
    v.cmF = shift * (c0F + csF);
    const double ws = kTwoPi * fsHz;
    v.lmH = 1 / (ws * ws * v.cmF);
    return v;
}
