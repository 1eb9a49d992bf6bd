#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <fstream>
#include <numbers>
#include <regex>
#include <sstream>
#include <string>
#include <thread>

#include "ladder/circuit_file.h"
#include "ladder/step/inverse_fft.h"
#include "ladder/step/step_response.h"
#include "tests/support/ladder_support.h"

namespace {

const std::string kData = TEST_DATA_DIR;
const std::string kExamples = EXAMPLES_DIR;

// A curve of "time_s,step" lines after a header, '#' lines skipped.
StepResponse readCurve(const std::string& path)
{
    std::ifstream in(path);
    EXPECT_TRUE(in) << path;
    StepResponse s;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#' || line[0] == 't')
            continue;
        const auto comma = line.find(',');
        s.time.push_back(std::stod(line.substr(0, comma)));
        s.value.push_back(std::stod(line.substr(comma + 1)));
    }
    return s;
}

double at(const StepResponse& s, double t)
{
    if (t >= s.time.back())
        return s.finalValue;  // settled past its end, within 1 %
    const auto it = std::upper_bound(s.time.begin(), s.time.end(), t);
    const std::size_t i = std::size_t(it - s.time.begin());
    if (i == 0)
        return s.value[0];
    const double x = (t - s.time[i - 1]) / (s.time[i] - s.time[i - 1]);
    return s.value[i - 1] + x * (s.value[i] - s.value[i - 1]);
}

struct Reference {
    const char* name;
    std::string circuit;
    StepKind kind;
};

class AgainstTransient : public testing::TestWithParam<Reference> {};

// The FFT-made step against ngspice's transient run of the same circuit.
TEST_P(AgainstTransient, WithinOnePercentOfFinalAndTheReadoutsClose)
{
    const Reference& ref = GetParam();
    const Circuit m = readCircuitFile(ref.circuit);
    const StepResponse s = stepResponse(m);
    EXPECT_EQ(s.kind, ref.kind);
    StepResponse spice = readCurve(kData + "/step-" + ref.name + ".csv");
    spice.finalValue = s.finalValue;
    ASSERT_GT(spice.time.size(), 100u);

    // Every transient point the step covers; past its end the transient stays settled.
    ASSERT_GT(spice.time.back(), s.time.back());
    double worst = 0, tail = 0;
    for (std::size_t i = 0; i < spice.time.size(); ++i) {
        const double e = std::abs(at(s, spice.time[i]) - spice.value[i]) / s.finalValue;
        double& into = spice.time[i] <= s.time.back() ? worst : tail;
        into = std::max(into, e);
    }
    EXPECT_LT(worst, 0.01);
    EXPECT_LT(tail, 0.01);
    // The transient ends settled, at the final value the FFT took from S21.
    EXPECT_NEAR(spice.value.back(), s.finalValue, 0.01 * s.finalValue);

    const StepReadouts mine = stepReadouts(s), theirs = stepReadouts(spice);
    EXPECT_NEAR(mine.overshootPct, theirs.overshootPct, 0.5);
    EXPECT_NEAR(mine.settle, theirs.settle, 0.02 * theirs.settle);
    EXPECT_NEAR(mine.delay, theirs.delay, 0.01 * theirs.delay);
    // The envelope of a wide band-pass ripples at twice the carrier, which moves the first
    // crossings of 10 % and 90 % a little.
    EXPECT_NEAR(mine.rise, theirs.rise, 0.05 * theirs.rise);
    // What --step prints: from 0, evenly, past the settling by a fifth, at least 500 points.
    ASSERT_GE(s.time.size(), 500u);
    EXPECT_EQ(s.time[0], 0);
    EXPECT_GE(s.time.back(), 1.2 * mine.settle * 0.999);
    EXPECT_NEAR(s.time[1] - s.time[0], s.time.back() / double(s.time.size() - 1), 1e-9 * s.time.back());
}

INSTANTIATE_TEST_SUITE_P(
    StepResponse, AgainstTransient,
    testing::Values(Reference{"lowpass-7-pole", kExamples + "/lowpass-7-pole.cir", StepKind::LowPass},
                    Reference{"lc-bandpass", kData + "/step-lc-bandpass.cir", StepKind::BandPass},
                    Reference{"crystal-4", kData + "/step-crystal-4.cir", StepKind::BandPass}),
    [](const auto& info) {
        std::string n = info.param.name;
        std::replace(n.begin(), n.end(), '-', '_');
        return n;
    });

TEST(StepResponse, DoesNotDependOnThePlotRange)
{
    for (const std::string& file : {kExamples + "/crystal-5-pole.cir", kData + "/step-lc-bandpass.cir"}) {
        SCOPED_TRACE(file);
        Circuit m = readCircuitFile(file);
        const StepReadouts a = stepReadouts(stepResponse(m));
        // Zoomed out, the passband still in view.
        const double span = m.stopfreq - m.startfreq;
        if (m.crystalflag == 1)
            m.startfreq -= 0.5 * span;
        m.stopfreq += 0.7 * span;
        const StepReadouts b = stepReadouts(stepResponse(m));
        EXPECT_NEAR(a.delay, b.delay, 2e-3 * a.delay);
        EXPECT_NEAR(a.settle, b.settle, 1e-2 * a.settle);
        EXPECT_NEAR(a.overshootPct, b.overshootPct, 0.05);
    }
}

TEST(StepResponse, LongLadderWhoseStopBandUnderflows)
{
    // Far out, the 80-part ladder's level walk fails; those points pass nothing.
    Circuit m = laddertest::fullLcLadder();
    m.startfreq = 0, m.stopfreq = 60;
    const StepResponse s = stepResponse(m);
    EXPECT_EQ(s.kind, StepKind::LowPass);
    EXPECT_NEAR(s.value.back(), s.finalValue, 0.011 * s.finalValue);
    EXPECT_GT(stepReadouts(s).settle, stepReadouts(s).delay);
}

TEST(StepResponse, SameFromThreadsPlanningAtOnce)
{
    // FFTW's planner is shared: threads that plan together must not disturb each other.
    const Circuit m = readCircuitFile(kExamples + "/crystal-5-pole.cir");
    const std::vector<double> alone = stepResponse(m).value;
    std::vector<std::vector<double>> got(4);
    std::vector<std::thread> threads;
    for (auto& g : got)
        threads.emplace_back([&m, &g] {
            for (int i = 0; i < 5; ++i)
                g = stepResponse(m).value;
        });
    for (auto& t : threads)
        t.join();
    for (const auto& g : got)
        EXPECT_EQ(g, alone);
}

TEST(StepResponse, KindFollowsTheResponseAtZeroHertz)
{
    EXPECT_EQ(stepKindOf(readCircuitFile(kExamples + "/lowpass-7-pole.cir")), StepKind::LowPass);
    EXPECT_EQ(stepKindOf(readCircuitFile(kData + "/step-lc-bandpass.cir")), StepKind::BandPass);
    EXPECT_EQ(stepKindOf(readCircuitFile(kExamples + "/crystal-5-pole.cir")), StepKind::BandPass);
}

// A response whose readouts are known in closed form.
StepResponse sampled(double end, int n, double final, double (*f)(double))
{
    StepResponse s;
    s.finalValue = final;
    for (int i = 0; i < n; ++i) {
        s.time.push_back(end * i / (n - 1));
        s.value.push_back(final * f(s.time.back()));
    }
    return s;
}

TEST(StepReadouts, FirstOrderAndDampedSecondOrder)
{
    // 1 - exp(-t): 50 % at ln 2, 10-90 % in ln 9, never over, last outside 1 % at ln 100.
    const StepReadouts a = stepReadouts(sampled(6, 4000, 0.5, [](double t) { return 1 - std::exp(-t); }));
    EXPECT_NEAR(a.delay, std::log(2.0), 1e-5);
    EXPECT_NEAR(a.rise, std::log(9.0), 1e-5);
    EXPECT_EQ(a.overshootPct, 0);
    EXPECT_NEAR(a.settle, std::log(100.0), 1e-4);
    // zeta = 0.2, wn = 1: overshoot exp(-pi zeta / sqrt(1 - zeta^2)).
    const StepReadouts b = stepReadouts(sampled(40, 2000, 2, [](double t) {
        const double z = 0.2, wd = std::sqrt(1 - z * z);
        return 1 - std::exp(-z * t) * (std::cos(wd * t) + z / wd * std::sin(wd * t));
    }));
    EXPECT_NEAR(b.overshootPct, 100 * std::exp(-std::numbers::pi * 0.2 / std::sqrt(1 - 0.04)), 1e-3);
    // The envelope's last excursion past 1 % lies near ln(100 / sqrt(1 - zeta^2)) / zeta.
    EXPECT_NEAR(b.settle, std::log(100 / std::sqrt(0.96)) / 0.2, 2.5);
    const std::string csv = stepReadoutsCsv(a);
    // 17 significant digits, as every number the command prints.
    EXPECT_TRUE(std::regex_match(csv.substr(0, csv.find('\n')), std::regex(R"(step_delay_s,0\.693147\d{11},s)")))
        << csv;
    EXPECT_NE(csv.find("\nrise_s,"), std::string::npos);
    EXPECT_NE(csv.find("\novershoot_pct,0,%\nsettle_s,"), std::string::npos);
}

TEST(InverseFft, MatchesTheSumItStandsFor)
{
    using cx = std::complex<double>;
    for (int n : {7, 16}) {
        std::vector<cx> x(static_cast<std::size_t>(n)), y;
        for (int k = 0; k < n; ++k)
            x[std::size_t(k)] = cx(std::cos(1.3 * k), std::sin(0.7 * k * k));
        y = x;
        fft::inverse(y);
        for (int m = 0; m < n; ++m) {
            cx sum;
            for (int k = 0; k < n; ++k)
                sum += x[std::size_t(k)] * std::polar(1.0, 2 * std::numbers::pi * k * m / n);
            EXPECT_NEAR(std::abs(y[std::size_t(m)] - sum), 0, 1e-12) << n << " " << m;
        }
        // The real form: the same sum over the Hermitian spectrum.
        std::vector<cx> half(x.begin(), x.begin() + n / 2 + 1);
        half[0] = half[0].real();
        if (n % 2 == 0)
            half[std::size_t(n / 2)] = half[std::size_t(n / 2)].real();
        std::vector<cx> full(static_cast<std::size_t>(n));
        for (int k = 0; k < n; ++k)
            full[std::size_t(k)] = k <= n / 2 ? half[std::size_t(k)] : std::conj(half[std::size_t(n - k)]);
        fft::inverse(full);
        std::vector<double> real;
        fft::inverseReal(half, n, real);
        for (int m = 0; m < n; ++m)
            EXPECT_NEAR(real[std::size_t(m)], full[std::size_t(m)].real(), 1e-12);
    }
}

}  // namespace
