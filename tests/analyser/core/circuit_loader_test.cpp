#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <tuple>

#include "tests/support/circuit_test_support.h"

namespace {

using namespace circuittest;
using Lines = std::vector<std::string>;
using Entry = std::tuple<std::string, int, std::string, double>;  // kind, code, connection, value

const std::string kDefaultFile = crlf(defaultCircuitLines());

void expectParts(const Circuit& m, const std::vector<Entry>& parts)
{
    for (size_t i = 0; i < parts.size(); ++i) {
        SCOPED_TRACE(i + 1);
        const Part& p = m.part(static_cast<int>(i) + 1);
        EXPECT_EQ(Entry(p.partkind, p.partcode, p.partconn, p.partvalue), parts[i]);
    }
}

void expectNeutralFrom(const Circuit& m, int first)
{
    for (int n = first; n <= kMaxParts; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(m.part(n).partcode, kNoPart);
        EXPECT_EQ(m.part(n).partconn, "ser");
        EXPECT_EQ(m.part(n).partvalue, 0);
    }
}

// The header lines of an LC file with the start-up sweep, then the given records.
Lines lcFile(const std::string& count, const Lines& records = {})
{
    Lines lines{count, "250", "50", "50", "0", "0", "30", "3", "2", "100", "10"};
    lines.insert(lines.end(), records.begin(), records.end());
    return lines;
}

TEST(LoadCircuitFile, ReadsTheDefaultFileWithItsEffectsInOrder)
{
    std::string lf = kDefaultFile;  // LF line ends read the same
    for (size_t at; (at = lf.find("\r\n")) != std::string::npos;)
        lf.erase(at, 1);
    for (const std::string& file : {kDefaultFile, lf}) {
        TempDir dir;
        Circuit m = Circuit::startup();
        ViewState view;
        view.tunepending = true;
        view.tuneup = false;
        FakeWindow w;
        // At the memo clear the tune flags are already reset and the table not yet.
        bool flagsFirst = false, tableThere = false;
        w.onEffect = [&](const std::string& effect) {
            if (effect == "memo clear") {
                flagsFirst = !view.tunepending && view.tuneup;
                tableThere = m.part(1).partkind == "cap";
            }
        };
        ASSERT_EQ(readText(m, view, w, dir, file), std::nullopt);
        EXPECT_TRUE(flagsFirst);
        EXPECT_TRUE(tableThere);
        EXPECT_EQ(w.log, (Lines{"rect 50,40 450,340", "memo clear", "text StartFreq=0.00",
                                "text StopFreq=30.00", "text BottomDb=-100.00", "text DbPerDiv=10.00",
                                "text FreqPerDiv=2.00", "text FreqUnit=MHz"}));
        EXPECT_EQ(circuitText(m), kDefaultFile);
        expectParts(m, {{"cap", 1, "par", 248}, {"cap", 1, "ser", 50}, {"ind", 2, "par", 1500},
                        {"cap", 1, "par", 292}, {"cap", 1, "ser", 4.3}, {"dul", 12, "par", 3},
                        {"duc", 11, "par", 4}, {"cap", 1, "ser", 50}, {"cap", 1, "par", 248},
                        {"rlb", 6, "ser", 0}});
        expectNeutralFrom(m, 11);
        EXPECT_EQ((std::vector<double>{view.origstart, view.origstop, view.origbottom, view.origdbperdiv, view.origfreqperdiv}),
                  (std::vector<double>{0, 30, -100, 10, 2}));
    }
}

TEST(LoadCircuitFile, RecordEdgeCases)
{
    const std::string file = crlf(lcFile("9", {
        "cap", "SER", "1",            // upper case connections are folded
        "ind", "PAR", "2",
        "res", "Ser", "3",            // any other spelling is kept
        "cap ", "CAP",                // no kind: two neutral entries, nothing else consumed
        "wir", "par", "not a number",  // a wire's lines are not looked at
        "dur", "x", " -4.9e0 ",
        "rlb",                        // kind line alone
        "xtl", "ser", "1",
        "res", "ser", "99"}));        // past the count: not read
    TempDir dir;
    Circuit m = Circuit::startup();
    ViewState view;
    FakeWindow w;
    ASSERT_EQ(readText(m, view, w, dir, file), std::nullopt);
    expectParts(m, {{"cap", 1, "ser", 1}, {"ind", 2, "par", 2}, {"res", 3, "Ser", 3}, {"wir", 0, "ser", 0},
                    {"wir", 0, "ser", 0}, {"wir", 15, "ser", 0}, {"dur", 13, "x", -4.9}, {"rlb", 6, "ser", 0},
                    {"xtl", 14, "ser", 1}});
    expectNeutralFrom(m, 10);
}

TEST(LoadCircuitFile, SweepEdgeCases)
{
    const struct {
        Lines lines;
        double tablestep, bottomdb, start;
        std::string startShown, bottomShown;
    } cases[] = {
        // A zero table step becomes a tenth of the span.
        {{"0", "250", "50", "50", "0", "0", "30", "0", "2", "100", "10"}, 3, -100, 0, "0.00", "-100.00"},
        // S5 is a magnitude either way.
        {{"0", "250", "50", "50", "0", "0", "30", "1", "2", "-100", "10"}, 1, -100, 0, "0.00", "-100.00"},
        // The field shows fixed (6, 2); the original sweep keeps the value read.
        {{"0", "250", "50", "50", "0", "0.123", "30", "1", "2", "80", "10"}, 1, -80, 0.123, "0.12", "-80.00"},
        // Only a 1 on line 5 brings the crystal block.
        {{"0", "250", "50", "50", "2", "5", "30", "1", "2", "80", "10"}, 1, -80, 5, "5.00", "-80.00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines[5]);
        TempDir dir;
        Circuit m = Circuit::startup();
        ViewState view;
        FakeWindow w;
        ASSERT_EQ(readText(m, view, w, dir, crlf(c.lines)), std::nullopt);
        EXPECT_EQ(m.tablestep, c.tablestep);
        EXPECT_EQ(m.bottomdb, c.bottomdb);
        EXPECT_EQ(view.origbottom, c.bottomdb);
        EXPECT_EQ(m.startfreq, c.start);
        EXPECT_EQ(view.origstart, c.start);
        EXPECT_EQ(w.text(Field::StartFreq), c.startShown);
        EXPECT_EQ(w.text(Field::BottomDb), c.bottomShown);
        EXPECT_EQ(m.frequnit, "MHz");
    }
}

// A file of the designer: general (15) texts of single-precision values, the crystal
// block, and the "rlb" record alone at the end. An LC file read next keeps the block.
TEST(LoadCircuitFile, ReadsADesignerFileAndKeepsItsCrystalBlockThroughAnLcFile)
{
    const std::string file = crlf({"3", "100", "212.345001525879", "212.345001525879", "1", "8.86723804473877",
                                   "0.0702000036835671", "3.20000004768372", "85000", "-3000", "3000", "6", "500",
                                   "60", "10", "cap", "par", "1.50000001034612E-5", "xtl", "ser", "-97.5", "rlb"});
    TempDir dir;
    Circuit m = Circuit::startup();
    ViewState view;
    FakeWindow w;
    ASSERT_EQ(readText(m, view, w, dir, file), std::nullopt);
    EXPECT_EQ(m.crystalflag, 1);
    EXPECT_EQ(m.frequnit, "Hz");
    EXPECT_EQ(m.bottomdb, -60);
    expectParts(m, {{"cap", 1, "par", 1.50000001034612E-5}, {"xtl", 14, "ser", -97.5}, {"rlb", 6, "ser", 0}});
    EXPECT_EQ(w.text(Field::StartFreq), "-3000.00");
    EXPECT_EQ(w.text(Field::FreqUnit), "Hz");

    ASSERT_EQ(readText(m, view, w, dir, kDefaultFile), std::nullopt);
    EXPECT_EQ(m.crystalflag, 0);
    EXPECT_EQ(m.frequnit, "MHz");
    EXPECT_EQ((std::vector<double>{m.xtalfreq, m.xtallm, m.xtalcp, m.xtalqx}),
              (std::vector<double>{8.86723804473877, 0.0702000036835671, 3.20000004768372, 85000}));
}

TEST(LoadCircuitFile, KeepsTheFirst255CharactersOfALine)
{
    const std::string file = crlf(lcFile("2", {"cap", std::string(300, 'p'), "1" + std::string(400, ' '),
                                               "cap", std::string(254, 'q') + "\r", "2"}));  // a kept CR stays
    TempDir dir;
    Circuit m = Circuit::startup();
    ViewState view;
    FakeWindow w;
    ASSERT_EQ(readText(m, view, w, dir, file), std::nullopt);
    expectParts(m, {{"cap", 1, std::string(255, 'p'), 1}, {"cap", 1, std::string(254, 'q') + "\r", 2}});
}

// What stays after a read that fails or stops early: the message, the part count, entry 1,
// and whether the scale fields were written.
TEST(LoadCircuitFile, FailuresLeaveTheModelAsFarAsTheReadGot)
{
    const Entry neutral{"wir", 0, "ser", 0};
    const struct {
        const char* what;
        Lines lines;
        std::optional<std::string> message;
        int partcount;
        double inductorq;
        Entry entry1;
        bool fieldsWritten;
    } cases[] = {
        {"count not an integer", {"1.0"}, "'1.0' is not a valid integer value", 10, 250, neutral, false},
        {"count above the table", {"81", "33"}, "The circuit has 81 parts; the limit is 80.", 10, 250, neutral, false},
        {"count far above the table", {"2147483647"}, "The circuit has 2147483647 parts; the limit is 80.", 10, 250, neutral, false},
        {"count beyond 32 bits", {"2147483648"}, "'2147483648' is not a valid integer value", 10, 250, neutral, false},
        {"Q overflows a double", {"5", "1e400"}, "'1e400' is not a valid floating point value", 5, 250, neutral, false},
        {"Q names no number", {"5", "inf"}, "'inf' is not a valid floating point value", 5, 250, neutral, false},
        {"tab in a number", {"5", "\t3"}, "'\t3' is not a valid floating point value", 5, 250, neutral, false},
        {"file ends in the sweep", {"5", "33", "50", "50", "0", "0", "30", "3", "2", "100"}, "'' is not a valid floating point value", 5, 33, neutral, false},
        {"crystal flag not an integer", {"5", "33", "50", "50", "1.0"}, "'1.0' is not a valid integer value", 5, 33, neutral, false},
        {"bad value line", lcFile("2", {"cap", "par", "2,5", "cap", "ser", "1"}), "'2,5' is not a valid floating point value", 2, 250, {"cap", 1, "par", 0}, true},
        {"file ends in a record", lcFile("2", {"ind", "ser"}), "'' is not a valid floating point value", 2, 250, {"ind", 2, "ser", 0}, true},
        {"file ends between records", lcFile("5", {"res", "ser", "7"}), std::nullopt, 5, 250, {"res", 3, "ser", 7}, true},
        {"no parts", lcFile("-3", {"cap", "ser", "1"}), std::nullopt, -3, 250, neutral, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        Circuit m = Circuit::startup();
        ViewState view;
        FakeWindow w;
        EXPECT_EQ(readText(m, view, w, dir, crlf(c.lines)), c.message);
        EXPECT_EQ(m.partcount, c.partcount);
        EXPECT_EQ(m.inductorq, c.inductorq);
        expectParts(m, {c.entry1});
        expectNeutralFrom(m, 2);
        EXPECT_EQ(w.written().size(), c.fieldsWritten ? 6u : 0u);
    }
}

TEST(LoadCircuitFile, SweepReadSoFarStaysWhenTheBottomFails)
{
    TempDir dir;
    Circuit m = Circuit::startup();
    ViewState view;
    FakeWindow w;
    EXPECT_EQ(readText(m, view, w, dir, crlf({"0", "250", "50", "50", "0", "1", "21", "0.5", "4", "x"})),
              "'x' is not a valid floating point value");
    EXPECT_EQ((std::vector<double>{m.startfreq, m.stopfreq, m.tablestep, m.freqperdiv}),
              (std::vector<double>{1, 21, 0.5, 4}));
    EXPECT_EQ(m.bottomdb, -100);  // not yet read
    EXPECT_EQ(view.origstart, 0);    // set only after the whole sweep
    EXPECT_TRUE(w.written().empty());
}

// The reset comes first: the circuit is gone, while the count, the crystal block, the
// sweep stay.
TEST(LoadCircuitFile, MissingFileLeavesTheResetModel)
{
    TempDir dir;
    Circuit m = Circuit::startup();
    m.crystalflag = 1;
    m.xtalfreq = 8;
    m.frequnit = "Hz";
    m.loadr = 200;
    m.sourcer = 300;
    m.inductorq = 80;
    m.startfreq = -2000;
    std::string file = dir.file("missing.cir");
    ViewState view;
    FakeWindow w;
    try {
        loadCircuitFile(file, m, view, w);
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
    EXPECT_EQ(w.log, (Lines{"rect 50,40 450,340", "memo clear"}));
    EXPECT_EQ(m.partcount, 10);
    expectNeutralFrom(m, 1);
    EXPECT_EQ(m.part(1).partkind, "wir");
    EXPECT_EQ((std::vector<double>{m.loadr, m.sourcer, m.inductorq}), (std::vector<double>{50, 50, 250}));
    EXPECT_EQ(m.crystalflag, 0);
    EXPECT_EQ(m.frequnit, "MHz");
    EXPECT_EQ(m.xtalfreq, 8);
    EXPECT_EQ(m.startfreq, -2000);

    // A name that is not a readable file gives the platform's text.
    file = dir.path().string();
    try {
        loadCircuitFile(file, m, view, w);
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_STREQ(e.what(), std::strerror(EISDIR));
    }
}

}  // namespace
