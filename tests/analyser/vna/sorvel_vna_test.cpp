#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cmath>
#include <fstream>

#include "analyser/instrument/protocol/frequency_plan.h"
#include "analyser/instrument/sim/simulator.h"
#include "analyser/vna/vna_command.h"
#include "common/touchstone.h"
#include "ladder/circuit_file.h"
#include "ladder/network.h"
#include "ladder/twoport.h"

namespace {

// The five-crystal example: its pass band lies around xtalfreq.
Circuit crystalFilter() { return readCircuitFile(EXAMPLES_DIR "/crystal-5-pole.cir"); }

enum class Kind { Nano, NanoText, Libre };

std::unique_ptr<Simulator> simulator(Kind k, const SimOptions& o)
{
    SimOptions s = o;
    if (k == Kind::NanoText)
        s.binaryScan = false;
    return k == Kind::Libre ? startLibreVnaSimulator(crystalFilter(), s) : startNanoVnaSimulator(crystalFilter(), s);
}

std::vector<std::string> target(Kind k, const Simulator& sim)
{
    return {k == Kind::Libre ? "--libre" : "--port", sim.address()};
}

struct VnaRun {
    int status;
    std::string out, err;
};

VnaRun vna(std::vector<std::string> args)
{
    VnaRun r;
    r.status = runVnaCommand(args, r.out, r.err);
    return r;
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const double kCentre = 10e6;
const std::vector<std::string> kRange = {"--start", "9998500", "--stop", "10001500"};

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// RMS distance of the measured S21 from the engine's.
double s21Error(const Network& n)
{
    const Circuit c = crystalFilter();
    double sum = 0;
    for (std::size_t i = 0; i < n.frequencyHz.size(); ++i)
        sum += std::norm(n.s21[i] - solveTwoPort(c, circuitFrequency(c, n.frequencyHz[i])).s21);
    return std::sqrt(sum / n.frequencyHz.size());
}

}  // namespace

class SorvelVna : public ::testing::TestWithParam<Kind> {};

TEST_P(SorvelVna, SweepsInSegmentsFromSplitDelayedRepliesAndTheFileReadsBack)
{
    auto sim = simulator(GetParam(), {.delayMs = 2, .pieceBytes = 5});
    QTemporaryDir dir;
    const std::string out = dir.filePath("m.s2p").toStdString();
    const VnaRun r = vna(target(GetParam(), *sim) + kRange + std::vector<std::string>{"--points", "45", "--segment", "11", "--out", out});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(sim->sweepsAnswered(), 5);  // 45 points, at most 11 a time: five segments

    const std::string text = fileText(out);
    EXPECT_THAT(text, ::testing::StartsWith(GetParam() == Kind::Libre ? "! Instrument: LibreVNA" : "! Instrument: NanoVNA 1.2.00-sim"));
    EXPECT_THAT(text, ::testing::HasSubstr("\n! Written by sorvel-vna "));
    EXPECT_THAT(text, ::testing::HasSubstr("\n# Hz S RI R 50\n9998500 "));
    const Network n = readTouchstoneFile(out);
    const FrequencyPlan plan = planSweep(9998500, 10001500, 45, 11);
    ASSERT_EQ(n.frequencyHz.size(), 45u);
    for (std::size_t i = 0; i < plan.hz.size(); ++i)
        EXPECT_NEAR(n.frequencyHz[i], double(plan.hz[i]), 1.0) << i;
    // scan_bin carries single-precision floats; text nine digits.
    EXPECT_LT(s21Error(n), GetParam() == Kind::Nano ? 1e-6 : 1e-8);
    EXPECT_EQ(n.s22[7], std::complex<double>());
}

TEST_P(SorvelVna, AveragingTakesTheComplexMeanOfKSweeps)
{
    auto noisy = simulator(GetParam(), {.noise = 0.01, .seed = 7});
    const auto args = target(GetParam(), *noisy) + kRange;
    const VnaRun one = vna(args);
    const VnaRun sixteen = vna(args + std::vector<std::string>{"--average", "16"});
    ASSERT_EQ(one.status, 0) << one.err;
    ASSERT_EQ(sixteen.status, 0) << sixteen.err;
    EXPECT_EQ(noisy->sweepsAnswered(), 2 * (1 + 16));  // 201 points in two segments each
    const double e1 = s21Error(readTouchstone(one.out, 2)), e16 = s21Error(readTouchstone(sixteen.out, 2));
    EXPECT_NEAR(e1, 0.01 * std::sqrt(2.0), 0.003);
    EXPECT_LT(e16, e1 / 3);  // noise falls as the square root of the sweeps
}

TEST_P(SorvelVna, EveryFaultFailsNamingInstrumentAndPortAndWritesNothing)
{
    QTemporaryDir dir;
    const std::string out = dir.filePath("old.s2p").toStdString();
    const struct {
        SimFault fault;
        const char* message;
    } cases[] = {
        {SimFault::Silence, "no reply to '"},
        {SimFault::Garbage, ""},
        {SimFault::WrongCount, "points"},
        {SimFault::WrongFrequency, "Hz, not at the"},
        {SimFault::ErrorLine, ""},
        {SimFault::Close, ""},
    };
    const std::string kind = GetParam() == Kind::Libre ? "LibreVNA on " : "NanoVNA on ";
    for (const auto& c : cases) {
        {
            std::ofstream(out) << "kept";
        }
        // The fault in the second segment: the first one's points must not be written either.
        auto sim = simulator(GetParam(), {.fault = c.fault, .faultAfter = 1});
        const VnaRun r = vna(target(GetParam(), *sim) + kRange +
                          std::vector<std::string>{"--timeout", "0.3", "--out", out});
        EXPECT_EQ(r.status, 1) << int(c.fault);
        EXPECT_THAT(r.err, ::testing::StartsWith(kind + sim->address() + ": ")) << int(c.fault);
        EXPECT_THAT(r.err, ::testing::HasSubstr(c.message));
        EXPECT_EQ(fileText(out), "kept");
    }
}

std::string kindName(const ::testing::TestParamInfo<Kind>& info)
{
    const char* names[] = {"NanoVnaBinary", "NanoVnaText", "LibreVna"};
    return names[int(info.param)];
}
INSTANTIATE_TEST_SUITE_P(Instruments, SorvelVna, ::testing::Values(Kind::Nano, Kind::NanoText, Kind::Libre), kindName);

TEST(SorvelVnaOptions, RefusesBadOptionsAndAbsentInstrumentsWithoutWriting)
{
    QTemporaryDir dir;
    const std::string out = dir.filePath("x.s2p").toStdString();
    const std::vector<std::string> port = {"--port", "/dev/null-no-such-port"};
    const std::vector<std::vector<std::string>> bad = {
        {},
        kRange,
        port,
        port + std::vector<std::string>{"--start", "2e6", "--stop", "1e6"},
        port + std::vector<std::string>{"--start", "1e6", "--stop", "1e6"},
        port + std::vector<std::string>{"--start", "500", "--stop", "1e6"},
        port + std::vector<std::string>{"--start", "1e6", "--stop", "11e9"},
        port + kRange + std::vector<std::string>{"--points", "10"},
        port + kRange + std::vector<std::string>{"--segment", "402"},
        port + kRange + std::vector<std::string>{"--average", "17"},
        port + kRange + std::vector<std::string>{"--timeout", "0"},
        port + kRange + std::vector<std::string>{"--average"},
        port + kRange + std::vector<std::string>{"--libre", "localhost"},
        std::vector<std::string>{"--libre", "localhost:99999"} + kRange,
        port + kRange + std::vector<std::string>{"--bogus"},
        port + kRange,  // no such device
    };
    for (const auto& args : bad) {
        const VnaRun r = vna(args + std::vector<std::string>{"--out", out});
        EXPECT_EQ(r.status, 1) << ::testing::PrintToString(args);
        EXPECT_FALSE(r.err.empty());
        EXPECT_EQ(r.err.find('\n'), std::string::npos);
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(out)));
    const VnaRun absent = vna(port + kRange);
    EXPECT_THAT(absent.err, ::testing::StartsWith("NanoVNA on /dev/null-no-such-port: cannot open the port"));
    // Nothing listens on this port of the loopback address.
    const VnaRun refused = vna(std::vector<std::string>{"--libre", "127.0.0.1:1"} + kRange);
    EXPECT_THAT(refused.err, ::testing::StartsWith("LibreVNA on 127.0.0.1:1: "));
}
