#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "designer/core/designer.h"
#include "tests/support/fake_form.h"
#include "tests/support/file_support.h"

namespace fs = std::filesystem;
using design::Field;

namespace {

// The file's lines; a last line without CR LF is marked.
std::vector<std::string> fileLines(const fs::path& p)
{
    const std::string text = slurp(p);
    std::vector<std::string> out;
    for (std::size_t pos = 0, end; pos < text.size(); pos = end + 2) {
        end = text.find("\r\n", pos);
        if (end == std::string::npos) {
            out.push_back("<no CR LF>" + text.substr(pos));
            break;
        }
        out.push_back(text.substr(pos, end - pos));
    }
    return out;
}

struct Export : ::testing::Test {
    fs::path dir;
    fs::path oldcwd;
    DesignState s;
    FakeForm w = mainFormWithDefaults();
    Designer d{s, w};

    void SetUp() override
    {
        dir = fs::temp_directory_path() /
              ("mirabo-export-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        oldcwd = fs::current_path();
        fs::current_path(dir);
    }
    void TearDown() override
    {
        fs::current_path(oldcwd);
        fs::remove_all(dir);
    }
    void click(void (Designer::*handler)()) { runCommand(w, [&] { (d.*handler)(); }); }
    void design()
    {
        clickStartDesign(d, w);
        ASSERT_TRUE(w.messageEvents().empty());
        w.events.clear();
    }
};

// The lines before the part records for the start crystal, B = 250 and R = 100.
std::vector<std::string> header(const char* records)
{
    return {records, "100", "100", "100", "1", "10", "0.0199999995529652", "3", "200000",
            "-500", "1000", "12.5", "250", "60", "10"};
}

TEST_F(Export, DefaultDesignToTheDefaultFile)
{
    design();
    {
        std::ofstream old(dir / "startfile.cir");
        old << std::string(10000, 'Z');  // replaced whole, not overwritten in place
    }
    click(&Designer::saveDefaultFile);
    EXPECT_EQ(w.events, (std::vector<std::string>{"beep", "beep", "message:Circuit saved for analysis with Sorvel.exe"}));
    // C-1 (as the window rounded it), five meshes of crystal, tuning capacitor and coupling
    // capacitor, C-N next to the source, then the "rlb" kind line alone.
    std::vector<std::string> expected = header("17");
    const std::vector<std::string> records{
        "cap", "par", "142.339996337891",
        "xtl", "ser", "0", "cap", "ser", "99999",            "cap", "par", "338.820007324219",
        "xtl", "ser", "0", "cap", "ser", "908.530029296875", "cap", "par", "494.679992675781",
        "xtl", "ser", "0", "cap", "ser", "460.390014648438", "cap", "par", "531.909973144531",
        "xtl", "ser", "0", "cap", "ser", "342.940002441406", "cap", "par", "782.719970703125",
        "xtl", "ser", "0", "cap", "ser", "331.700012207031", "cap", "par", "511.920013427734",
        "rlb"};
    expected.insert(expected.end(), records.begin(), records.end());
    EXPECT_EQ(fileLines(dir / "startfile.cir"), expected);
}

TEST_F(Export, OneCrystal)
{
    design();
    w.fields[Field::CrystalCount] = "1";
    click(&Designer::setBandwidthAndOrder);
    click(&Designer::saveDefaultFile);
    std::vector<std::string> expected = header("5");
    const std::vector<std::string> records{"cap", "par", "142.339996337891", "xtl", "ser", "0",
                                           "cap", "ser", "99999",            "cap", "par", "511.920013427734", "rlb"};
    expected.insert(expected.end(), records.begin(), records.end());
    EXPECT_EQ(fileLines(dir / "startfile.cir"), expected);
}

TEST_F(Export, SweepIsWrittenFromSingleValues)
{
    design();
    w.fields[Field::Bandwidth] = "333";
    click(&Designer::setBandwidthAndOrder);
    click(&Designer::saveDefaultFile);
    const std::vector<std::string> lines = fileLines(dir / "startfile.cir");
    // 0.05 * 333 is 16.65 only before it is rounded to single precision.
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 9, lines.begin() + 13),
              (std::vector<std::string>{"-666", "1332", "16.6499996185303", "333"}));
}

TEST_F(Export, NotReadyWritesNothing)
{
    for (const char* ct1 : {".001", "0.01", "-5"}) {
        w.events.clear();
        w.fields[Field::TuningC1] = ct1;
        click(&Designer::saveDefaultFile);
        EXPECT_EQ(w.events, (std::vector<std::string>{"beep", "message:Warning -- no file saved.  Some steps are missing."}))
            << ct1;
        w.events.clear();
        w.dialogAnswer = (dir / "chosen.cir").string();
        click(&Designer::saveAs);
        EXPECT_EQ(w.events, (std::vector<std::string>{"message:Warning -- no file saved.  Some steps are missing."}));
    }
    EXPECT_TRUE(fs::is_empty(dir));

    // A CT1 typed by hand is enough: the rest is what the state holds.
    w.fields[Field::TuningC1] = "0.0101";
    click(&Designer::saveDefaultFile);
    EXPECT_TRUE(fs::exists(dir / "startfile.cir"));
}

TEST_F(Export, FieldsAreReadAtSaveTime)
{
    design();
    w.fields[Field::TuningC2] = "1234.5";  // a tuning capacitor reaches the file at once
    w.fields[Field::CouplingC12] = "1";  // a coupling capacitor only after step 6 again
    w.dialogAnswer = (dir / "chosen.cir").string();
    click(&Designer::saveAs);
    EXPECT_EQ(w.events, (std::vector<std::string>{"beep", "message:Circuit saved for analysis with Sorvel.exe"}));
    const std::vector<std::string> lines = fileLines(dir / "chosen.cir");
    EXPECT_EQ(lines[32], "1234.5");
    EXPECT_EQ(lines[26].substr(0, 6), "338.82");

    w.events.clear();
    w.fields[Field::TuningC10] = "x";
    click(&Designer::saveAs);
    EXPECT_EQ(w.events, (std::vector<std::string>{"beep", "message:'x' is not a valid floating point value"}));
    EXPECT_EQ(fileLines(dir / "chosen.cir")[32], "1234.5");
}

TEST_F(Export, OrdersTheTablesCannotHoldWriteNothing)
{
    design();
    for (const char* n : {"0", "11"}) {
        w.fields[Field::CrystalCount] = n;
        click(&Designer::setBandwidthAndOrder);
        w.events.clear();
        click(&Designer::saveDefaultFile);
        EXPECT_EQ(w.events, (std::vector<std::string>{"beep", "message:Warning -- no file saved.  N must be from 1 to 10."}));
    }
    EXPECT_FALSE(fs::exists(dir / "startfile.cir"));
}

TEST_F(Export, SweepBeyondTheSingleRangeWritesNothing)
{
    design();
    {
        std::ofstream old(dir / "startfile.cir");
        old << "old\r\n";
    }
    // Step 2 stores B before its centre frequency overflows; the sweep lines are then -2B
    // (past the range for 2e38) and 4B (for 1e38).
    for (const char* b : {"2e38", "1e38"}) {
        w.fields[Field::Bandwidth] = b;
        click(&Designer::setBandwidthAndOrder);
        w.events.clear();
        click(&Designer::saveDefaultFile);
        EXPECT_EQ(w.events, (std::vector<std::string>{"beep", "beep", "message:Floating point overflow"})) << b;
        EXPECT_EQ(slurp(dir / "startfile.cir"), "old\r\n") << b;
    }
}

TEST_F(Export, AFailedWriteKeepsTheOldFile)
{
    design();
    {
        std::ofstream old(dir / "startfile.cir");
        old << "old\r\n";
    }
    // The directory cannot take the new file: the old one stays and no success is claimed.
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    const bool rootIgnoresPermissions = ::access(dir.c_str(), W_OK) == 0;
    click(&Designer::saveDefaultFile);
    fs::permissions(dir, fs::perms::owner_all);
    if (!rootIgnoresPermissions) {
        EXPECT_EQ(w.events, (std::vector<std::string>{"beep", "beep", "message:Permission denied"}));
        EXPECT_EQ(slurp(dir / "startfile.cir"), "old\r\n");
    }

    // A name that cannot be replaced by a file (a non-empty directory).
    w.events.clear();
    fs::create_directories(dir / "taken.cir" / "inside");
    w.dialogAnswer = (dir / "taken.cir").string();
    click(&Designer::saveAs);
    ASSERT_EQ(w.events.size(), 2u);
    EXPECT_EQ(w.events[0], "beep");
    EXPECT_NE(w.events[1], "message:Circuit saved for analysis with Sorvel.exe");
    EXPECT_TRUE(fs::is_directory(dir / "taken.cir" / "inside"));
    // No temporary file is left behind.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir))
        ++entries;
    EXPECT_EQ(entries, 2);
}

}  // namespace
