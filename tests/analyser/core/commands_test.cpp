#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "errors.h"
#include "fake_window.h"

namespace fs = std::filesystem;

namespace {

// A fresh directory per test, removed afterwards.
class CommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() /
              ("sorvel_commands_" + std::to_string(::getpid()) + "_" + info->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Writes lines with CR LF ends and returns the path.
    std::string write(const std::string& name, const std::vector<std::string>& lines)
    {
        const fs::path p = dir / name;
        std::ofstream f(p, std::ios::binary);
        for (const auto& l : lines)
            f << l << "\r\n";
        return p.string();
    }
    // Two parts, sweep 1 to 21 MHz, 3 per division, -60 dB at 5 dB per division.
    std::string smallCircuit(const std::string& name = "small.cir")
    {
        return write(name, {"2", "250", "50", "50", "0", "1", "21", "2", "3", "60", "5",
                            "cap", "par", "100", "rlb"});
    }

    fs::path dir;
};

// Runs the body with the working directory switched, and always switches back.
class InDirectory {
public:
    explicit InDirectory(const fs::path& p) : old_(fs::current_path()) { fs::current_path(p); }
    ~InDirectory() { fs::current_path(old_); }

private:
    fs::path old_;
};

TEST(StartUp, SetsTheDefaultsAndTouchesNoWindow)
{
    FakeWindow w;
    Analyser a{w};
    EXPECT_TRUE(w.log.empty());
    for (int i = 0; i < kSweepPoints; ++i) {
        EXPECT_EQ(a.refx[i], 1);
        EXPECT_EQ(a.refy[i], 1);
    }
    std::vector<int> codes;
    for (int i = 1; i <= a.model.partcount; ++i)
        codes.push_back(a.model.part(i).partcode);
    EXPECT_EQ(codes, (std::vector<int>{1, 1, 2, 1, 1, 12, 11, 1, 1, 6}));
    EXPECT_EQ(a.model.circuitfile, "startfile.cir");
    EXPECT_FALSE(a.plotenabled || a.dragging || a.boxvalid || a.sweepsaved || a.placingcursor);
    EXPECT_FALSE(a.model.tunepending);
    EXPECT_TRUE(a.model.tuneup);
}

TEST(StartUp, RunShowsAnErrorAndTheProgramGoesOn)
{
    FakeWindow w;
    Analyser a{w};
    a.run([] { throw FileError::notFound(); });
    a.run([&] { a.Button4Click(); });
    EXPECT_EQ(w.messages, std::vector<std::string>{"File not found"});
    EXPECT_FALSE(w.memos["Memo2"].empty());
}

TEST_F(CommandsTest, ActivationBeepsPlotsTheOriginalSweepThenReadsTheFile)
{
    FakeWindow w;
    Analyser a{w};
    a.model.circuitfile = smallCircuit();
    a.plotenabled = true;
    a.run([&] { a.Button6Click(); });
    EXPECT_TRUE(w.messages.empty());
    EXPECT_EQ(w.beeps, 1);
    EXPECT_EQ(w.log[0], "beep");
    const std::vector<std::string> zoomout(w.log.begin() + 1, w.log.begin() + 6);
    EXPECT_EQ(zoomout, (std::vector<std::string>{"text Edit8=10.000", "text Edit7=-100.000", "text Edit2=0.000",
                                                  "text Edit3=30.000", "text Edit9=2.000"}));
    // The default circuit is plotted over 0..30, then the reader erases the plot area.
    EXPECT_EQ(w.plots(), 1);
    const int shown = w.at("hint shown");
    ASSERT_GT(shown, w.at("hint hidden"));
    EXPECT_EQ(w.log[shown + 1], "rect 50,40 450,340");
    EXPECT_TRUE(w.hintVisible);
    EXPECT_GT(w.at("memo clear Memo2"), shown);
    EXPECT_FALSE(a.plotenabled);
    for (auto [field, text] : {std::pair{"Edit2", "1.00"}, {"Edit3", "21.00"}, {"Edit7", "-60.00"},
                               {"Edit8", "5.00"}, {"Edit9", "3.00"}, {"Edit14", "MHz"}})
        EXPECT_EQ(w.text(field), text) << field;
    EXPECT_EQ(a.model.partcount, 2);

    // Until the next Plot the mouse does nothing.
    w.forget();
    a.run([&] { a.FormMouseMove(150, 100); });
    a.run([&] { a.FormMouseDown(); });
    a.run([&] { a.FormMouseUp(); });
    EXPECT_TRUE(w.log.empty());

    // A value changed since the file was read is lost at the next activation, which
    // plots over the file's original sweep first.
    a.model.part(1).partvalue = 7;
    w.forget();
    a.run([&] { a.Button6Click(); });
    EXPECT_EQ(a.model.part(1).partvalue, 100);
    EXPECT_GE(w.at("text Edit2=1.000"), 0);
}

TEST_F(CommandsTest, ActivationWithAMissingFileKeepsTheOriginalSweep)
{
    FakeWindow w;
    Analyser a{w};
    a.model.circuitfile = (dir / "missing.cir").string();
    a.plotenabled = true;
    a.run([&] { a.Button6Click(); });
    EXPECT_EQ(w.messages, std::vector<std::string>{"File not found"});
    EXPECT_EQ(w.beeps, 1);
    EXPECT_TRUE(a.plotenabled);  // the step after the read did not run
    EXPECT_TRUE(w.hintVisible);
    EXPECT_EQ(w.text("Edit2"), "0.000");
    EXPECT_EQ(w.text("Edit3"), "30.000");
    EXPECT_EQ(a.model.part(1).partcode, kNoPart);
}

TEST_F(CommandsTest, ActivationThatCannotPlotDoesNotReadTheFile)
{
    FakeWindow w;
    Analyser a{w};
    a.model.circuitfile = smallCircuit();
    a.model.loadr = 0;
    a.run([&] { a.Button6Click(); });
    EXPECT_EQ(w.messages, std::vector<std::string>{"Floating point division by zero"});
    EXPECT_EQ(w.at("memo clear Memo2"), -1);
    EXPECT_EQ(a.model.partcount, 10);
}

TEST_F(CommandsTest, OpenPlotsTheOldCircuitThenReadsTheChosenFile)
{
    PlottedAnalyser t;
    const Model before = t.a.model;
    const auto texts = t.w.texts;
    t.a.run([&] { t.a.Open1Click(); });  // cancelled
    EXPECT_EQ(t.w.log, std::vector<std::string>{"open dialog"});
    EXPECT_EQ(t.w.texts, texts);
    EXPECT_EQ(t.a.model.circuitfile, before.circuitfile);
    EXPECT_EQ(t.a.model.part(3).partvalue, before.part(3).partvalue);
    EXPECT_TRUE(t.a.plotenabled);

    t.w.openChoice = smallCircuit();
    t.a.run([&] { t.a.Open1Click(); });
    EXPECT_TRUE(t.w.messages.empty());
    EXPECT_EQ(t.w.plots(), 1);
    EXPECT_LT(t.w.at("text Edit3=30.000"), t.w.at("rect 50,40 450,345"));
    EXPECT_EQ(t.a.model.circuitfile, *t.w.openChoice);
    EXPECT_EQ(t.w.text("Edit1"), "startfile.cir");  // until the next plot
    EXPECT_EQ(t.w.text("Edit3"), "21.00");
    EXPECT_EQ(t.a.model.partcount, 2);
    EXPECT_FALSE(t.a.plotenabled);
    EXPECT_TRUE(t.w.hintVisible);
}

TEST_F(CommandsTest, OpenKeepsALongNameWhole)
{
    PlottedAnalyser t;
    std::string name = dir.string();
    while (name.size() < 300)
        name += "/sub";
    name += "/long.cir";
    t.w.openChoice = name;
    t.a.run([&] { t.a.Open1Click(); });
    EXPECT_EQ(t.a.model.circuitfile, name);
    EXPECT_EQ(t.w.messages, std::vector<std::string>{"File not found"});
}

TEST_F(CommandsTest, SaveAsWritesTheZoomedSweepWhichReadsBackAsTheOriginal)
{
    PlottedAnalyser t;
    t.a.run([&] { t.a.SaveAs1Click(); });  // cancelled
    EXPECT_EQ(t.w.log, std::vector<std::string>{"save dialog"});
    EXPECT_EQ(t.a.model.circuitfile, "startfile.cir");

    t.drag(150, 100, 250, 190);
    t.w.saveChoice = (dir / "zoomed.cir").string();
    t.w.forget();
    t.a.run([&] { t.a.SaveAs1Click(); });
    EXPECT_EQ(t.w.log, std::vector<std::string>{"save dialog"});  // nothing redrawn
    EXPECT_EQ(t.a.model.circuitfile, *t.w.saveChoice);
    ASSERT_TRUE(fs::exists(*t.w.saveChoice));

    t.w.openChoice = t.w.saveChoice;
    t.a.run([&] { t.a.Open1Click(); });
    EXPECT_EQ(t.a.model.origstart, 7.5);
    EXPECT_EQ(t.a.model.origstop, 15);
    EXPECT_EQ(t.a.model.origbottom, -50);
    t.a.run([&] { t.a.Button10Click(); });
    EXPECT_EQ(t.w.text("Edit2"), "7.500");
    EXPECT_EQ(t.w.text("Edit3"), "15.000");
    EXPECT_TRUE(t.w.messages.empty());
}

TEST_F(CommandsTest, SaveAsDefaultWritesStartfileAndCloses)
{
    InDirectory in(dir);
    FakeWindow w;
    Analyser a{w};
    a.model.circuitfile = "a.cir";
    a.run([&] { a.Button1Click(); });
    EXPECT_TRUE(w.messages.empty());
    EXPECT_TRUE(w.closed);
    EXPECT_TRUE(fs::exists(dir / "startfile.cir"));
    EXPECT_FALSE(fs::exists(dir / "a.cir"));
}

TEST_F(CommandsTest, SaveAsDefaultThatCannotWriteStaysOpenWithTheNameSet)
{
    InDirectory in(dir);
    fs::create_directory(dir / "startfile.cir");
    FakeWindow w;
    Analyser a{w};
    a.model.circuitfile = "a.cir";
    a.run([&] { a.Button1Click(); });
    EXPECT_EQ(w.messages.size(), 1u);
    EXPECT_FALSE(w.closed);
    EXPECT_EQ(a.model.circuitfile, "startfile.cir");
}

TEST(Shell, ExitClosesAndAboutOnlyShowsTheAboutWindow)
{
    for (int which = 0; which < 2; ++which) {
        FakeWindow w;
        Analyser a{w};
        a.run([&] { which ? a.Exit1Click() : a.Button13Click(); });
        EXPECT_EQ(w.log, std::vector<std::string>{"close"});
    }
    FakeWindow w;
    Analyser a{w};
    a.run([&] { a.AboutSorvel1Click(); });
    EXPECT_EQ(w.log, std::vector<std::string>{"about"});
}

}  // namespace
