#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>

#include "ladder/circuit_file.h"
#include "tests/support/circuit_files.h"

namespace {

using namespace circuittest;
namespace fs = std::filesystem;

// The start-up model on the start-up sweep, as after the first plot.
Circuit defaultCircuit()
{
    Circuit m = Circuit::startup();
    m.tablestep = 3;
    return m;
}

const std::string kDefaultFile = crlf(defaultCircuitLines());

void setPart(Circuit& m, int n, const char* kind, const char* conn, double value)
{
    m.setKind(n, kind);
    m.part(n).partconn = conn;
    m.part(n).partvalue = value;
}

TEST(WriteCircuitFile, WritesEachValueInItsFormat)
{
    TempDir dir;
    Circuit m = defaultCircuit();
    std::string file;
    file = dir.file("startfile.cir");
    writeCircuitFile(file, m);
    EXPECT_EQ(readBytes(file), kDefaultFile);

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
TEST(WriteCircuitFile, RlbInsideIsWrittenAsItsKindLineAloneAndReadsBack)
{
    TempDir dir;
    Circuit m = defaultCircuit();
    std::string file;
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
    file = dir.file("saved.cir");
    writeCircuitFile(file, m);
    const std::string text = readBytes(file);
    EXPECT_EQ(text.substr(text.find("res\r\n")),
              crlf({"res", "ser", "50.00000", "rlb", "rlb", "xtl", "par", "-120.00000", "rlb", "ser", "0.00000"}));

    Circuit back;
    ASSERT_NO_THROW(back = readCircuitFile(file));
    EXPECT_EQ(circuitText(back), text);

    // A full table: every record is written and read back.
    m.partcount = kMaxParts;
    for (int n = 6; n <= kMaxParts; ++n)
        setPart(m, n, "cap", "par", n);
    writeCircuitFile(file, m);
    ASSERT_NO_THROW(back = readCircuitFile(file));
    EXPECT_EQ(back.part(kMaxParts).partvalue, kMaxParts);
    EXPECT_EQ(circuitText(back), readBytes(file));
}

TEST(WriteCircuitFile, UsesAFileNameLongerThan255CharactersWhole)
{
    TempDir dir;
    const fs::path deep = dir.path() / std::string(150, 'd') / std::string(150, 'e');
    fs::create_directories(deep);
    Circuit m = defaultCircuit();
    std::string file;
    file = (deep / "circuit.cir").string();
    writeCircuitFile(file, m);
    EXPECT_EQ(readBytes(file), kDefaultFile);
}

TEST(WriteCircuitFile, ReplacesTheOldFileAndLeavesNoTemporaryBehind)
{
    TempDir dir;
    Circuit m = defaultCircuit();
    std::string file;
    file = dir.file("c.cir");
    writeBytes(file, "old\r\n");
    const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(file, perms);
    writeCircuitFile(file, m);
    EXPECT_EQ(readBytes(file), kDefaultFile);
    EXPECT_EQ(fs::status(file).permissions(), perms);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);

    // Saving through a link writes the file it points to and keeps the link.
    fs::create_symlink("c.cir", dir.file("link.cir"));
    m.partcount = 1;
    file = dir.file("link.cir");
    writeCircuitFile(file, m);
    EXPECT_TRUE(fs::is_symlink(dir.file("link.cir")));
    EXPECT_EQ(readBytes(dir.file("c.cir")).substr(0, 3), "1\r\n");
}

TEST(WriteCircuitFile, FailuresKeepTheOldFile)
{
    TempDir dir;
    Circuit m = defaultCircuit();
    std::string file;
    file = dir.file("no/such/dir/c.cir");
    try {
        writeCircuitFile(file, m);
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot write " + file + ": the folder does not exist");
    }

    // A directory of that name cannot be replaced by the file.
    fs::create_directory(dir.file("taken.cir"));
    file = dir.file("taken.cir");
    EXPECT_THROW(writeCircuitFile(file, m), FileError);
    EXPECT_TRUE(fs::is_directory(file));

    // The disk fills up half way: the write fails with the platform's text.
    file = dir.file("c.cir");
    writeBytes(file, "old\r\n");
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 64;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    std::string message;
    try {
        writeCircuitFile(file, m);
    } catch (const FileError& e) {
        message = e.what();
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(message, std::strerror(EFBIG));
    EXPECT_EQ(readBytes(file), "old\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

}  // namespace
