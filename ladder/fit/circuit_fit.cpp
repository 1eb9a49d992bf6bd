#include "ladder/fit/circuit_fit.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <Eigen/Dense>
#include <unsupported/Eigen/LevenbergMarquardt>

#include "common/errors.h"
#include "common/numread.h"
#include "common/numtext.h"
#include "ladder/circuit_file.h"

namespace fit {

namespace {

// Forward-difference steps: a thousandth of a hertz moves a crystal's mesh measurably above
// the rounding of its 10^7 Hz resonance and far below the width of its response; 1e-6 in the
// logarithm is a part in a million of a value.
constexpr double kOffsetStep = 1e-3;
constexpr double kLogStep = 1e-6;
// A value this far from its nominal (in either direction) is no longer a part that is "off":
// the search does not go beyond it, and a fit that ends past a thousandth has driven it to zero.
const double kLogLimit = std::log(1e4);
const double kDrivenToZero = std::log(1e-3);
// Where the search may not go, every residual is this: far above any real one.
constexpr double kBarrier = 1e6;
// Singular values below this share of the largest carry no information; the uncertainty
// along them is taken as huge rather than infinite, so that every figure stays a number.
constexpr double kSingularShare = 1e-12;
constexpr double kLargestSigma = 1e300;

struct Parameter {
    ParameterKind kind;
    int entry;
    double nominal;
};

std::string partName(const Circuit& m, const Parameter& p)
{
    switch (p.kind) {
    case ParameterKind::CrystalQ: return "the crystal Q";
    case ParameterKind::InductorQ: return "the inductor Q";
    default: return "entry " + integerText(p.entry) + " (" + m.part(p.entry).partkind + ")";
    }
}

std::vector<Parameter> parametersOf(const Circuit& m, const FreeSet& free)
{
    std::vector<Parameter> out;
    for (int n : free.entries) {
        if (!isFreeable(m, n))
            throw AppError("Entry " + integerText(n) + " cannot be fitted: it is no capacitor, inductor, resistor or "
                                                         "crystal of the circuit.");
        const Part& part = m.part(n);
        out.push_back({part.partcode == kXtl ? ParameterKind::Offset : ParameterKind::Value, n, part.partvalue});
    }
    if (free.crystalQ) {
        if (!hasCrystals(m))
            throw AppError("The circuit has no crystals whose Q could be fitted.");
        out.push_back({ParameterKind::CrystalQ, entry::kXtalQx, m.xtalqx});
    }
    if (free.inductorQ) {
        if (!hasInductors(m))
            throw AppError("The circuit has no inductors whose Q could be fitted.");
        out.push_back({ParameterKind::InductorQ, entry::kInductorQ, m.inductorq});
    }
    if (out.empty())
        throw AppError("No value is free: choose at least one entry to fit.");
    for (const Parameter& p : out) {
        if (!std::isfinite(p.nominal))
            throw AppError("The value of " + partName(m, p) + " is not a finite number.");
        if (p.kind != ParameterKind::Offset && !(p.nominal > 0))
            throw AppError("The value of " + partName(m, p) + " is " + generalText(p.nominal, 12) +
                           ": only a positive value can be fitted.");
    }
    return out;
}

void checkFinite(const Circuit& m)
{
    const double scalars[] = {m.loadr, m.sourcer, m.inductorq, m.xtalfreq, m.xtallm, m.xtalcp, m.xtalqx,
                              m.startfreq, m.stopfreq};
    for (double v : scalars)
        if (!std::isfinite(v))
            throw AppError("A value of the circuit (terminations, Q or crystal data) is not a finite number.");
    for (int n = 1; n <= std::clamp(m.partcount, 0, kMaxParts); ++n)
        if (!std::isfinite(m.part(n).partvalue))
            throw AppError("The value of entry " + integerText(n) + " is not a finite number.");
}

double& valueOf(Circuit& m, const Parameter& p)
{
    switch (p.kind) {
    case ParameterKind::CrystalQ: return m.xtalqx;
    case ParameterKind::InductorQ: return m.inductorq;
    default: return m.part(p.entry).partvalue;
    }
}

double valueAt(const Parameter& p, double x)
{
    return p.kind == ParameterKind::Offset ? p.nominal + x : p.nominal * std::exp(x);
}

// The value as its circuit file writes it: what a saved circuit reads back.
double asSaved(const Parameter& p, double v)
{
    const bool q = p.kind == ParameterKind::CrystalQ || p.kind == ParameterKind::InductorQ;
    return readNumber(readableText(q ? fixedText(v, 8, 2) : fixedText(v, 11, 5)));
}

class Problem : public Eigen::DenseFunctor<double> {
public:
    Problem(const Circuit& m, const Target& t, std::vector<Parameter> params, const Options& o)
        : DenseFunctor(static_cast<int>(params.size()), t.values()), base_(m), target_(t),
          params_(std::move(params)), options_(o)
    {
    }

    bool inside(const Eigen::VectorXd& x) const
    {
        for (std::size_t j = 0; j < params_.size(); ++j) {
            if (!std::isfinite(x[j]))
                return false;
            if (params_[j].kind == ParameterKind::Offset) {
                if (!(base_.xtalfreq * 1e6 + valueAt(params_[j], x[j]) > 0))
                    return false;
            } else if (std::fabs(x[j]) > kLogLimit) {
                return false;
            }
        }
        return true;
    }

    Circuit circuitAt(const Eigen::VectorXd& x) const
    {
        Circuit m = base_;
        for (std::size_t j = 0; j < params_.size(); ++j)
            valueOf(m, params_[j]) = valueAt(params_[j], x[j]);
        return m;
    }

    void fill(const ModelResponse& r, double* out) const
    {
        if (r.ok)
            residual(target_, r, out);
        else
            std::fill(out, out + values(), kBarrier);
    }

    int operator()(const Eigen::VectorXd& x, Eigen::VectorXd& fvec)
    {
        if (options_.stop.stop_requested())
            return -1;
        if (!inside(x)) {
            fvec.setConstant(kBarrier);
            return 0;
        }
        solveCircuits({circuitAt(x)}, target_.freq, batch_, 1);
        fill(batch_[0], fvec.data());
        return 0;
    }

    double step(int j) const { return params_[j].kind == ParameterKind::Offset ? kOffsetStep : kLogStep; }

    int df(const Eigen::VectorXd& x, Eigen::MatrixXd& fjac)
    {
        if (options_.stop.stop_requested())
            return -1;
        const int n = inputs();
        std::vector<Circuit> circuits;
        circuits.reserve(n + 1);
        circuits.push_back(circuitAt(x));
        for (int j = 0; j < n; ++j) {
            Eigen::VectorXd moved = x;
            moved[j] += step(j);
            circuits.push_back(circuitAt(moved));
        }
        solveCircuits(circuits, target_.freq, batch_, options_.threads);
        Eigen::VectorXd r0(values()), r1(values());
        fill(batch_[0], r0.data());
        for (int j = 0; j < n; ++j) {
            fill(batch_[j + 1], r1.data());
            fjac.col(j) = (r1 - r0) / step(j);
        }
        ++iterations_;
        if (options_.progress)
            options_.progress(iterations_, options_.maxIterations);
        return 0;
    }

    const std::vector<Parameter>& params() const { return params_; }
    int iterations() const { return iterations_; }

private:
    const Circuit& base_;
    const Target& target_;
    std::vector<Parameter> params_;
    const Options& options_;
    std::vector<ModelResponse> batch_;
    int iterations_ = 0;
};

ModelResponse solved(const Circuit& m, const Target& t, const char* which)
{
    std::vector<ModelResponse> r;
    solveCircuits({m}, t.freq, r, 1);
    if (!r[0].ok)
        throw AppError(std::string("The ") + which + " circuit has no finite response at the measured points: " +
                       r[0].error + ".");
    return std::move(r[0]);
}

double weightedRms(const Target& t, const ModelResponse& r)
{
    Eigen::VectorXd v(t.values());
    residual(t, r, v.data());
    return std::sqrt(v.squaredNorm() / (t.points() * t.perPoint()));
}

// One-sigma uncertainties and correlations of x from the Jacobian and the residual:
// covariance = s^2 (J^T J)^-1 with s^2 the residual's variance per degree of freedom,
// taken through the SVD of J with its columns scaled to one, so that values on different
// scales and a rank-deficient J both come out as numbers.
void uncertainties(const Eigen::MatrixXd& j, const Eigen::VectorXd& r, Eigen::VectorXd& sigma,
                   Eigen::MatrixXd& correlation)
{
    const Eigen::Index n = j.cols(), m = j.rows();
    Eigen::VectorXd scale(n);
    for (Eigen::Index c = 0; c < n; ++c)
        scale[c] = std::max(j.col(c).norm(), std::numeric_limits<double>::min() * 1e10);
    const Eigen::MatrixXd js = j * scale.cwiseInverse().asDiagonal();
    Eigen::JacobiSVD<Eigen::MatrixXd> svd(js, Eigen::ComputeThinV);
    const Eigen::VectorXd s = svd.singularValues();
    const double floor = std::max(s[0], 1e-300) * kSingularShare;
    Eigen::VectorXd inv(n);
    for (Eigen::Index i = 0; i < n; ++i)
        inv[i] = 1 / std::max(s[i], floor);
    const Eigen::MatrixXd v = svd.matrixV();
    const Eigen::MatrixXd covScaled = v * inv.cwiseAbs2().asDiagonal() * v.transpose();
    const double variance = m > n ? r.squaredNorm() / static_cast<double>(m - n) : r.squaredNorm();
    sigma.resize(n);
    correlation.resize(n, n);
    for (Eigen::Index a = 0; a < n; ++a)
        sigma[a] = std::sqrt(covScaled(a, a) * variance) / scale[a];
    for (Eigen::Index a = 0; a < n; ++a)
        for (Eigen::Index b = 0; b < n; ++b)
            correlation(a, b) = covScaled(a, b) / std::sqrt(covScaled(a, a) * covScaled(b, b));
}

}  // namespace

Result fitCircuit(const Circuit& m, const Target& target, const FreeSet& free, const Options& options)
{
    checkFinite(m);
    std::vector<Parameter> params = parametersOf(m, free);
    const int n = static_cast<int>(params.size());
    if (target.values() < n + 1)
        throw AppError("The measurement has " + integerText(target.points()) + (target.points() == 1 ? " point" : " points") +
                       " inside the sweep: too few for " +
                       integerText(n) + " free values.");

    Result result;
    const ModelResponse before = solved(m, target, "nominal");
    result.rmsBeforeDb = rmsDb(target, before);
    result.weightedBefore = weightedRms(target, before);

    Problem problem(m, target, params, options);
    Eigen::LevenbergMarquardt<Problem> lm(problem);
    lm.setMaxfev(20 * (options.maxIterations + 1));
    // A first step no longer than the residual it may remove: a Gauss-Newton step from far off
    // can throw a value past any sense before the trust region learns the problem's scale.
    lm.setFactor(1);
    lm.setFtol(1e-12);
    lm.setXtol(1e-12);
    Eigen::VectorXd x = Eigen::VectorXd::Zero(n);
    auto status = lm.minimizeInit(x);
    while (status != Eigen::LevenbergMarquardtSpace::UserAsked && problem.iterations() < options.maxIterations) {
        status = lm.minimizeOneStep(x);
        if (status != Eigen::LevenbergMarquardtSpace::Running)
            break;
    }
    if (options.stop.stop_requested() || status == Eigen::LevenbergMarquardtSpace::UserAsked) {
        result.cancelled = true;
        return result;
    }
    result.iterations = problem.iterations();

    // The values as saved, then everything reported of them.
    result.fitted = m;
    int drivenToZero = -1;
    for (int k = 0; k < n; ++k) {
        const Parameter& p = params[k];
        const double v = asSaved(p, valueAt(p, x[k]));
        if (p.kind == ParameterKind::Offset) {
            x[k] = v - p.nominal;
        } else if (!(v > 0) || x[k] < kDrivenToZero) {
            if (drivenToZero < 0)
                drivenToZero = k;
        } else {
            x[k] = std::log(v / p.nominal);
        }
        valueOf(result.fitted, p) = v;
    }
    result.response = solved(result.fitted, target, "fitted");
    result.rmsAfterDb = rmsDb(target, result.response);
    result.weightedAfter = weightedRms(target, result.response);
    result.poor = !(result.weightedAfter <= kPoorFit);
    // A poor fit says so; a good one that needs a part of no value is no finding either.
    if (drivenToZero >= 0 && !result.poor)
        throw AppError("The fit drove " + partName(m, params[drivenToZero]) + " from " +
                       generalText(params[drivenToZero].nominal, 8) +
                       " towards zero: the measurement does not fix it. Fix its value or leave it out.");

    Eigen::VectorXd r(target.values());
    Eigen::MatrixXd jac(target.values(), n);
    problem(x, r);
    problem.df(x, jac);
    Eigen::VectorXd sigma;
    Eigen::MatrixXd corr;
    uncertainties(jac, r, sigma, corr);

    if (result.poor)
        result.message = "The fit is poor (residual " + fixedText(result.rmsAfterDb, 4, 2) +
                         " dB RMS): the measurement does not look like this circuit, so none of the values "
                         "found is a finding.";
    for (int k = 0; k < n; ++k) {
        const Parameter& p = params[k];
        ParameterResult pr;
        pr.entry = p.entry;
        pr.kind = p.kind;
        pr.nominal = p.nominal;
        pr.fitted = valueOf(result.fitted, p);
        const bool q = p.kind == ParameterKind::CrystalQ || p.kind == ParameterKind::InductorQ;
        if (q) {
            pr.name = p.kind == ParameterKind::CrystalQ ? "xtalqx" : "inductorq";
            pr.part = "q";
        } else {
            pr.name = integerText(p.entry);
            pr.part = m.part(p.entry).partkind;
            const int code = m.part(p.entry).partcode;
            pr.unit = code == kXtl ? "Hz" : code == kCap ? "pF" : code == kInd ? "nH" : "ohm";
        }
        // A logarithm's sigma is a relative one.
        const double s = p.kind == ParameterKind::Offset ? sigma[k] : sigma[k] * pr.fitted;
        pr.sigma = std::isfinite(s) ? std::min(s, kLargestSigma) : kLargestSigma;
        for (int o = 0; o < n; ++o) {
            if (o == k || !(std::fabs(corr(k, o)) > std::fabs(pr.correlation)))
                continue;
            pr.correlation = corr(k, o);
            pr.correlatedWith = o;
        }
        pr.unresolved = result.poor || std::fabs(pr.correlation) > kUnresolvedCorrelation ||
                        !(pr.sigma <= std::fabs(pr.change()));
        result.parameters.push_back(pr);
    }
    return result;
}

}  // namespace fit
