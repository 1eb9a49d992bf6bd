// Sorvel driven through its real widgets: clicks on controls and on the window's surface,
// fields read back, and the picture read from a grab of the client area.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>

#include "tests/support/app_test_support.h"

namespace {

using Lines = std::vector<std::string>;

// Sample file: 7-pole low-pass, 0 to 30 MHz at 2 MHz per division, 0 to -80 dB at 10 dB
// per division: grid lines every 38 pixels down (37.5 rounds to even) and 27 across.
constexpr QPoint kOnVerticalGridLine{77, 320};
constexpr QPoint kBlueSurface{700, 560};
const QColor kRed(255, 0, 0);

TEST(SorvelStart, ActivationBeepsReadsTheStartFileAndLeavesThePlotAreaEmpty)
{
    RunningSorvel s;
    EXPECT_EQ(s.beeps, 1);
    EXPECT_TRUE(s.messages.empty());
    EXPECT_EQ((Lines{s.field(Field::StartFreq), s.field(Field::StopFreq), s.field(Field::BottomDb)}),
              (Lines{"0.00", "30.00", "-80.00"}));
    EXPECT_TRUE(s.hintShown());
    EXPECT_EQ(s.pixel(kOnVerticalGridLine), kWhiteColour) << "the file read erased the plot";
    EXPECT_EQ(s.pixel(kBlueSurface), kBackground);
}

TEST(SorvelStart, MissingStartFileIsReportedOnceAndTheWindowStaysUsable)
{
    RunningSorvel s(false);
    EXPECT_EQ(s.messages, Lines{"File not found"});
    EXPECT_TRUE(s.main().isVisible());
    s.clickControl(Command::Plot);
    EXPECT_EQ(s.messages.size(), 1u);
}

TEST(SorvelPlot, ClickOnTheSurfacePlotsAndTheSwitchesRedraw)
{
    RunningSorvel s;
    s.clickSurface(kBlueSurface);
    EXPECT_TRUE(s.messages.empty());
    EXPECT_FALSE(s.hintShown());
    const QImage screen = s.screen();
    EXPECT_EQ(screen.pixelColor(kOnVerticalGridLine), kGreen);
    EXPECT_EQ(screen.pixelColor(50, 78), kGreen);  // second horizontal grid line
    EXPECT_EQ(screen.pixelColor(65, 330), kWhiteColour);
    EXPECT_EQ(screen.pixelColor(130, 25), kRed);  // S21 legend line
    EXPECT_GT(countInPlot(screen, kRed), 400);    // the S21 trace
    EXPECT_GT(countInPlot(screen, kBlue), 100);
    EXPECT_EQ((Lines{s.field(Field::CircuitFile), s.field(Field::FreqUnit), s.field(Field::BottomDb)}),
              (Lines{"startfile.cir", "MHz", "-80.0"}));

    s.clickControl(Check::PlotS11);  // "Plot S11 " off
    EXPECT_FALSE(qobject_cast<QCheckBox*>(s.main().control(Check::PlotS11))->isChecked());
    EXPECT_EQ(countInPlot(s.screen(), kBlue), 0);
}

TEST(SorvelPlot, PictureIsKeptWhenTheWindowIsRepainted)
{
    RunningSorvel s;
    s.clickControl(Command::Plot);
    s.client().repaint();
    s.main().hide();
    s.main().show();  // an activation: it erases the plot area again
    ASSERT_TRUE(s.waitForActivations(2));
    EXPECT_EQ(s.pixel({130, 25}), kRed) << "the legend lies outside the erased area";
    EXPECT_TRUE(s.hintShown());
}

TEST(SorvelMouse, PressClickReleaseOrderLetsTheFirstClickArmTheMouse)
{
    RunningSorvel s;
    QTest::mouseMove(&s.client(), {120, 200});
    EXPECT_EQ(s.field(Field::PointerX), defaultText(Field::PointerX)) << "moves do nothing before a plot";
    // The press finds the mouse not yet armed; the click plots and arms it; the release
    // then replots and unchecks "Plot Reference ".
    auto* reference = qobject_cast<QCheckBox*>(s.main().control(Check::PlotReference));
    reference->setChecked(true);
    QTest::mouseClick(&s.client(), Qt::LeftButton, {}, {120, 200});
    EXPECT_FALSE(reference->isChecked());
    QTest::mouseMove(&s.client(), {123, 210});
    EXPECT_EQ(s.field(Field::PointerX) + " " + s.field(Field::PointerY), "123 210");
}

// Only a left press and release on the surface itself is a click on the window; a label
// is part of the surface, so the hint's own invitation works.
TEST(SorvelMouse, WhatCountsAsAClickOnTheWindow)
{
    RunningSorvel s;
    QTest::mouseClick(&s.client(), Qt::RightButton, {}, kBlueSurface);
    EXPECT_TRUE(s.hintShown());
    QTest::mouseClick(s.main().control(Memo::Listing), Qt::LeftButton);
    EXPECT_TRUE(s.hintShown());
    QTest::mouseClick(s.main().control(GroupBox::ValueTune), Qt::LeftButton, {}, {5, 45});
    EXPECT_TRUE(s.hintShown());
    QTest::mouseClick(s.main().control(Label::PlotHint), Qt::LeftButton);
    EXPECT_FALSE(s.hintShown());
}

TEST(SorvelEditing, ReviewAndValueEditorFillTheMemo)
{
    RunningSorvel s;
    s.clickControl(Command::ReviewCircuit);
    Lines lines = s.memoLines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 2), (Lines{"0  Load R = 50.0", "1  cap  par  376.0000"}));
    s.type(Field::EntryNumber, "98");
    s.type(Field::NewValue, "75");
    s.clickControl(Command::LoadNewValue);
    lines = s.memoLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "98  Source R = 75.0"), lines.end());
    EXPECT_FALSE(s.hintShown());
}

// "Return to program" and the About window's own close button both bring the main
// window back, which runs the activation again.
TEST(SorvelWindows, AboutAndBackRunsTheActivationAgain)
{
    for (bool closeButton : {false, true}) {
        RunningSorvel s;
        AboutWindow& about = s.app().aboutWindow();
        s.main().action(Command::ShowAbout)->trigger();
        EXPECT_FALSE(s.main().isVisible());
        EXPECT_TRUE(about.isVisible());
        if (closeButton)
            about.close();
        else
            QTest::mouseClick(about.control(Command::ReturnToProgram), Qt::LeftButton);
        EXPECT_FALSE(about.isVisible());
        EXPECT_TRUE(s.main().isVisible());
        EXPECT_TRUE(s.waitForActivations(2));
    }
}

// The "exit" button and the File menu's Exit end the program alike, writing nothing.
TEST(SorvelWindows, ExitButtonAndMenuBothClose)
{
    for (bool menu : {false, true}) {
        RunningSorvel s;
        QFile::remove(s.path("startfile.cir"));
        if (menu)
            s.main().action(Command::Quit)->trigger();
        else
            s.clickControl(Command::QuitButton);
        EXPECT_FALSE(s.main().isVisible()) << (menu ? "menu" : "button");
        EXPECT_FALSE(QFile::exists(s.path("startfile.cir")));
    }
}

TEST(SorvelWindows, WindowActivationWithoutAShowRunsNothing)
{
    RunningSorvel s;
    // Closing a message box or switching back from another program activates the
    // window but does not show it.
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&s.main(), &activate);
    QTest::qWait(20);
    EXPECT_EQ(s.beeps, 1);
}

TEST(SorvelFiles, ZoomSaveAsThenOpenReadsTheZoomedSweep)
{
    RunningSorvel s;
    s.clickControl(Command::Plot);
    s.drag({150, 100}, {250, 190});
    EXPECT_EQ((Lines{s.field(Field::StartFreq), s.field(Field::StopFreq), s.field(Field::FreqPerDiv),
                     s.field(Field::BottomDb)}),
              (Lines{"7.5000", "15.0000", "1.5000", "-40.0"}));  // -|150 * -80 / 300|
    const std::string saved = s.path("zoomed.cir").toStdString();
    s.saveAnswers.push_back(saved);
    s.main().action(Command::SaveCircuitAs)->trigger();
    ASSERT_TRUE(QFile::exists(QString::fromStdString(saved)));

    s.clickControl(Command::ZoomToOriginalSweep);  // back to the original sweep
    EXPECT_EQ(s.field(Field::StopFreq), "30.000");
    s.openAnswers.push_back(saved);
    s.main().action(Command::OpenCircuit)->trigger();
    EXPECT_TRUE(s.messages.empty());
    EXPECT_EQ(s.field(Field::StartFreq) + " " + s.field(Field::StopFreq), "7.50 15.00");
    EXPECT_TRUE(s.hintShown());
}

TEST(SorvelFiles, SaveAsDefaultWritesStartFileAndCloses)
{
    RunningSorvel s;
    QFile::remove(s.path("startfile.cir"));
    s.clickControl(Command::SaveAsDefaultAndExit);
    EXPECT_TRUE(QFile::exists(s.path("startfile.cir")));
    EXPECT_FALSE(s.main().isVisible());
}

}  // namespace
