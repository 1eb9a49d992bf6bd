#include <gtest/gtest.h>

#include "tests/support/circuit_test_support.h"

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

// Each test gets a fresh directory holding a two-part circuit swept 1 to 21 MHz.
class Commands : public testing::Test {
protected:
    void SetUp() override
    {
        circuittest::writeBytes(small, circuittest::crlf({"2", "250", "50", "50", "0", "1", "21", "2", "3", "60",
                                                          "5", "cap", "par", "100", "rlb"}));
    }

    circuittest::TempDir scratch;
    fs::path dir = scratch.path();
    std::string small = scratch.file("small.cir");
};

TEST_F(Commands, ActivationBeepsPlotsTheOriginalSweepThenReadsTheFile)
{
    FakeWindow w;
    Analyser a{w};
    a.circuitfile = small;
    a.view.plotenabled = true;
    a.run([&] { a.activate(); });
    EXPECT_TRUE(w.messages.empty());
    EXPECT_EQ(Lines(w.log.begin(), w.log.begin() + 6),
              (Lines{"beep", "text DbPerDiv=10.000", "text BottomDb=-100.000", "text StartFreq=0.000",
                     "text StopFreq=30.000", "text FreqPerDiv=2.000"}));
    EXPECT_EQ(w.plots(), 1);
    // The reader's erase uncovers the hint; nothing is drawn for the circuit just read.
    const int shown = w.at("hint shown");
    EXPECT_EQ(w.log[shown + 1], "rect 50,40 450,340");
    EXPECT_GT(w.at("memo clear"), shown);
    EXPECT_TRUE(w.hint);
    EXPECT_FALSE(a.view.plotenabled);
    EXPECT_EQ((Lines{w.text(Field::StartFreq), w.text(Field::StopFreq), w.text(Field::BottomDb),
                     w.text(Field::DbPerDiv), w.text(Field::FreqPerDiv)}),
              (Lines{"1.00", "21.00", "-60.00", "5.00", "3.00"}));

    // Changes since the file was read are lost at the next activation.
    a.circuit.part(1).partvalue = 7;
    a.run([&] { a.activate(); });
    EXPECT_EQ(a.circuit.part(1).partvalue, 100);
}

TEST_F(Commands, ActivationErrorsEndTheHandlerWhereTheyHappen)
{
    // A missing file: the original sweep stays in the fields, plotenabled is not cleared.
    FakeWindow w;
    Analyser a{w};
    a.circuitfile = (dir / "missing.cir").string();
    a.view.plotenabled = true;
    a.run([&] { a.activate(); });
    EXPECT_EQ(w.messages, Lines{"File not found"});
    EXPECT_TRUE(a.view.plotenabled);
    EXPECT_EQ(w.text(Field::StopFreq), "30.000");
    EXPECT_EQ(a.circuit.part(1).partcode, kNoPart);

    // A circuit in memory that cannot be plotted: the file is not read at all.
    FakeWindow v;
    Analyser b{v};
    b.circuitfile = small;
    b.circuit.loadr = 0;
    b.run([&] { b.activate(); });
    EXPECT_EQ(v.messages, Lines{"Floating point division by zero"});
    EXPECT_EQ(v.at("memo clear"), -1);
    EXPECT_EQ(b.circuit.partcount, 10);
}

TEST_F(Commands, OpenPlotsTheOldCircuitThenReadsTheWholeChosenName)
{
    Plotted t;
    const auto texts = t.w.texts;
    t.run(&Analyser::openCircuit);  // cancelled: nothing changes
    EXPECT_EQ(t.w.log, Lines{"open dialog"});
    EXPECT_EQ(t.w.texts, texts);
    EXPECT_TRUE(t.a.view.plotenabled);

    t.w.openChoice = small;
    t.run(&Analyser::openCircuit);
    EXPECT_LT(t.w.at("text StopFreq=30.000"), t.w.at("rect 50,40 450,345"));
    EXPECT_EQ(t.w.plots(), 1);
    EXPECT_EQ(t.w.text(Field::CircuitFile), "startfile.cir");  // until the next plot
    EXPECT_EQ(t.w.text(Field::StopFreq), "21.00");
    EXPECT_EQ(t.a.circuitfile, small);
    EXPECT_FALSE(t.a.view.plotenabled);

    std::string longName = dir.string();
    while (longName.size() < 300)
        longName += "/sub";
    t.w.openChoice = longName;
    t.w.forget();
    t.run(&Analyser::openCircuit);
    EXPECT_EQ(t.a.circuitfile, small);  // a name that cannot be read is not taken
    EXPECT_EQ(t.w.messages, Lines{"File not found"});
}

// A tuned circuit survives opening a wrong file: nothing held or shown changes, and the
// message says where the file went wrong.
TEST_F(Commands, FailedOpenLosesNothing)
{
    Plotted t;
    t.a.circuit.part(1).partvalue = 123.5;
    t.a.circuit.partcount = 1;
    const std::string before = circuitText(t.a.circuit);
    const std::string notes = scratch.file("notes.cir"), empty = scratch.file("empty.cir"),
                      late = scratch.file("late.cir");
    circuittest::writeBytes(notes, "# Notes\r\nnothing here\r\n");
    circuittest::writeBytes(empty, "");
    circuittest::writeBytes(late, circuittest::crlf({"2", "250", "50", "50", "0", "1", "21", "2", "3", "60",
                                                      "5", "cap", "par", "ten"}));
    const std::pair<std::string, std::string> cases[] = {
        {notes, "'# Notes' is not a valid integer value\nnotes.cir, line 1"},
        {empty, "'' is not a valid integer value\nempty.cir, line 1"},
        {late, "'ten' is not a valid floating point value\nlate.cir, line 14"},
        {scratch.file("missing.cir"), "File not found"},
    };
    const auto texts = t.w.texts;
    for (const auto& [file, message] : cases) {
        SCOPED_TRACE(file);
        t.w.forget();
        t.w.openChoice = file;
        t.run(&Analyser::openCircuit);
        EXPECT_EQ(t.w.messages, Lines{message});
        EXPECT_EQ(t.w.log, (Lines{"open dialog", "message " + message}));  // nothing drawn or cleared
        EXPECT_EQ(t.w.texts, texts);
        EXPECT_EQ(circuitText(t.a.circuit), before);
        EXPECT_EQ(t.a.circuitfile, "startfile.cir");
        EXPECT_TRUE(t.a.view.plotenabled);
        EXPECT_TRUE(t.a.circuitPlotted);
    }

    // The next activation still reads the old name; a good file then replaces everything.
    t.w.openChoice = small;
    t.run(&Analyser::openCircuit);
    EXPECT_EQ(t.a.circuitfile, small);
    EXPECT_EQ(t.a.circuit.part(1).partvalue, 100);
    EXPECT_FALSE(t.a.circuitPlotted);
    t.plot();
    EXPECT_TRUE(t.a.circuitPlotted);
}

TEST_F(Commands, ActivationReadKeepsWhatWasReadAndNamesThePlace)
{
    const std::string late = scratch.file("late.cir");
    circuittest::writeBytes(late, circuittest::crlf({"2", "250", "50", "50", "0", "1", "21", "2", "3", "60",
                                                      "5", "cap", "par", "100", "res", "ser", "x"}));
    FakeWindow w;
    Analyser a{w};
    a.circuitfile = late;
    a.run([&] { a.activate(); });
    EXPECT_EQ(w.messages, Lines{"'x' is not a valid floating point value\nlate.cir, line 17"});
    EXPECT_EQ(a.circuit.part(1).partvalue, 100);  // read before the failure, kept as always
    EXPECT_EQ(w.text(Field::StopFreq), "21.00");
    EXPECT_FALSE(a.circuitReadWhole);
    a.circuitfile = small;
    a.run([&] { a.activate(); });
    EXPECT_TRUE(a.circuitReadWhole);
}

TEST_F(Commands, SaveAsWritesTheZoomedSweepWhichReadsBackAsTheOriginal)
{
    Plotted t;
    t.run(&Analyser::saveCircuitAs);  // cancelled
    EXPECT_EQ(t.w.log, Lines{"save dialog"});

    t.drag(150, 100, 250, 190);
    t.w.saveChoice = t.w.openChoice = (dir / "zoomed.cir").string();
    t.w.forget();
    t.run(&Analyser::saveCircuitAs);
    EXPECT_EQ(t.w.log, Lines{"save dialog"});  // nothing redrawn
    EXPECT_EQ(t.a.circuitfile, *t.w.saveChoice);
    t.run(&Analyser::openCircuit);
    t.run(&Analyser::zoomToOriginalSweep);
    EXPECT_EQ(t.w.text(Field::StartFreq) + " " + t.w.text(Field::StopFreq) + " " + t.w.text(Field::BottomDb),
              "7.500 15.000 -50.0");
    EXPECT_TRUE(t.w.messages.empty());
}

// Save as Default writes "startfile.cir" in the working directory and closes; if the
// write fails the window stays open, the name already changed.
TEST_F(Commands, SaveAsDefaultAndExit)
{
    const fs::path old = fs::current_path();
    fs::current_path(dir);
    for (bool blocked : {false, true}) {
        if (blocked)
            fs::create_directory(dir / "startfile.cir");
        FakeWindow w;
        Analyser a{w};
        a.circuitfile = small;
        a.run([&] { a.saveAsDefaultAndExit(); });
        EXPECT_EQ(w.messages.size(), blocked ? 1u : 0u);
        EXPECT_EQ(w.at("close") >= 0, !blocked);
        EXPECT_EQ(a.circuitfile, "startfile.cir");
        fs::remove_all(dir / "startfile.cir");
    }
    fs::current_path(old);

    FakeWindow w;
    Analyser a{w};
    a.run([&] { a.quit(); });
    a.run([&] { a.showAbout(); });
    EXPECT_EQ(w.log, (Lines{"close", "about"}));
}

}  // namespace
