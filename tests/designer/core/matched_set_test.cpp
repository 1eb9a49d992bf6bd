#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "designer/core/matched_set.h"

namespace {

std::string listed(const std::vector<MeasuredCrystal>& crystals)
{
    std::string out;
    for (const MeasuredCrystal& c : crystals)
        out += c.name + "=" + std::to_string(c.fsHz) + ";";
    return out;
}

std::string listed(const MatchedSet& set)
{
    std::string out;
    for (const SetMember& m : set.members)
        out += m.name + "@" + std::to_string(m.offsetHz) + ";";
    return out;
}

TEST(CrystalList, ReadsWhatSpreadsheetsAndScriptsWrite)
{
    const struct {
        const char* what;
        std::string text;
        const char* expected;
    } cases[] = {
        {"plain", "X1,10000012.5\nX2,9999998\n", "X1=10000012.500000;X2=9999998.000000;"},
        {"header, CR LF", "name,fs_hz\r\nX1,1e7\r\nX2,1.0000005E7\r\n", "X1=10000000.000000;X2=10000005.000000;"},
        {"byte-order mark", "\xEF\xBB\xBFname,fs_hz\nX1,9999990\n", "X1=9999990.000000;"},
        {"quotes, blanks", "\"X 1\" , \"10000001\"\n\n  X2\t,9999999.25  \n\n", "X 1=10000001.000000;X2=9999999.250000;"},
        {"no final line end", "X1,10000000", "X1=10000000.000000;"},
        {"order kept", "B,3\nA,2\nC,1\n", "B=3.000000;A=2.000000;C=1.000000;"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(listed(readCrystalList(c.text)), c.expected) << c.what;
}

TEST(CrystalList, NamesTheLineThatIsWrong)
{
    const struct {
        std::string text;
        const char* message;
    } cases[] = {
        {"X1,10000000\nX2\n", "line 2: expected name,fs_hz"},
        {"X1,10000000,5\n", "line 1: expected name,fs_hz"},  // a decimal comma
        {"name,fs_hz\n\nX1,10000000\nX2,ten\n", "line 4: 'ten' is not a frequency in Hz"},
        {"X1,10000000\nX2,1e999\n", "line 2: '1e999' is not a frequency in Hz"},
        {"X1,10000000\nX2,\n", "line 2: '' is not a frequency in Hz"},
        {",10000000\n", "line 1: the crystal has no name"},
        {"X1,-5\n", "line 1: the frequency must be above 0 Hz"},
        {"X1,1e7\nX2,1e7\nX1,1.00001e7\n", "line 3: 'X1' is already on line 1"},
        {"name,fs_hz\nname,fs_hz\n", "line 2: 'fs_hz' is not a frequency in Hz"},  // only the first line heads
        {"", "The list holds no crystals."},
        {"name,fs_hz\r\n\r\n", "The list holds no crystals."},
    };
    for (const auto& c : cases) {
        try {
            readCrystalList(c.text);
            ADD_FAILURE() << c.message << ": accepted";
        } catch (const CrystalListError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

TEST(CrystalList, ReadsAFile)
{
    const std::string path = ::testing::TempDir() + "crystal_list_test.csv";
    std::ofstream(path, std::ios::binary) << "name,fs_hz\r\nX1,9999985.5\r\n";
    EXPECT_EQ(listed(readCrystalListFile(path)), "X1=9999985.500000;");
    std::remove(path.c_str());
    try {
        readCrystalListFile(path);
        ADD_FAILURE() << "missing file accepted";
    } catch (const FileError& e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
}

TEST(MatchedSet, PicksTheConsecutiveCrystalsWithTheLeastSpread)
{
    const std::vector<MeasuredCrystal> batch = {{"A", 10000050}, {"B", 9999980}, {"C", 10000010},
                                                {"D", 10000012}, {"E", 10000020}, {"F", 9999900}};
    const std::vector<MeasuredCrystal> evenlySpaced = {{"P", 9999990}, {"Q", 9999995}, {"R", 10000005}, {"S", 10000010}};
    const struct {
        const char* what;
        const std::vector<MeasuredCrystal>& list;
        int n;
        double f;
        const char* expected;
        double spread;
    } cases[] = {
        {"three", batch, 3, 10e6, "C@10.000000;D@12.000000;E@20.000000;", 10},
        {"two", batch, 2, 10e6, "C@10.000000;D@12.000000;", 2},
        {"all", batch, 6, 10e6, "F@-100.000000;B@-20.000000;C@10.000000;D@12.000000;E@20.000000;A@50.000000;", 150},
        {"one: the crystal nearest F", batch, 1, 9999985, "B@-5.000000;", 0},
        {"equal spreads: nearest F", evenlySpaced, 2, 10000001, "R@4.000000;S@9.000000;", 5},
        {"equal spreads, equally near: lower", evenlySpaced, 2, 10e6, "P@-10.000000;Q@-5.000000;", 5},
    };
    for (const auto& c : cases) {
        const MatchedSet set = pickMatchedSet(c.list, c.n, c.f);
        EXPECT_EQ(listed(set), c.expected) << c.what;
        EXPECT_EQ(set.spreadHz, c.spread) << c.what;
    }
}

TEST(MatchedSet, TickedByHand)
{
    const MatchedSet set = makeSet({{"X3", 10000007.5}, {"X1", 9999996}, {"X2", 10000001}}, 10e6);
    EXPECT_EQ(listed(set), "X1@-4.000000;X2@1.000000;X3@7.500000;");
    EXPECT_EQ(set.spreadHz, 11.5);
}

TEST(MatchedSet, RefusesASetTheListCannotFill)
{
    const std::vector<MeasuredCrystal> three = {{"A", 1}, {"B", 2}, {"C", 3}};
    const struct {
        int n;
        const char* message;
    } cases[] = {
        {0, "A matched set needs at least 1 crystal."},
        {4, "The list holds 3 crystals, fewer than the 4 of the set."},
    };
    for (const auto& c : cases) {
        try {
            pickMatchedSet(three, c.n, 2);
            ADD_FAILURE() << c.n << ": accepted";
        } catch (const CrystalListError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

}  // namespace
