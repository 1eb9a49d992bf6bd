#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <sstream>

#include "tests/support/circuit_files.h"
#include "common/errors.h"
#include "common/numtext.h"
#include "analyser/sweep/sweep_command.h"
#include "ladder/circuit_file.h"
#include "ladder/engine.h"
#include "ladder/step/step_response.h"
#include "ladder/twoport.h"

namespace {

TEST(SweepCsv, ListsThePlotsThousandFrequencies)
{
    // From 0.12 the plot's first point, (0.12 - step) + step, is not 0.12 itself.
    Circuit m = Circuit::startup();
    m.startfreq = 0.12;
    m.stopfreq = 3000;
    const double step = (m.stopfreq - m.startfreq) * 0.001;
    const std::string csv = sweepCsv(m);
    std::istringstream in(csv);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "frequency,s21_db,s11_db");
    double f = m.startfreq - step;
    int rows = 0;
    while (std::getline(in, line)) {
        double freq, s21, s11;
        char c1, c2;
        std::istringstream row(line);
        ASSERT_TRUE(row >> freq >> c1 >> s21 >> c2 >> s11) << line;
        f += step;
        EXPECT_EQ(freq, f);  // 17 digits give the double back exactly
        const Solution s = solveLadder(m, f);
        EXPECT_EQ(s21, s.s21db);
        EXPECT_EQ(s11, s.s11db);
        ++rows;
    }
    EXPECT_EQ(rows, 1000);

    const std::string one = pointCsv(Circuit::startup(), 7);
    EXPECT_EQ(one.substr(0, one.find('\n')), "frequency,s21_db,s11_db");
    EXPECT_EQ(one.substr(one.find('\n') + 1, 2), "7,");
    EXPECT_EQ(std::count(one.begin(), one.end(), '\n'), 2);
}

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
        {{"f.cir", "--monte-carlo", "10"}, true},
        {{"f.cir", "--monte-carlo", "10", "--xtal-sigma", "30", "--cap-tol", "2", "--ind-tol", "5", "--seed", "9",
          "--envelope", "--start", "-900", "--stop", "900"},
         true},
        {{"f.cir", "--xtal-spread", "30", "--monte-carlo", "10"}, true},
        {{"f.cir", "--monte-carlo", "10", "--xtal-sigma", "30", "--xtal-spread", "30"}, false},
        {{"f.cir", "--monte-carlo", "10", "--xtal-sigma", "30", "--xtal-sigma", "30"}, false},
        {{"f.cir", "--monte-carlo", "10", "--measure"}, false},
        {{"f.cir", "--monte-carlo", "10", "--at", "3"}, false},
        {{"f.cir", "--monte-carlo", "10", "--delay"}, false},
        {{"f.cir", "--monte-carlo", "10", "--monte-carlo", "10"}, false},
        {{"f.cir", "--cap-tol", "2"}, false},
        {{"f.cir", "--envelope"}, false},
        {{"f.cir", "--seed", "3"}, false},
        {{"f.cir", "--monte-carlo"}, false},
        {{"f.cir", "--step"}, true},
        {{"f.cir", "--measure", "--step"}, true},
        {{"f.cir", "--step", "--step"}, false},
        {{"f.cir", "--step", "--delay"}, false},
        {{"f.cir", "--step", "--touchstone"}, false},
        {{"f.cir", "--step", "--at", "7"}, false},
        {{"f.cir", "--step", "--start", "1", "--stop", "2"}, false},
        {{"f.cir", "--step", "--monte-carlo", "10"}, false},
    };
    for (const auto& c : cases) {
        std::vector<const char*> argv{"sorvel-sweep"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        EXPECT_EQ(parseSweepOptions(int(argv.size()), argv.data()).has_value(), c.accepted) << argv.size();
    }
    const char* bad[] = {"sorvel-sweep", "f.cir", "--start", "1,5", "--stop", "2"};
    EXPECT_THROW(parseSweepOptions(6, bad), ConvertError);

    const struct {
        const char* option;
        const char* value;
        const char* message;
    } badValues[] = {
        {"--monte-carlo", "1e3", "'1e3' is not a valid integer value"},
        {"--xtal-sigma", "3,5", "'3,5' is not a valid floating point value"},
        {"--seed", "-1", "'-1' is not a valid seed: give a whole number from 0 to 18446744073709551615"},
        {"--seed", "18446744073709551616",
         "'18446744073709551616' is not a valid seed: give a whole number from 0 to 18446744073709551615"},
    };
    for (const auto& c : badValues) {
        const char* argv[] = {"sorvel-sweep", "f.cir", "--monte-carlo", "5", c.option, c.value};
        const int argc = std::strcmp(c.option, "--monte-carlo") == 0 ? 4 : 6;
        const char* first[] = {"sorvel-sweep", "f.cir", c.option, c.value};
        try {
            parseSweepOptions(argc, argc == 4 ? first : argv);
            ADD_FAILURE() << c.value;
        } catch (const ConvertError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
    const char* largest[] = {"sorvel-sweep", "f.cir", "--monte-carlo", "5", "--seed", "18446744073709551615"};
    EXPECT_EQ(parseSweepOptions(6, largest)->seed, UINT64_MAX);
}

std::string run(const std::string& file, std::vector<const char*> extra, std::string* notes = nullptr)
{
    std::vector<const char*> argv{"sorvel-sweep", file.c_str()};
    argv.insert(argv.end(), extra.begin(), extra.end());
    const auto o = parseSweepOptions(int(argv.size()), argv.data());
    EXPECT_TRUE(o);
    return runSweep(*o, notes);
}

TEST(SweepOptions, RangesDelayAndReadouts)
{
    circuittest::TempDir dir;
    const std::string file = dir.file("default.cir");
    circuittest::writeBytes(file, circuittest::crlf(circuittest::defaultCircuitLines()));

    // Another range gives the CSV of a file with that range.
    Circuit shifted = Circuit::startup();
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

TEST(SweepOptions, StepAndItsReadouts)
{
    circuittest::TempDir dir;
    const std::string file = dir.file("default.cir");
    circuittest::writeBytes(file, circuittest::crlf(circuittest::defaultCircuitLines()));

    std::istringstream csv(run(file, {"--step"}));
    std::string line;
    std::getline(csv, line);
    EXPECT_EQ(line, "time_s,step");
    std::vector<double> t, v;
    while (std::getline(csv, line)) {
        t.push_back(std::stod(line.substr(0, line.find(','))));
        v.push_back(std::stod(line.substr(line.find(',') + 1)));
    }
    ASSERT_GE(t.size(), 500u);
    EXPECT_EQ(t.front(), 0);
    // The lines are the library's, printed with 17 digits.
    const StepResponse s = stepResponse(readCircuitFile(file));
    ASSERT_EQ(t.size(), s.time.size());
    EXPECT_EQ(t[123], s.time[123]);
    EXPECT_EQ(v[321], s.value[321]);

    std::istringstream measured(run(file, {"--step", "--measure"}));
    std::vector<std::string> names;
    while (std::getline(measured, line))
        names.push_back(line.substr(0, line.find(',')) + " " + line.substr(line.rfind(',') + 1));
    EXPECT_EQ(names, (std::vector<std::string>{"step_delay_s s", "rise_s s", "overshoot_pct %", "settle_s s"}));
    // The settling ends inside what --step printed, a fifth before its end.
    const StepReadouts r = stepReadouts(s);
    EXPECT_NEAR(t.back(), 1.2 * r.settle, 2 * (t[1] - t[0]));

    EXPECT_THROW(run(dir.file("missing.cir"), {"--step"}), FileError);
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

TEST(SweepOptions, MonteCarlo)
{
    circuittest::TempDir dir;
    // Three crystals between shunt capacitors, 9 MHz, swept 1.5 kHz either side.
    const std::string crystal = dir.file("crystal.cir");
    circuittest::writeBytes(crystal, circuittest::crlf({"7", "250", "200", "200", "1", "9", "0.015", "3.5",
                                                        "90000", "-1500", "1500", "300", "0", "-100", "10",
                                                        "cap", "par", "80", "xtl", "ser", "0", "cap", "par",
                                                        "120", "xtl", "ser", "40", "cap", "par", "120",
                                                        "xtl", "ser", "0", "cap", "par", "80"}));
    const std::vector<const char*> batch{"--monte-carlo", "30", "--xtal-sigma", "40", "--cap-tol", "2"};
    auto with = [&](std::vector<const char*> extra) {
        std::vector<const char*> args = batch;
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    };
    const std::string stats = run(crystal, batch);
    EXPECT_EQ(stats.substr(0, stats.find('\n')), "quantity,mean,sd,min,p5,median,p95,max");
    EXPECT_EQ(stats, run(crystal, with({"--seed", "1"})));  // 1 is the default seed
    EXPECT_NE(stats, run(crystal, with({"--seed", "2"})));
    EXPECT_NE(stats, run(crystal, {"--monte-carlo", "30", "--xtal-spread", "40", "--cap-tol", "2"}));
    const std::string envelope = run(crystal, with({"--envelope", "--seed", "5"}));
    EXPECT_EQ(envelope.substr(0, envelope.find('\n')), "frequency,min_db,p5_db,p95_db,max_db");
    EXPECT_EQ(envelope, run(crystal, with({"--seed", "5", "--envelope"})));
    EXPECT_NE(envelope.find("\n-1500,"), std::string::npos);
    EXPECT_NE(run(crystal, with({"--envelope", "--start", "-800", "--stop", "800"})).find("\n-800,"),
              std::string::npos);

    // The settings are checked against the circuit: an LC circuit has no crystals.
    const std::string lc = dir.file("default.cir");
    circuittest::writeBytes(lc, circuittest::crlf(circuittest::defaultCircuitLines()));
    std::string message;
    try {
        run(lc, {"--monte-carlo", "5", "--xtal-sigma", "10"});
    } catch (const AppError& e) {
        message = e.what();
    }
    EXPECT_EQ(message, "The circuit has no crystals to spread.");
    std::string notes = "untouched";
    EXPECT_NO_THROW(run(lc, {"--monte-carlo", "5", "--ind-tol", "10"}, &notes));
    EXPECT_EQ(notes, "");
}

}  // namespace
