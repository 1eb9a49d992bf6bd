#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <sstream>

#include "circuit_test_support.h"
#include "errors.h"
#include "numtext.h"
#include "sweep.h"
#include "twoport.h"

namespace {

TEST(SweepText, SeventeenDigitsAsPrintfWritesThem)
{
    std::mt19937_64 rng(3);
    std::vector<double> values{0, -0.0, 1, -1, 0.1, 1e-5, 1e-4, 123456789012345678.0, 1e16, 1e17, 5e-324,
                               1.7976931348623157e308, -360.00000000000006, 0.3};
    for (int i = 0; i < 20000; ++i) {
        double v;
        const std::uint64_t bits = rng();
        std::memcpy(&v, &bits, sizeof v);
        if (std::isfinite(v))
            values.push_back(v);
        values.push_back(std::ldexp(double(rng() % 1000000) - 500000, int(rng() % 80) - 40));
    }
    for (double v : values) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.17g", v);
        std::string actual;
        appendG17(actual, v);
        ASSERT_EQ(actual, expected);
    }
}

TEST(SweepOptions, CommandLines)
{
    const struct {
        std::vector<const char*> args;
        bool accepted;
    } cases[] = {
        {{"f.cir"}, true},
        {{"f.cir", "--at", "7"}, true},
        {{"f.cir", "--at", "7", "--delay"}, true},
        {{"f.cir", "--start", "1", "--stop", "2", "--delay"}, true},
        {{"f.cir", "--measure", "--stop", "2", "--start", "1"}, true},
        {{"f.cir", "--touchstone", "--out", "x.s2p"}, true},
        {{}, false},
        {{"f.cir", "--start", "1"}, false},
        {{"f.cir", "--at", "7", "--start", "1", "--stop", "2"}, false},
        {{"f.cir", "--at", "7", "--measure"}, false},
        {{"f.cir", "--delay", "--measure"}, false},
        {{"f.cir", "--delay", "--delay"}, false},
        {{"f.cir", "--out", "x"}, false},
        {{"f.cir", "--at"}, false},
        {{"f.cir", "--bogus"}, false},
    };
    for (const auto& c : cases) {
        std::vector<const char*> argv{"sorvel-sweep"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        EXPECT_EQ(parseSweepOptions(int(argv.size()), argv.data()).has_value(), c.accepted) << argv.size();
    }
    const char* bad[] = {"sorvel-sweep", "f.cir", "--start", "1,5", "--stop", "2"};
    EXPECT_THROW(parseSweepOptions(6, bad), ConvertError);
}

std::string run(const std::string& file, std::vector<const char*> extra)
{
    std::vector<const char*> argv{"sorvel-sweep", file.c_str()};
    argv.insert(argv.end(), extra.begin(), extra.end());
    const auto o = parseSweepOptions(int(argv.size()), argv.data());
    EXPECT_TRUE(o);
    return runSweep(*o);
}

TEST(SweepOptions, RangesDelayAndReadouts)
{
    circuittest::TempDir dir;
    const std::string file = dir.file("default.cir");
    circuittest::writeBytes(file, circuittest::crlf(circuittest::defaultCircuitLines()));

    // Another range gives the CSV of a file with that range.
    Model shifted = Model::startup();
    shifted.startfreq = 5;
    shifted.stopfreq = 9;
    EXPECT_EQ(run(file, {"--start", "5", "--stop", "9"}), sweepCsv(shifted));

    // --delay adds a last column: the two-port's delay at that frequency.
    const std::string csv = run(file, {"--start", "5", "--stop", "9", "--delay"});
    std::istringstream in(csv);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "frequency,s21_db,s11_db,group_delay_s");
    int rows = 0;
    while (std::getline(in, line)) {
        const auto last = line.rfind(',');
        const double f = std::stod(line.substr(0, line.find(',')));
        EXPECT_EQ(std::stod(line.substr(last + 1)), solveTwoPort(shifted, f).delay);
        EXPECT_EQ(line.substr(0, last) + "\n", pointCsv(shifted, f).substr(24));
        ++rows;
    }
    EXPECT_EQ(rows, 1000);

    // --measure: every readout in order, with its unit.
    std::istringstream measured(run(file, {"--measure"}));
    std::vector<std::string> names, units;
    while (std::getline(measured, line)) {
        names.push_back(line.substr(0, line.find(',')));
        units.push_back(line.substr(line.rfind(',') + 1));
    }
    const std::vector<std::string> expected{
        "peak_freq", "insertion_loss_db", "low_3", "high_3", "bw_3", "low_6", "high_6", "bw_6",
        "low_20", "high_20", "bw_20", "low_40", "high_40", "bw_40", "low_60", "high_60", "bw_60",
        "centre_3", "shape_60_6", "ripple_db", "return_loss_db", "delay_centre_s", "delay_min_s",
        "delay_max_s"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(units.front(), "MHz");
    EXPECT_EQ(units[18], "1");
    EXPECT_EQ(units.back(), "s");
}

TEST(SweepOptions, NoInfiniteOrNanNumberIsPrinted)
{
    circuittest::TempDir dir;
    auto file = [&](const std::string& rs, const std::string& rl, const std::string& start, const std::string& stop) {
        const std::string name = dir.file("c" + rs + start + ".cir");
        circuittest::writeBytes(name, circuittest::crlf({"0", "250", rs, rl, "0", start, stop, "3", "2", "100", "10"}));
        return name;
    };
    const struct {
        std::string file;
        std::vector<const char*> extra;
        const char* message;
    } cases[] = {
        {file("1e200", "1e-200", "0", "30"), {}, "Floating point overflow"},
        {file("1e200", "1e-200", "0", "30"), {"--measure"}, "Floating point overflow"},
        {file("50", "50", "-1e308", "1e308"), {}, "Floating point overflow"},
        {file("50", "50", "1.797e308", "30"), {"--delay"}, "Floating point overflow"},
        {file("50", "50", "0", "30"), {"--start", "-1e308", "--stop", "1e308", "--measure"}, "Floating point overflow"},
    };
    for (const auto& c : cases) {
        std::string message;
        try {
            run(c.file, c.extra);
        } catch (const AppError& e) {
            message = e.what();
        }
        EXPECT_EQ(message, c.message);
    }
}

}  // namespace
