#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <tuple>

#include "circuit_test_support.h"

namespace {

using namespace circuittest;
namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using Entry = std::tuple<std::string, int, std::string, double>;  // kind, code, connection, value

// The start-up model on the start-up sweep, as after the first plot.
Model defaultCircuit()
{
    Model m = Model::startup();
    m.tablestep = 3;
    return m;
}

const std::string kDefaultFile = crlf(defaultCircuitLines());

void expectParts(const Model& m, const std::vector<Entry>& parts)
{
    for (size_t i = 0; i < parts.size(); ++i) {
        SCOPED_TRACE(i + 1);
        const Part& p = m.part(static_cast<int>(i) + 1);
        EXPECT_EQ(Entry(p.partkind, p.partcode, p.partconn, p.partvalue), parts[i]);
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

// The header lines of an LC file with the start-up sweep, then the given records.
Lines lcFile(const std::string& count, const Lines& records = {})
{
    Lines lines{count, "250", "50", "50", "0", "0", "30", "3", "2", "100", "10"};
    lines.insert(lines.end(), records.begin(), records.end());
    return lines;
}

void setPart(Model& m, int n, const char* kind, const char* conn, double value)
{
    m.setKind(n, kind);
    m.part(n).partconn = conn;
    m.part(n).partvalue = value;
}

TEST(WriteLadder, WritesEachValueInItsFormat)
{
    TempDir dir;
    Model m = defaultCircuit();
    m.circuitfile = dir.file("startfile.cir");
    writeLadder(m);
    EXPECT_EQ(readBytes(m.circuitfile), kDefaultFile);

    m.partcount = 1;
    m.crystalflag = 1;
    m.xtalfreq = 8.867238;
    m.xtallm = 0.0702;
    m.xtalcp = 3.2;
    m.xtalqx = 85000;
    m.startfreq = -3000;
    m.stopfreq = 3000.123456;
    m.bottomdb = -60;
    setPart(m, 1, "xtl", "ser", -150.5);
    EXPECT_EQ(circuitText(m), crlf({"1", "250.00", "50.00", "50.00", "1", "8.867238", "0.070200", "3.200000",
                                    "85000.00", "-3000.00000", "3000.12346", "3.00000", "2.00000", "60.00000",
                                    "10.00000", "xtl", "ser", "-150.50000"}));
}

// The reader takes an "rlb" record as its kind line alone, so only the last one may carry
// the two further lines; a crystal circuit with bridges inside reads back as written.
TEST(WriteLadder, RlbInsideIsWrittenAsItsKindLineAloneAndReadsBack)
{
    TempDir dir;
    Model m = defaultCircuit();
    m.crystalflag = 1;
    m.xtalfreq = 4.9152;
    m.xtallm = 0.1;
    m.xtalcp = 4;
    m.xtalqx = 100000;
    m.partcount = 5;
    setPart(m, 1, "res", "ser", 50);
    setPart(m, 2, "rlb", "ser", 0);
    setPart(m, 3, "rlb", "ser", 0);
    setPart(m, 4, "xtl", "par", -120);
    setPart(m, 5, "rlb", "ser", 0);
    m.circuitfile = dir.file("saved.cir");
    writeLadder(m);
    const std::string text = readBytes(m.circuitfile);
    EXPECT_EQ(text.substr(text.find("res\r\n")),
              crlf({"res", "ser", "50.00000", "rlb", "rlb", "xtl", "par", "-120.00000", "rlb", "ser", "0.00000"}));

    Model back = Model::startup();
    back.circuitfile = m.circuitfile;
    FakeWindow w;
    ASSERT_NO_THROW(readLadder(back, w));
    EXPECT_EQ(circuitText(back), text);

    // A full table: every record is written and read back.
    m.partcount = kMaxParts;
    for (int n = 6; n <= kMaxParts; ++n)
        setPart(m, n, "cap", "par", n);
    writeLadder(m);
    ASSERT_NO_THROW(readLadder(back, w));
    EXPECT_EQ(back.part(kMaxParts).partvalue, kMaxParts);
    EXPECT_EQ(circuitText(back), readBytes(m.circuitfile));
}

TEST(WriteLadder, UsesAFileNameLongerThan255CharactersWhole)
{
    TempDir dir;
    const fs::path deep = dir.path() / std::string(150, 'd') / std::string(150, 'e');
    fs::create_directories(deep);
    Model m = defaultCircuit();
    m.circuitfile = (deep / "circuit.cir").string();
    writeLadder(m);
    EXPECT_EQ(readBytes(m.circuitfile), kDefaultFile);
}

TEST(WriteLadder, ReplacesTheOldFileAndLeavesNoTemporaryBehind)
{
    TempDir dir;
    Model m = defaultCircuit();
    m.circuitfile = dir.file("c.cir");
    writeBytes(m.circuitfile, "old\r\n");
    const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(m.circuitfile, perms);
    writeLadder(m);
    EXPECT_EQ(readBytes(m.circuitfile), kDefaultFile);
    EXPECT_EQ(fs::status(m.circuitfile).permissions(), perms);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);

    // Saving through a link writes the file it points to and keeps the link.
    fs::create_symlink("c.cir", dir.file("link.cir"));
    m.partcount = 1;
    m.circuitfile = dir.file("link.cir");
    writeLadder(m);
    EXPECT_TRUE(fs::is_symlink(dir.file("link.cir")));
    EXPECT_EQ(readBytes(dir.file("c.cir")).substr(0, 3), "1\r\n");
}

TEST(WriteLadder, FailuresKeepTheOldFile)
{
    TempDir dir;
    Model m = defaultCircuit();
    m.circuitfile = dir.file("no/such/dir/c.cir");
    try {
        writeLadder(m);
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_STREQ(e.what(), "File not found");
    }

    // A directory of that name cannot be replaced by the file.
    fs::create_directory(dir.file("taken.cir"));
    m.circuitfile = dir.file("taken.cir");
    EXPECT_THROW(writeLadder(m), FileError);
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
        writeLadder(m);
    } catch (const FileError& e) {
        message = e.what();
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(message, std::strerror(EFBIG));
    EXPECT_EQ(readBytes(m.circuitfile), "old\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

TEST(ReadLadder, ReadsTheDefaultFileWithItsEffectsInOrder)
{
    std::string lf = kDefaultFile;  // LF line ends read the same
    for (size_t at; (at = lf.find("\r\n")) != std::string::npos;)
        lf.erase(at, 1);
    for (const std::string& file : {kDefaultFile, lf}) {
        TempDir dir;
        Model m = Model::startup();
        m.tunepending = true;
        m.tuneup = false;
        FakeWindow w;
        // At the memo clear the tune flags are already reset and the table not yet.
        bool flagsFirst = false, tableThere = false;
        w.onEffect = [&](const std::string& effect) {
            if (effect == "memo clear") {
                flagsFirst = !m.tunepending && m.tuneup;
                tableThere = m.part(1).partkind == "cap";
            }
        };
        ASSERT_EQ(readText(m, w, dir, file), std::nullopt);
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
        EXPECT_EQ(m.freqstep, 30 * 0.001);
        EXPECT_EQ((std::vector<double>{m.origstart, m.origstop, m.origbottom, m.origdbperdiv, m.origfreqperdiv}),
                  (std::vector<double>{0, 30, -100, 10, 2}));
    }
}

TEST(ReadLadder, RecordEdgeCases)
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
    Model m = Model::startup();
    FakeWindow w;
    ASSERT_EQ(readText(m, w, dir, file), std::nullopt);
    expectParts(m, {{"cap", 1, "ser", 1}, {"ind", 2, "par", 2}, {"res", 3, "Ser", 3}, {"wir", 0, "ser", 0},
                    {"wir", 0, "ser", 0}, {"wir", 15, "ser", 0}, {"dur", 13, "x", -4.9}, {"rlb", 6, "ser", 0},
                    {"xtl", 14, "ser", 1}});
    expectNeutralFrom(m, 10);
}

TEST(ReadLadder, SweepEdgeCases)
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
        Model m = Model::startup();
        FakeWindow w;
        ASSERT_EQ(readText(m, w, dir, crlf(c.lines)), std::nullopt);
        EXPECT_EQ(m.tablestep, c.tablestep);
        EXPECT_EQ(m.bottomdb, c.bottomdb);
        EXPECT_EQ(m.origbottom, c.bottomdb);
        EXPECT_EQ(m.startfreq, c.start);
        EXPECT_EQ(m.origstart, c.start);
        EXPECT_EQ(w.text(Field::StartFreq), c.startShown);
        EXPECT_EQ(w.text(Field::BottomDb), c.bottomShown);
        EXPECT_EQ(m.frequnit, "MHz");
    }
}

// A file of the designer: general (15) texts of single-precision values, the crystal
// block, and the "rlb" record alone at the end. An LC file read next keeps the block.
TEST(ReadLadder, ReadsADesignerFileAndKeepsItsCrystalBlockThroughAnLcFile)
{
    const std::string file = crlf({"3", "100", "212.345001525879", "212.345001525879", "1", "8.86723804473877",
                                   "0.0702000036835671", "3.20000004768372", "85000", "-3000", "3000", "6", "500",
                                   "60", "10", "cap", "par", "1.50000001034612E-5", "xtl", "ser", "-97.5", "rlb"});
    TempDir dir;
    Model m = Model::startup();
    FakeWindow w;
    ASSERT_EQ(readText(m, w, dir, file), std::nullopt);
    EXPECT_EQ(m.crystalflag, 1);
    EXPECT_EQ(m.frequnit, "Hz");
    EXPECT_EQ(m.bottomdb, -60);
    expectParts(m, {{"cap", 1, "par", 1.50000001034612E-5}, {"xtl", 14, "ser", -97.5}, {"rlb", 6, "ser", 0}});
    EXPECT_EQ(w.text(Field::StartFreq), "-3000.00");
    EXPECT_EQ(w.text(Field::FreqUnit), "Hz");

    ASSERT_EQ(readText(m, w, dir, kDefaultFile), std::nullopt);
    EXPECT_EQ(m.crystalflag, 0);
    EXPECT_EQ(m.frequnit, "MHz");
    EXPECT_EQ((std::vector<double>{m.xtalfreq, m.xtallm, m.xtalcp, m.xtalqx}),
              (std::vector<double>{8.86723804473877, 0.0702000036835671, 3.20000004768372, 85000}));
}

TEST(ReadLadder, KeepsTheFirst255CharactersOfALine)
{
    const std::string file = crlf(lcFile("2", {"cap", std::string(300, 'p'), "1" + std::string(400, ' '),
                                               "cap", std::string(254, 'q') + "\r", "2"}));  // a kept CR stays
    TempDir dir;
    Model m = Model::startup();
    FakeWindow w;
    ASSERT_EQ(readText(m, w, dir, file), std::nullopt);
    expectParts(m, {{"cap", 1, std::string(255, 'p'), 1}, {"cap", 1, std::string(254, 'q') + "\r", 2}});
}

// What stays after a read that fails or stops early: the message, the part count, entry 1,
// and whether the scale fields were written.
TEST(ReadLadder, FailuresLeaveTheModelAsFarAsTheReadGot)
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
        Model m = Model::startup();
        FakeWindow w;
        EXPECT_EQ(readText(m, w, dir, crlf(c.lines)), c.message);
        EXPECT_EQ(m.partcount, c.partcount);
        EXPECT_EQ(m.inductorq, c.inductorq);
        expectParts(m, {c.entry1});
        expectNeutralFrom(m, 2);
        EXPECT_EQ(w.written().size(), c.fieldsWritten ? 6u : 0u);
    }
}

TEST(ReadLadder, SweepReadSoFarStaysWhenTheBottomFails)
{
    TempDir dir;
    Model m = Model::startup();
    FakeWindow w;
    EXPECT_EQ(readText(m, w, dir, crlf({"0", "250", "50", "50", "0", "1", "21", "0.5", "4", "x"})),
              "'x' is not a valid floating point value");
    EXPECT_EQ((std::vector<double>{m.startfreq, m.stopfreq, m.tablestep, m.freqperdiv}),
              (std::vector<double>{1, 21, 0.5, 4}));
    EXPECT_EQ(m.bottomdb, -100);  // not yet read
    EXPECT_EQ(m.origstart, 0);    // set only after the whole sweep
    EXPECT_TRUE(w.written().empty());
}

// The reset comes first: the circuit is gone, while the count, the crystal block, the
// sweep and the file name stay.
TEST(ReadLadder, MissingFileLeavesTheResetModel)
{
    TempDir dir;
    Model m = Model::startup();
    m.crystalflag = 1;
    m.xtalfreq = 8;
    m.frequnit = "Hz";
    m.loadr = 200;
    m.sourcer = 300;
    m.inductorq = 80;
    m.startfreq = -2000;
    m.circuitfile = dir.file("missing.cir");
    FakeWindow w;
    try {
        readLadder(m, w);
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
    EXPECT_EQ(m.circuitfile, dir.file("missing.cir"));

    // A name that is not a readable file gives the platform's text.
    m.circuitfile = dir.path().string();
    try {
        readLadder(m, w);
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_STREQ(e.what(), std::strerror(EISDIR));
    }
}

}  // namespace
