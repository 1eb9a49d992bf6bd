#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <tuple>

#include "circuit_test_support.h"
#include "circuitfile.h"
#include "errors.h"
#include "numtext.h"

namespace {

using namespace circuittest;
namespace fs = std::filesystem;

// The start-up model on the start-up sweep, as after the first plot.
Model defaultCircuit()
{
    Model m = Model::startup();
    m.startfreq = 0;
    m.stopfreq = 30;
    m.tablestep = 3;
    m.freqperdiv = 2;
    m.bottomdb = -100;
    m.dbperdiv = 10;
    return m;
}

const std::string kDefaultFile = crlf(defaultCircuitLines());

// Kind, code, connection and value of entries 1..n.
void expectParts(const Model& m, const std::vector<std::tuple<std::string, int, std::string, double>>& parts)
{
    for (size_t i = 0; i < parts.size(); ++i) {
        SCOPED_TRACE(i + 1);
        const Part& p = m.part(static_cast<int>(i) + 1);
        EXPECT_EQ(p.partkind, std::get<0>(parts[i]));
        EXPECT_EQ(p.partcode, std::get<1>(parts[i]));
        EXPECT_EQ(p.partconn, std::get<2>(parts[i]));
        EXPECT_EQ(p.partvalue, std::get<3>(parts[i]));
    }
}

void expectNeutralFrom(const Model& m, int first)
{
    for (int n = first; n <= kMaxParts; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(m.part(n).partcode, kNoPart);
        EXPECT_EQ(m.part(n).partconn, "ser");
        EXPECT_EQ(m.part(n).partvalue, 0);
    }
}

// The header lines of an LC file with the start-up sweep, for `count` records.
std::vector<std::string> lcHeader(const std::string& count)
{
    return {count, "250", "50", "50", "0", "0", "30", "3", "2", "100", "10"};
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(WriteLadder, WritesTheDefaultCircuitLineByLine)
{
    EXPECT_EQ(circuitText(defaultCircuit()), kDefaultFile);

    TempDir dir;
    Model m = defaultCircuit();
    m.circuitfile = dir.file("startfile.cir");
    writeladder(m);
    EXPECT_EQ(readBytes(m.circuitfile), kDefaultFile);
}

TEST(WriteLadder, WritesTheCrystalBlockAndTheMagnitudeOfTheBottom)
{
    Model m = defaultCircuit();
    m.partcount = 1;
    m.crystalflag = 1;
    m.xtalfreq = 8.867238;
    m.xtallm = 0.0702;
    m.xtalcp = 3.2;
    m.xtalqx = 85000;
    m.startfreq = -3000;
    m.stopfreq = 3000.123456;
    m.bottomdb = -60;
    m.setKind(1, "xtl");
    m.part(1).partconn = "ser";
    m.part(1).partvalue = -150.5;
    EXPECT_EQ(circuitText(m), crlf({"1", "250.00", "50.00", "50.00", "1", "8.867238", "0.070200",
                                    "3.200000", "85000.00", "-3000.00000", "3000.12346",
                                    "3.00000", "2.00000", "60.00000", "10.00000", "xtl", "ser",
                                    "-150.50000"}));
}

TEST(ReadLadder, ReadsTheDefaultFileWithItsEffectsInOrder)
{
    TempDir dir;
    Model m = Model::startup();
    m.tunepending = true;
    m.tuneup = false;
    LoggingWindow w;
    // At the memo clear the tune flags are already reset and the table not yet.
    bool flagsResetFirst = false, tableStillThere = false;
    w.onMemoClear = [&] {
        flagsResetFirst = !m.tunepending && m.tuneup;
        tableStillThere = m.part(1).partkind == "cap";
    };
    ASSERT_EQ(readText(m, w, dir, kDefaultFile), std::nullopt);

    EXPECT_TRUE(flagsResetFirst);
    EXPECT_TRUE(tableStillThere);
    EXPECT_EQ(w.log, (std::vector<std::string>{
                         "rect 50,40 450,340", "memo clear Memo2", "text Edit2=0.00",
                         "text Edit3=30.00", "text Edit7=-100.00", "text Edit8=10.00",
                         "text Edit9=2.00", "text Edit14=MHz"}));
    const Model expected = defaultCircuit();
    EXPECT_EQ(circuitText(m), circuitText(expected));
    expectParts(m, {{"cap", 1, "par", 248}, {"cap", 1, "ser", 50}, {"ind", 2, "par", 1500},
                    {"cap", 1, "par", 292}, {"cap", 1, "ser", 4.3}, {"dul", 12, "par", 3},
                    {"duc", 11, "par", 4}, {"cap", 1, "ser", 50}, {"cap", 1, "par", 248},
                    {"rlb", 6, "ser", 0}});
    expectNeutralFrom(m, 11);
    EXPECT_EQ(m.freqstep, 30 * 0.001);
    EXPECT_EQ(m.tablestep, 3);
    EXPECT_EQ(m.origstart, 0);
    EXPECT_EQ(m.origstop, 30);
    EXPECT_EQ(m.origbottom, -100);
    EXPECT_EQ(m.origdbperdiv, 10);
    EXPECT_EQ(m.origfreqperdiv, 2);
}

TEST(ReadLadder, ReadsAFileOfTheDesignerWithItsRlbAloneAtTheEnd)
{
    // General (15) texts of single-precision values, "100" for the Q, "60" and "10".
    const std::string file = crlf({"4", "100", "212.345001525879", "212.345001525879", "1",
                                   "8.86723804473877", "0.0702000036835671", "3.20000004768372",
                                   "85000", "-3000", "3000", "6", "500", "60", "10", "cap",
                                   "par", "1.50000001034612E-5", "xtl", "ser", "0", "xtl",
                                   "ser", "-97.5", "rlb"});
    TempDir dir;
    Model m = Model::startup();
    LoggingWindow w;
    ASSERT_EQ(readText(m, w, dir, file), std::nullopt);
    EXPECT_EQ(m.partcount, 4);
    EXPECT_EQ(m.crystalflag, 1);
    EXPECT_EQ(m.frequnit, "Hz");
    EXPECT_EQ(m.inductorq, 100);
    EXPECT_EQ(m.xtalfreq, 8.86723804473877);
    EXPECT_EQ(m.xtalqx, 85000);
    EXPECT_EQ(m.bottomdb, -60);
    expectParts(m, {{"cap", 1, "par", 1.50000001034612E-5}, {"xtl", 14, "ser", 0},
                    {"xtl", 14, "ser", -97.5}, {"rlb", 6, "ser", 0}});
    EXPECT_EQ(w.text("Edit2"), "-3000.00");
    EXPECT_EQ(w.text("Edit14"), "Hz");
}

TEST(ReadLadder, ReadsLfLineEndsAsCrLf)
{
    std::string lf = kDefaultFile;
    for (size_t at; (at = lf.find("\r\n")) != std::string::npos;)
        lf.erase(at, 1);
    TempDir dir;
    Model a = Model::startup(), b = Model::startup();
    LoggingWindow wa, wb;
    ASSERT_EQ(readText(a, wa, dir, kDefaultFile), std::nullopt);
    ASSERT_EQ(readText(b, wb, dir, lf), std::nullopt);
    EXPECT_EQ(circuitText(a), circuitText(b));
    EXPECT_EQ(wa.log, wb.log);
}

TEST(ReadLadder, RecordEdgeCases)
{
    const std::string file = crlf(lcHeader("9") + std::vector<std::string>{
        "cap", "SER", "1",            // upper case connections are folded
        "ind", "PAR", "2",
        "res", "Ser", "3",            // any other spelling is kept
        "cap ", "CAP",                // no kind: two neutral entries, nothing else consumed
        "wir", "par", "not a number", // a wire's lines are not looked at
        "dur", "x", " -4.9e0 ",
        "rlb",                        // kind line alone
        "xtl", "ser", "1"});
    TempDir dir;
    Model m = Model::startup();
    LoggingWindow w;
    ASSERT_EQ(readText(m, w, dir, file), std::nullopt);
    expectParts(m, {{"cap", 1, "ser", 1}, {"ind", 2, "par", 2}, {"res", 3, "Ser", 3},
                    {"wir", 0, "ser", 0}, {"wir", 0, "ser", 0}, {"wir", 15, "ser", 0},
                    {"dur", 13, "x", -4.9}, {"rlb", 6, "ser", 0}, {"xtl", 14, "ser", 1}});
    expectNeutralFrom(m, 10);
}

TEST(ReadLadder, SweepEdgeCases)
{
    const struct {
        std::vector<std::string> lines;
        double tablestep, bottomdb, origstart;
        std::string edit2, edit7, frequnit;
    } cases[] = {
        // A zero table step becomes a tenth of the span.
        {{"0", "250", "50", "50", "0", "0", "30", "0", "2", "100", "10"}, 3, -100, 0, "0.00", "-100.00", "MHz"},
        // S5 is a magnitude either way.
        {{"0", "250", "50", "50", "0", "0", "30", "1", "2", "-100", "10"}, 1, -100, 0, "0.00", "-100.00", "MHz"},
        // The field shows fixed (6, 2); the original sweep keeps the value read.
        {{"0", "250", "50", "50", "0", "0.123", "30", "1", "2", "80", "10"}, 1, -80, 0.123, "0.12", "-80.00", "MHz"},
        // Only a 1 on line 5 brings the crystal block.
        {{"0", "250", "50", "50", "2", "5", "30", "1", "2", "80", "10"}, 1, -80, 5, "5.00", "-80.00", "MHz"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines[5]);
        TempDir dir;
        Model m = Model::startup();
        LoggingWindow w;
        ASSERT_EQ(readText(m, w, dir, crlf(c.lines)), std::nullopt);
        EXPECT_EQ(m.tablestep, c.tablestep);
        EXPECT_EQ(m.bottomdb, c.bottomdb);
        EXPECT_EQ(m.origbottom, c.bottomdb);
        EXPECT_EQ(m.origstart, c.origstart);
        EXPECT_EQ(m.startfreq, c.origstart);
        EXPECT_EQ(w.text("Edit2"), c.edit2);
        EXPECT_EQ(w.text("Edit7"), c.edit7);
        EXPECT_EQ(m.frequnit, c.frequnit);
    }
}

TEST(ReadLadder, ReadsOnlyTheCountedRecords)
{
    std::vector<std::string> lines = lcHeader("3");
    for (int i = 1; i <= 10; ++i)
        lines = lines + std::vector<std::string>{"res", "ser", std::to_string(i)};
    TempDir dir;
    Model m = Model::startup();
    LoggingWindow w;
    ASSERT_EQ(readText(m, w, dir, crlf(lines)), std::nullopt);
    EXPECT_EQ(m.partcount, 3);
    expectParts(m, {{"res", 3, "ser", 1}, {"res", 3, "ser", 2}, {"res", 3, "ser", 3}});
    expectNeutralFrom(m, 4);
}

TEST(ReadLadder, KeepsTheCrystalBlockWhenAnLcFileFollows)
{
    TempDir dir;
    Model m = Model::startup();
    LoggingWindow w;
    ASSERT_EQ(readText(m, w, dir, crlf({"0", "100", "50", "50", "1", "10", "0.01", "3", "90000",
                                        "-500", "500", "0", "100", "60", "10"})),
              std::nullopt);
    EXPECT_EQ(m.frequnit, "Hz");
    ASSERT_EQ(readText(m, w, dir, kDefaultFile), std::nullopt);
    EXPECT_EQ(m.crystalflag, 0);
    EXPECT_EQ(m.frequnit, "MHz");
    EXPECT_EQ(m.xtalfreq, 10);
    EXPECT_EQ(m.xtallm, 0.01);
    EXPECT_EQ(m.xtalcp, 3);
    EXPECT_EQ(m.xtalqx, 90000);
}

TEST(ReadLadder, KeepsTheFirst255CharactersOfALine)
{
    const std::string longConn(300, 'p');
    const std::string file = crlf(lcHeader("2") + std::vector<std::string>{
        "cap", longConn, "1" + std::string(400, ' '),
        "cap", std::string(254, 'q') + "\r", "2"});  // a CR inside the kept part stays
    TempDir dir;
    Model m = Model::startup();
    LoggingWindow w;
    ASSERT_EQ(readText(m, w, dir, file), std::nullopt);
    EXPECT_EQ(m.part(1).partconn, std::string(255, 'p'));
    EXPECT_EQ(m.part(1).partvalue, 1);
    EXPECT_EQ(m.part(2).partconn, std::string(254, 'q') + "\r");
    EXPECT_EQ(m.part(2).partvalue, 2);
}

// What stays after a failed read: the message, the part count, entry 1, and which
// scale fields were written before the failure.
TEST(ReadLadder, FailuresLeaveTheModelAsFarAsTheReadGot)
{
    const std::vector<std::string> allFields{"Edit2", "Edit3", "Edit7", "Edit8", "Edit9", "Edit14"};
    const struct {
        const char* what;
        std::vector<std::string> lines;
        std::string message;
        int partcount;
        double inductorq;
        std::tuple<std::string, int, std::string, double> entry1;
        bool fieldsWritten;
    } cases[] = {
        {"count not an integer", {"1.0"}, "'1.0' is not a valid integer value", 10, 250, {"wir", 0, "ser", 0}, false},
        {"count above the table", {"81", "33"}, "The circuit has 81 parts; the limit is 80.", 10, 250, {"wir", 0, "ser", 0}, false},
        {"count far above the table", {"2147483647"}, "The circuit has 2147483647 parts; the limit is 80.", 10, 250, {"wir", 0, "ser", 0}, false},
        {"count beyond 32 bits", {"2147483648"}, "'2147483648' is not a valid integer value", 10, 250, {"wir", 0, "ser", 0}, false},
        {"Q overflows a double", {"5", "1e400"}, "'1e400' is not a valid floating point value", 5, 250, {"wir", 0, "ser", 0}, false},
        {"Q names no number", {"5", "inf"}, "'inf' is not a valid floating point value", 5, 250, {"wir", 0, "ser", 0}, false},
        {"tab in a number", {"5", "\t3"}, "'\t3' is not a valid floating point value", 5, 250, {"wir", 0, "ser", 0}, false},
        {"file ends in the sweep", {"5", "33", "50", "50", "0", "0", "30", "3", "2", "100"}, "'' is not a valid floating point value", 5, 33, {"wir", 0, "ser", 0}, false},
        {"crystal flag not an integer", {"5", "33", "50", "50", "1.0"}, "'1.0' is not a valid integer value", 5, 33, {"wir", 0, "ser", 0}, false},
        {"bad value line", lcHeader("2") + std::vector<std::string>{"cap", "par", "2,5", "cap", "ser", "1"}, "'2,5' is not a valid floating point value", 2, 250, {"cap", 1, "par", 0}, true},
        {"file ends in a record", lcHeader("2") + std::vector<std::string>{"ind", "ser"}, "'' is not a valid floating point value", 2, 250, {"ind", 2, "ser", 0}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        Model m = Model::startup();
        LoggingWindow w;
        EXPECT_EQ(readText(m, w, dir, crlf(c.lines)), c.message);
        EXPECT_EQ(m.partcount, c.partcount);
        EXPECT_EQ(m.inductorq, c.inductorq);
        expectParts(m, {c.entry1});
        expectNeutralFrom(m, 2);
        EXPECT_EQ(w.fieldsWritten(), c.fieldsWritten ? allFields : std::vector<std::string>{});
    }
}

TEST(ReadLadder, SweepReadSoFarStaysWhenTheBottomFails)
{
    TempDir dir;
    Model m = Model::startup();
    LoggingWindow w;
    EXPECT_EQ(readText(m, w, dir, crlf({"0", "250", "50", "50", "0", "1", "21", "0.5", "4", "x"})),
              "'x' is not a valid floating point value");
    EXPECT_EQ(m.startfreq, 1);
    EXPECT_EQ(m.stopfreq, 21);
    EXPECT_EQ(m.tablestep, 0.5);
    EXPECT_EQ(m.freqperdiv, 4);
    EXPECT_EQ(m.bottomdb, -100);  // not yet read
    EXPECT_EQ(m.origstart, 0);    // set only after the whole sweep
    EXPECT_TRUE(w.fieldsWritten().empty());
}

TEST(ReadLadder, FileCutBetweenRecordsReadsWithoutMessage)
{
    TempDir dir;
    Model m = Model::startup();
    LoggingWindow w;
    ASSERT_EQ(readText(m, w, dir, crlf(lcHeader("5") + std::vector<std::string>{"res", "ser", "7"})),
              std::nullopt);
    EXPECT_EQ(m.partcount, 5);
    expectParts(m, {{"res", 3, "ser", 7}});
    expectNeutralFrom(m, 2);
}

TEST(ReadLadder, MissingFileLeavesANeutralTableAndTheOldCount)
{
    TempDir dir;
    Model m = Model::startup();
    m.circuitfile = dir.file("missing.cir");
    LoggingWindow w;
    try {
        readladder(m, w);
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
    EXPECT_EQ(w.log, (std::vector<std::string>{"rect 50,40 450,340", "memo clear Memo2"}));
    EXPECT_EQ(m.partcount, 10);
    expectNeutralFrom(m, 1);

    // A name that is not a readable file gives the platform's text.
    m.circuitfile = dir.path().string();
    EXPECT_THROW(
        try { readladder(m, w); } catch (const FileError& e) {
            EXPECT_STREQ(e.what(), std::strerror(EISDIR));
            throw;
        },
        FileError);
}

TEST(ReadLadder, NonPositiveCountGivesNoParts)
{
    TempDir dir;
    Model m = Model::startup();
    LoggingWindow w;
    ASSERT_EQ(readText(m, w, dir, crlf(lcHeader("-3") + std::vector<std::string>{"cap", "ser", "1"})),
              std::nullopt);
    EXPECT_EQ(m.partcount, -3);
    expectNeutralFrom(m, 1);
    EXPECT_EQ(circuitText(m).substr(0, 4), "-3\r\n");
}

TEST(CircuitFileRoundTrip, SavedFilesReadBackAsWritten)
{
    Model crystal = defaultCircuit();
    crystal.crystalflag = 1;
    crystal.frequnit = "Hz";
    crystal.xtalfreq = 4.9152;
    crystal.xtallm = 0.1;
    crystal.xtalcp = 4;
    crystal.xtalqx = 100000;
    crystal.partcount = 5;
    const char* kinds[] = {"cap", "xtl", "cap", "xtl", "rlb"};
    const char* conns[] = {"par", "ser", "par", "ser", "ser"};
    const double values[] = {40, 0, 90, -120, 0};
    for (int n = 1; n <= 5; ++n) {
        crystal.setKind(n, kinds[n - 1]);
        crystal.part(n).partconn = conns[n - 1];
        crystal.part(n).partvalue = values[n - 1];
    }

    // An rlb in the middle: the S11 point of a partial ladder.
    Model rlbInside = defaultCircuit();
    rlbInside.part(5) = rlbInside.part(10);
    rlbInside.setKind(10, "cap");
    rlbInside.part(10).partconn = "ser";
    rlbInside.part(10).partvalue = 12.5;

    // A read that stopped early leaves "wir" entries of code 0 in the count.
    Model neutral = defaultCircuit();
    neutral.resetBeforeRead();
    neutral.startfreq = 1;
    neutral.stopfreq = 2;

    // Full table with two rlb records, one last.
    Model full = defaultCircuit();
    full.partcount = kMaxParts;
    for (int n = 1; n <= kMaxParts; ++n) {
        full.setKind(n, n % 7 == 0 || n == kMaxParts ? "rlb" : n % 2 ? "cap" : "ind");
        full.part(n).partconn = full.part(n).partcode == kRlb ? "ser" : n % 3 ? "par" : "ser";
        full.part(n).partvalue = full.part(n).partcode == kRlb ? 0 : n * 1.25;
    }

    const struct {
        const char* what;
        Model model;
    } cases[] = {{"default", defaultCircuit()}, {"crystal", crystal}, {"rlb inside", rlbInside},
                 {"neutral", neutral}, {"full", full}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        Model saved = c.model;
        saved.circuitfile = dir.file("saved.cir");
        writeladder(saved);
        Model back = Model::startup();
        back.circuitfile = saved.circuitfile;
        LoggingWindow w;
        ASSERT_NO_THROW(readladder(back, w));
        EXPECT_EQ(circuitText(back), readBytes(saved.circuitfile));
        EXPECT_EQ(back.partcount, saved.partcount);
        for (int n = 1; n <= saved.partcount; ++n) {
            SCOPED_TRACE(n);
            EXPECT_EQ(back.part(n).partkind, saved.part(n).partkind);
            EXPECT_EQ(back.part(n).partconn, saved.part(n).partconn);
            EXPECT_EQ(back.part(n).partvalue, saved.part(n).partvalue);
        }
    }
}

TEST(CircuitFileRoundTrip, RlbInsideIsWrittenAsItsKindLineAlone)
{
    Model m = defaultCircuit();
    m.partcount = 3;
    m.setKind(1, "res");
    m.part(1).partconn = "ser";
    m.part(1).partvalue = 50;
    for (int n : {2, 3}) {
        m.setKind(n, "rlb");
        m.part(n).partconn = "ser";
        m.part(n).partvalue = 0;
    }
    const std::string text = circuitText(m);
    EXPECT_EQ(text.substr(text.find("res\r\n")),
              crlf({"res", "ser", "50.00000", "rlb", "rlb", "ser", "0.00000"}));
}

TEST(WriteLadder, UsesAFileNameLongerThan255CharactersWhole)
{
    TempDir dir;
    const fs::path deep = dir.path() / std::string(150, 'd') / std::string(150, 'e');
    fs::create_directories(deep);
    Model m = defaultCircuit();
    m.circuitfile = (deep / "circuit.cir").string();
    ASSERT_GT(m.circuitfile.size(), 300u);
    writeladder(m);
    EXPECT_EQ(readBytes(m.circuitfile), kDefaultFile);
    LoggingWindow w;
    Model back = Model::startup();
    back.circuitfile = m.circuitfile;
    ASSERT_NO_THROW(readladder(back, w));
    EXPECT_EQ(back.part(5).partvalue, 4.3);
}

TEST(WriteLadder, ReplacesTheOldFileAndLeavesNoTemporaryBehind)
{
    TempDir dir;
    Model m = defaultCircuit();
    m.circuitfile = dir.file("c.cir");
    writeBytes(m.circuitfile, "old\r\n");
    fs::permissions(m.circuitfile, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    writeladder(m);
    EXPECT_EQ(readBytes(m.circuitfile), kDefaultFile);
    EXPECT_EQ(fs::status(m.circuitfile).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);

    // Saving through a link writes the file it points to and keeps the link.
    fs::create_symlink("c.cir", dir.file("link.cir"));
    m.partcount = 1;
    m.circuitfile = dir.file("link.cir");
    writeladder(m);
    EXPECT_TRUE(fs::is_symlink(dir.file("link.cir")));
    EXPECT_EQ(readBytes(dir.file("c.cir")).substr(0, 3), "1\r\n");
}

TEST(WriteLadder, FailuresKeepTheOldFile)
{
    TempDir dir;
    Model m = defaultCircuit();

    m.circuitfile = dir.file("no/such/dir/c.cir");
    try {
        writeladder(m);
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_STREQ(e.what(), "File not found");
    }

    // A directory of that name cannot be replaced by the file.
    fs::create_directory(dir.file("taken.cir"));
    m.circuitfile = dir.file("taken.cir");
    EXPECT_THROW(writeladder(m), FileError);
    EXPECT_TRUE(fs::is_directory(m.circuitfile));

    // The disk fills up half way: the write fails with the platform's text.
    m.circuitfile = dir.file("c.cir");
    writeBytes(m.circuitfile, "old\r\n");
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 64;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    std::string message;
    try {
        writeladder(m);
    } catch (const FileError& e) {
        message = e.what();
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(message, std::strerror(EFBIG));
    EXPECT_EQ(readBytes(m.circuitfile), "old\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

}  // namespace
