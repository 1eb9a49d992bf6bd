#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/atomic_file.h"
#include "common/touchstone.h"

namespace {

using C = std::complex<double>;

struct Row {
    double hz;
    C s11, s21 = 0, s12 = 0, s22 = 0;
};

struct ReadCase {
    const char* what;
    const char* text;
    int expectedPorts;  // from the file name
    int ports;
    double r1, r2;
    std::vector<Row> rows;
};

const C kHalfJ{0, 0.5};  // MA 0.5 90

void expectNear(C got, C want, const std::string& where)
{
    EXPECT_NEAR(got.real(), want.real(), 1e-12) << where;
    EXPECT_NEAR(got.imag(), want.imag(), 1e-12) << where;
}

TEST(ReadTouchstone, TakesWhatInstrumentsAndToolsWrite)
{
    const ReadCase cases[] = {
        {"analyser export, tabs, comments on their own lines and after the data",
         "! Sweep of the 9 MHz filter\n"
         "! date 2024-03-02\n"
         "# GHz S MA R 50\n"
         "0.009\t0.5 90\t1 0\t1 0\t0.5 90  ! centre\n"
         "0.0091\t0.25 180\t0.5 -90\t0.5 -90\t0.25 180\n",
         0, 2, 50, 50,
         {{9e6, kHalfJ, 1, 1, kHalfJ}, {9.1e6, -0.25, C(0, -0.5), C(0, -0.5), -0.25}}},
        {"no option line: GHz S MA R 50", "1 0.5 90 1 0 0.1 0 0.5 90\n", 0, 2, 50, 50,
         {{1e9, kHalfJ, 1, 0.1, kHalfJ}}},
        {"lower case, spaces before '#', CR LF", "   # mhz s db r 75\r\n10.7 0 180 -20 0 -20 0 0 180\r\n", 0, 2,
         75, 75, {{10.7e6, -1, 0.1, 0.1, -1}}},
        {"Hz, RI, runs of spaces, option words in any order", "#   RI   R 25    HZ S\n1000    0.1   -0.2   0.3 0.4   0.3 0.4  0 0\n",
         0, 2, 25, 25, {{1000, C(0.1, -0.2), C(0.3, 0.4), C(0.3, 0.4), 0}}},
        {"one-port file named .s1p, kHz", "# kHz S RI R 50\n1 0.5 0\n2 0 0.5\n", 1, 1, 50, 50,
         {{1e3, 0.5}, {2e3, kHalfJ}}},
        {"one port told by the data alone", "# MHz S RI R 50\n1 0.5 0\n", 0, 1, 50, 50, {{1e6, 0.5}}},
        {"one-path instrument: S12 and S22 columns of zeros", "# MHz S RI R 50\n5 0.1 0 0.9 0 0 0 0 0\n", 2, 2,
         50, 50, {{5e6, 0.1, 0.9, 0, 0}}},
        {"version 1.1 resistance per port", "# MHz S RI R 50 75\n5 0.1 0 0.9 0 0.9 0 0.2 0\n", 0, 2, 50, 75,
         {{5e6, 0.1, 0.9, 0.9, 0.2}}},
        {"version 1 two-port with noise parameters after the network data",
         "# GHz S MA R 50\n1 0.5 0 2 0 0.1 0 0.4 0\n2 0.5 0 2 0 0.1 0 0.4 0\n! noise\n1 0.9 0.5 40 0.3\n2 1.0 0.5 45 0.3\n",
         0, 2, 50, 50, {{1e9, 0.5, 2, 0.1, 0.4}, {2e9, 0.5, 2, 0.1, 0.4}}},
        {"version 2, order 12_21, reference continued on the next line",
         "[Version] 2.0\n# MHz S RI R 50\n[Number of Ports] 2\n[Two-Port Data Order] 12_21\n"
         "[Number of Frequencies] 1\n[Reference] 50\n75\n[Network Data]\n1 0.11 0 0.12 0 0.21 0 0.22 0\n[End]\n",
         2, 2, 50, 75, {{1e6, 0.11, 0.21, 0.12, 0.22}}},
        {"version 2, order 21_12, one reference for both ports, any case and spacing",
         "[version] 2.0\n# MHz S RI R 50\n[number  of ports] 2\n[TWO-PORT DATA ORDER] 21_12\n"
         "[Number of Frequencies] 1\n[Reference] 100\n[Network Data]\n1 0.11 0 0.21 0 0.12 0 0.22 0\n[End]\n",
         0, 2, 100, 100, {{1e6, 0.11, 0.21, 0.12, 0.22}}},
        {"version 2 one-port, information block, noise keywords passed over, text after [End]",
         "! made by a field solver\n[Version] 2.0\n# GHz S DB R 50\n[Number of Ports] 1\n"
         "[Number of Frequencies] 2\n[Number of Noise Frequencies] 1\n[Begin Information]\n"
         "[Manufacturer] Nobody\n1 2 3\n  [End  Information]\n[Network Data]\n1 0 0\n2 -6.020599913279624 90\n"
         "[Noise Data]\n1 0.5 0.3 40 0.2\n[End]\nanything\n",
         0, 1, 50, 50, {{1e9, 1}, {2e9, kHalfJ}}},
        {"version 2.1, lower triangle of a reciprocal network",
         "[Version] 2.1\n# Hz S RI\n[Number of Ports] 2\n[Number of Frequencies] 1\n[Matrix Format] Lower\n"
         "[Network Data]\n7 0.11 0 0.21 0 0.22 0\n[End]\n",
         0, 2, 50, 50, {{7, 0.11, 0.21, 0.21, 0.22}}},
        {"byte-order mark, CR line ends, blank lines, DC point", "\xEF\xBB\xBF# Hz S RI R 50\r\r0 0.5 0\r1 0.5 0\r", 1, 1, 50,
         50, {{0, 0.5}, {1, 0.5}}},
        {"signs, exponents and bare points", "# Hz S RI R 5E+1\n+1.5e3 -.5 5. 2 0 2 0 -0.5e0 +0\n", 0, 2, 50, 50,
         {{1500, C(-0.5, 5), 2, 2, -0.5}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Network n = readTouchstone(c.text, c.expectedPorts);
        EXPECT_EQ(n.ports, c.ports);
        EXPECT_EQ(n.referenceR1, c.r1);
        EXPECT_EQ(n.referenceR2, c.r2);
        ASSERT_EQ(n.frequencyHz.size(), c.rows.size());
        ASSERT_EQ(n.s11.size(), c.rows.size());
        ASSERT_EQ(n.s21.size(), c.ports == 2 ? c.rows.size() : 0);
        ASSERT_EQ(n.s12.size(), n.s21.size());
        ASSERT_EQ(n.s22.size(), n.s21.size());
        for (std::size_t i = 0; i < c.rows.size(); ++i) {
            const std::string at = "row " + std::to_string(i);
            EXPECT_DOUBLE_EQ(n.frequencyHz[i], c.rows[i].hz) << at;
            expectNear(n.s11[i], c.rows[i].s11, at + " S11");
            if (c.ports == 2) {
                expectNear(n.s21[i], c.rows[i].s21, at + " S21");
                expectNear(n.s12[i], c.rows[i].s12, at + " S12");
                expectNear(n.s22[i], c.rows[i].s22, at + " S22");
            }
        }
    }
}

struct RefusedCase {
    const char* text;
    int expectedPorts;
    const char* message;
};

TEST(ReadTouchstone, RefusesWithTheLineAndWhatWasWrong)
{
    const RefusedCase cases[] = {
        // data rows
        {"# GHz S MA R 50\n1 0.5 0 0.1 0 0.1 0\n", 0, "line 2: expected 3 numbers (one port) or 9 (two ports), found 7"},
        {"# MHz S RI R 50\n1 0 0 0 0 0 0 0 0\n\n2 0 0 0 0 0 0\n", 0, "line 4: expected 9 numbers, found 7"},
        {"# MHz S RI R 50\n1 0 0\n", 2, "line 2: expected 9 numbers, found 3"},
        {"# MHz S RI R 50\n1 0 0 0 0 0 0 0 0\n", 1, "line 2: expected 3 numbers, found 9"},
        {"# MHz S RI R 50\n1 0 0 0 0 0 0 0 0\n", 4, "line 2: only 1- and 2-port files can be read, this one has 4 ports"},
        {"# MHz S RI R 50\n2 0 0\n1 0 0\n", 0, "line 3: frequency '1' does not rise above the one before"},
        {"# MHz S RI R 50\n2 0 0\n2 0 0\n", 0, "line 3: frequency '2' does not rise above the one before"},
        {"# MHz S RI R 50\n1 0 0 0 0 0 0 0 0\n2 1 2 3 4\n", 0, "line 3: expected 9 numbers, found 5"},
        {"# MHz S RI R 50\n1 0 0 0 0 0 0 0 0\n2 0 0 0 0 0 0 0 x\n", 0, "line 3: 'x' is not a number"},
        {"# MHz S RI R 50\n-1 0 0\n", 0, "line 2: frequency '-1' is negative"},
        {"# GHz S RI R 50\n1e300 0 0\n", 0, "line 2: frequency '1e300' is out of range"},
        {"# MHz S RI R 50\n1 1e400 0\n", 0, "line 2: '1e400' is not a number"},
        {"# MHz S RI R 50\n1 nan 0\n", 0, "line 2: 'nan' is not a number"},
        {"# MHz S RI R 50\n1 0 inf\n", 0, "line 2: 'inf' is not a number"},
        {"# MHz S RI R 50\n1 0,5 0\n", 0, "line 2: '0,5' is not a number"},
        {"# MHz S DB R 50\n1 301 0\n", 0, "line 2: the value '301 0' is above 300 dB"},
        {"# MHz S RI R 50\n1 1e200 1e200\n", 0, "line 2: the value '1e200 1e200' is above 300 dB"},
        {"\x01\x02garbage\n", 0, "line 1: '\?\?garbage' is not a number"},
        // option line
        {"# MHz Z RI R 50\n1 0 0\n", 0, "line 1: only S-parameters can be read, this file holds Z-parameters"},
        {"# MHz S XY R 50\n", 0, "line 1: unknown option 'XY'"},
        {"# MHz S RI R\n", 0, "line 1: R needs a resistance after it"},
        {"# MHz S RI R 0\n", 0, "line 1: a reference resistance must be above 0, found '0'"},
        {"# MHz S RI R 50 60 70\n1 0 0 0 0 0 0 0 0\n", 0, "line 2: the option line gives 3 resistances for 2 ports"},
        {"1 0 0\n# MHz S RI R 50\n", 0, "line 2: the option line must come before the data"},
        // nothing to read
        {"", 0, "line 1: no network data"},
        {"! one\n! two\n# MHz S RI R 50\n", 0, "line 3: no network data"},
        // version 2 structure
        {"[Number of Ports] 2\n", 0, "line 1: keywords need [Version] 2.0 before them"},
        {"# MHz S RI R 50\n[Version] 2.0\n", 0, "line 2: [Version] must come first"},
        {"[Version] 3.0\n", 0, "line 1: version '3.0' cannot be read (1.0, 1.1, 2.0 and 2.1 can)"},
        {"[Version 2.0\n", 0, "line 1: a keyword without its closing ']'"},
        {"[Version] 2.0\n[Number of Ports] 4\n", 0, "line 2: only 1- and 2-port files can be read, this one has 4 ports"},
        {"[Version] 2.0\n[Number of Ports] two\n", 0, "line 2: [Number of Ports] needs one whole number above 0"},
        {"[Version] 2.0\n[Number of Ports] 2\n[Number of Frequencies] 1\n[Network Data]\n", 0,
         "line 4: [Two-Port Data Order] must come before [Network Data]"},
        {"[Version] 2.0\n[Number of Ports] 1\n[Network Data]\n", 0,
         "line 3: [Number of Frequencies] must come before [Network Data]"},
        {"[Version] 2.0\n[Reference] 50\n", 0, "line 2: [Reference] must come after [Number of Ports]"},
        {"[Version] 2.0\n[Number of Ports] 2\n[Reference] 50\n60 70\n", 0,
         "line 4: [Reference] needs 2 values, found more"},
        {"[Version] 2.0\n[Number of Ports] 2\n[Reference] 50\n# MHz S RI R 50\n1 0 0\n", 0,
         "line 5: numbers outside [Network Data]"},
        {"[Version] 2.0\n[Number of Ports] 1\n[Mixed-Mode Order] D2,1 C2,1\n", 0, "line 3: mixed-mode data cannot be read"},
        {"[Version] 2.0\n[Number of Ports] 1\n[Matrix Format] Diagonal\n", 0,
         "line 3: [Matrix Format] must be Full, Lower or Upper"},
        {"[Version] 2.0\n# MHz S RI R 50\n# MHz S RI R 50\n", 0, "line 3: a second option line"},
        {"[Version] 2.0\n[Number of Ports] 1\n1 0 0\n", 0, "line 3: numbers outside [Network Data]"},
        {"[Version] 2.0\n[Number of Ports] 1\n[Number of Frequencies] 3\n[Network Data]\n1 0 0\n2 0 0\n! c\n[End]\n", 0,
         "line 8: [Number of Frequencies] is 3 but the data has 2"},
        {"[Version] 2.0\n[Number of Ports] 1\n[Number of Frequencies] 3\n[Network Data]\n1 0 0\n2 0 0\n", 0,
         "line 6: [Number of Frequencies] is 3 but the data has 2"},
        {"[Version] 2.0\n[Number of Ports] 1\n[Number of Frequencies] 1\n[Network Data]\n1 0 0\n2 0 0\n", 0,
         "line 6: more frequencies than [Number of Frequencies] 1"},
        {"[Version] 2.0\n[Number of Ports] 1\n[Number of Frequencies] 1\n[Network Data]\n[Reference] 50\n", 0,
         "line 5: [Reference] inside the network data"},
        {"[Version] 2.0\n# MHz S RI R 50\n[Number of Ports] 1\n", 0, "line 3: no [Network Data]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            readTouchstone(c.text, c.expectedPorts);
            ADD_FAILURE() << "accepted";
        } catch (const TouchstoneError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
}

TEST(PortsFromFileName, ReadsTheSnpExtension)
{
    const std::pair<const char*, int> cases[] = {
        {"filter.s2p", 2}, {"/a/b/x.S1P", 1}, {"four.s4p", 4}, {"big.s12p", 12},
        {"data.ts", 0}, {"noext", 0}, {"a.sp", 0}, {"a.sxp", 0}, {"dir.s2p/file", 0},
    };
    for (const auto& [name, ports] : cases)
        EXPECT_EQ(portsFromFileName(name), ports) << name;
}

// A crystal-filter-like response over 1000 points, with the awkward values a writer meets:
// exact zeros, tiny levels, negative real parts, angles at +-180.
Network sweep(int ports, double r1, double r2)
{
    Network n;
    n.ports = ports;
    n.referenceR1 = r1;
    n.referenceR2 = r2;
    for (int i = 0; i < 1000; ++i) {
        const double offset = -3000 + 6 * i + 0.123456789;
        n.frequencyHz.push_back(8.867238e6 + offset);
        const double x = offset / 1000;
        const C s21 = C(1, 0) / C(1 - x * x * x * x, 2 * x);
        const C s11 = i == 10 ? C(0, 0) : i == 11 ? C(-1, 0) : i == 12 ? C(3e-16, 0) : std::sqrt(C(1, 0) - s21 * s21);
        n.s11.push_back(s11);
        if (ports == 2) {
            n.s21.push_back(s21 * std::polar(1.0, x));
            n.s12.push_back(i % 2 ? C(0, 0) : s21);
            n.s22.push_back(-s11 * 0.999);
        }
    }
    return n;
}

// Within what 12 significant digits of dB and degrees keep; -300 dB stands for anything
// below 1e-15.
void expectSameToWrittenPrecision(const Network& got, const Network& want)
{
    ASSERT_EQ(got.ports, want.ports);
    EXPECT_EQ(got.referenceR1, want.referenceR1);
    EXPECT_EQ(got.referenceR2, want.referenceR2);
    ASSERT_EQ(got.frequencyHz.size(), want.frequencyHz.size());
    auto same = [](const std::vector<C>& a, const std::vector<C>& b, std::size_t i) {
        return std::abs(a[i] - b[i]) <= 1e-10 * std::abs(b[i]) + 2e-15;
    };
    for (std::size_t i = 0; i < want.frequencyHz.size(); ++i) {
        EXPECT_NEAR(got.frequencyHz[i], want.frequencyHz[i], 1e-15 * want.frequencyHz[i]) << i;
        EXPECT_TRUE(same(got.s11, want.s11, i)) << i << ": " << got.s11[i] << " " << want.s11[i];
        if (want.ports == 2) {
            EXPECT_TRUE(same(got.s21, want.s21, i)) << i << ": " << got.s21[i] << " " << want.s21[i];
            EXPECT_TRUE(same(got.s12, want.s12, i)) << i << ": " << got.s12[i] << " " << want.s12[i];
            EXPECT_TRUE(same(got.s22, want.s22, i)) << i << ": " << got.s22[i] << " " << want.s22[i];
        }
    }
}

TEST(WriteTouchstone, ReadsBackToTheWrittenPrecision)
{
    const struct {
        int ports;
        double r1, r2;
        const char* header;
    } cases[] = {
        {2, 50, 50, "! circuit xtal.cir\n# MHz S DB R 50\n"},
        {2, 212.5, 50, "! circuit xtal.cir\n[Version] 2.0\n# MHz S DB R 212.5\n[Number of Ports] 2\n"
                       "[Two-Port Data Order] 12_21\n[Number of Frequencies] 1000\n[Reference] 212.5 50\n"
                       "[Network Data]\n"},
        {1, 75, 75, "! circuit xtal.cir\n# MHz S DB R 75\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.header);
        const Network n = sweep(c.ports, c.r1, c.r2);
        const std::string text = writeTouchstone(n, {{"circuit xtal.cir"}});
        EXPECT_EQ(text.rfind(c.header, 0), 0u) << text.substr(0, 300);
        EXPECT_EQ(text.find("inf"), std::string::npos);
        EXPECT_EQ(text.find("nan"), std::string::npos);
        expectSameToWrittenPrecision(readTouchstone(text), n);
    }
}

TEST(WriteTouchstone, WritesLevelsInDbAndDegreesInTheStandardOrder)
{
    Network n;
    n.frequencyHz = {1e6, 10.7e6 + 0.5};
    n.s11 = {C(0, 0), C(3e-16, 0)};  // below 1e-15: -300 dB, angle 0
    n.s21 = {C(-1, 0), C(0, 0.5)};
    n.s12 = {C(0, -0.1), C(1, 0)};
    n.s22 = {C(0.1, 0.1), C(1e-15, 0)};
    EXPECT_EQ(writeTouchstone(n, {{"a", "two\nlines"}}),
              "! a\n! two lines\n# MHz S DB R 50\n! MHz S11(dB deg) S21(dB deg) S12(dB deg) S22(dB deg)\n"
              "1.00000000000 -300 0 0 180 -20 -90 -16.9897000434 45\n"
              "10.7000005000 -300 0 -6.02059991328 90 0 0 -300 0\n");
    // Frequencies are exact, and never shown with fewer than 12 significant digits.
    for (auto [hz, text] : {std::pair{10.0, "1.00000000000e-05 "}, {10123456.789012345, "10.123456789012344 "},
                            {0.0, "0.00000000000 "}}) {
        Network one;
        one.ports = 1;
        one.frequencyHz = {hz};
        one.s11 = {C(0.5, 0)};
        const std::string written = writeTouchstone(one);
        EXPECT_NE(written.find("\n" + std::string(text)), std::string::npos) << written;
        EXPECT_DOUBLE_EQ(readTouchstone(written, 1).frequencyHz[0], hz);
    }
    n.referenceR2 = 75;  // version 2: S12 before S21, as 12_21 says
    EXPECT_EQ(writeTouchstone(n),
              "[Version] 2.0\n# MHz S DB R 50\n[Number of Ports] 2\n[Two-Port Data Order] 12_21\n"
              "[Number of Frequencies] 2\n[Reference] 50 75\n[Network Data]\n"
              "! MHz S11(dB deg) S12(dB deg) S21(dB deg) S22(dB deg)\n"
              "1.00000000000 -300 0 -20 -90 0 180 -16.9897000434 45\n"
              "10.7000005000 -300 0 0 0 -6.02059991328 90 -300 0\n[End]\n");
}

TEST(WriteTouchstone, RefusesWhatNoFileCanHoldBack)
{
    const std::pair<void (*)(Network&), const char*> cases[] = {
        {[](Network& n) { n.s21[1] = C(NAN, 0); }, "A Touchstone S-parameter must be finite and at most 300 dB."},
        {[](Network& n) { n.s22[0] = C(0, INFINITY); }, "A Touchstone S-parameter must be finite and at most 300 dB."},
        {[](Network& n) { n.s11[0] = 2e15; }, "A Touchstone S-parameter must be finite and at most 300 dB."},
        {[](Network& n) { n.referenceR2 = 0; }, "A Touchstone reference resistance must be a finite value above 0."},
        {[](Network& n) { n.frequencyHz[1] = n.frequencyHz[0]; },
         "Touchstone frequencies must be finite, not negative, and rise from point to point."},
        {[](Network& n) { n.frequencyHz[0] = -1; },
         "Touchstone frequencies must be finite, not negative, and rise from point to point."},
        {[](Network& n) { n.frequencyHz = {0x1.f78a400000001p+24, 0x1.f78a400000002p+24, 4e7}; },  // equal in MHz
         "Touchstone frequencies must be finite, not negative, and rise from point to point."},
        {[](Network& n) { n = Network{}; }, "A Touchstone file needs at least one frequency."},
    };
    for (const auto& [spoil, message] : cases) {
        Network n = sweep(2, 50, 50);
        n.frequencyHz.resize(3);
        n.s11.resize(3), n.s21.resize(3), n.s12.resize(3), n.s22.resize(3);
        spoil(n);
        try {
            writeTouchstone(n);
            ADD_FAILURE() << "wrote " << message;
        } catch (const AppError& e) {
            EXPECT_EQ(std::string(e.what()), message);
        }
    }
}

class TouchstoneFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = std::filesystem::temp_directory_path() /
              ("touchstone-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::filesystem::path dir;
};

TEST_F(TouchstoneFiles, SavesAtomicallyAndReadsTheFileNamesPortCount)
{
    const auto path = (dir / "sweep.s1p").string();
    {
        std::ofstream old(path);
        old << "old";
    }
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    std::filesystem::create_symlink(path, dir / "link.s1p");

    const Network n = sweep(1, 50, 50);
    saveTouchstone((dir / "link.s1p").string(), n);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.s1p"));
    expectSameToWrittenPrecision(readTouchstoneFile(path), n);
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 2);  // no temporary left

    // The name's port count holds the data to it.
    std::filesystem::copy_file(path, dir / "sweep.s2p");
    EXPECT_THROW(readTouchstoneFile((dir / "sweep.s2p").string()), TouchstoneError);
}

TEST_F(TouchstoneFiles, FailuresAreFileErrors)
{
    try {
        readTouchstoneFile((dir / "missing.s2p").string());
        ADD_FAILURE();
    } catch (const FileError& e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
    EXPECT_THROW(readTouchstoneFile(dir.string()), FileError);  // a directory
    EXPECT_THROW(writeFileAtomically((dir / "no" / "such.s2p").string(), "x"), FileError);
    std::filesystem::create_directory(dir / "taken");
    EXPECT_THROW(writeFileAtomically((dir / "taken").string(), "x"), FileError);  // rename over a directory
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
}

}  // namespace
