// Designs saved and opened again, results marked out of date after an input changes, and
// files named on the command line.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <fstream>

#include "designer/core/memory_port.h"
#include "tests/support/file_support.h"
#include "tests/support/mirabo_app_support.h"

namespace {

using design::Field;
using DesignFiles = RunningMirabo;

bool greyed(QLineEdit* e)
{
    return e->palette().color(QPalette::Text) != QApplication::palette(e).color(QPalette::Text);
}

TEST_F(DesignFiles, ADesignSavedOpensAgainAsItWasTyped)
{
    field(Field::Bandwidth)->setText("500");
    field(Field::CrystalCount)->setText("6");
    field(Field::K12)->setText("0.8");
    design("2000");
    app->state.setFsHz = {9999990, 9999996, 10000002, 10000010, 10000040, 10000041};
    const QString file = path("mine.mirabo");
    ui::chooseDesignFile = [&](QWidget*, bool save) {
        EXPECT_TRUE(save);
        return std::optional<QString>(file);
    };
    app->main.saveDesign->trigger();
    ASSERT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();
    EXPECT_NE(slurp(file.toStdString()).find("bandwidth_hz=500\r\n"), std::string::npos);

    // A fresh Mirabo opens it: the typed fields and the set, no results.
    app = std::make_unique<MiraboApp>();
    app->start();
    ui::chooseDesignFile = [&](QWidget*, bool save) {
        EXPECT_FALSE(save);
        return std::optional<QString>(file);
    };
    app->main.openDesign->trigger();
    ASSERT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();
    EXPECT_EQ(field(Field::Bandwidth)->text(), "500");
    EXPECT_EQ(field(Field::CrystalCount)->text(), "6");
    EXPECT_EQ(field(Field::EndR)->text(), "2000");
    EXPECT_EQ(field(Field::EndC1)->text(), "--------");
    EXPECT_EQ(app->state.setFsHz.size(), 6u);
    EXPECT_NE(app->matchedSet.status->text().indexOf("6 crystals"), -1);
    // The refresh on showing the main window again keeps what was opened.
    app->showHelp();
    app->showMainFromHelp();
    EXPECT_EQ(field(Field::CrystalCount)->text(), "6");
    EXPECT_EQ(field(Field::K12)->text().toDouble(), 0.8);
    design("2000");
    EXPECT_EQ(messages.size(), 0) << messages.join("|").toStdString();
    EXPECT_TRUE(app->realized.isVisible());

    // A file that is no design changes nothing and names itself.
    const QString before = field(Field::TuningC2)->text();
    std::ofstream(path("bad.mirabo").toStdString()) << "mirabo-design 1\nbandwidth_hz=250\ncolour=red\n";
    app->openDesignFrom(path("bad.mirabo"));
    EXPECT_EQ(messages, QStringList{"line 3: unknown entry 'colour'\nbad.mirabo"});
    EXPECT_EQ(field(Field::Bandwidth)->text(), "500");
    EXPECT_EQ(field(Field::TuningC2)->text(), before);
}

TEST_F(DesignFiles, ResultsAreOutOfDateAfterAnInputChangesUntilComputedAgain)
{
    design();
    ASSERT_TRUE(app->realized.isVisible());
    EXPECT_FALSE(greyed(field(Field::EndC1)));
    EXPECT_FALSE(app->realized.outOfDate->isVisibleTo(&app->realized));

    // Typing in an input greys every result and marks the response.
    field(Field::Bandwidth)->setFocus();
    field(Field::Bandwidth)->selectAll();
    QTest::keyClicks(field(Field::Bandwidth), "300");
    EXPECT_TRUE(greyed(field(Field::EndC1)));
    EXPECT_TRUE(greyed(field(Field::TuningC10)));
    EXPECT_FALSE(greyed(field(Field::Bandwidth)));
    EXPECT_TRUE(app->realized.outOfDate->isVisibleTo(&app->realized));
    EXPECT_EQ(app->realized.windowTitle(), "Realized response (out of date)");

    // The steps again: every result and the response belong to the inputs once more.
    design();
    for (Field f : computedDesignFields())
        EXPECT_FALSE(greyed(field(f))) << static_cast<int>(f);
    EXPECT_FALSE(app->realized.outOfDate->isVisibleTo(&app->realized));
    EXPECT_EQ(app->realized.windowTitle(), "Realized response");

    // "Use these values" and a matched set are input changes too; a refresh is not.
    app->useCrystalValues({{Field::CrystalQ, "150000"}});
    EXPECT_TRUE(greyed(field(Field::EndCn)));
    design();
    app->showHelp();
    app->showMainFromHelp();
    EXPECT_FALSE(greyed(field(Field::EndCn)));
    app->matchedSet.clearSet();
    EXPECT_TRUE(greyed(field(Field::EndCn)));
}

TEST_F(DesignFiles, AFileOnTheCommandLineOpensWhereItIsRead)
{
    std::ofstream(path("batch.csv").toStdString()) << "name,fs_hz\nA,10000040\nB,9999990\n";
    app->openArgument(path("batch.csv"));
    EXPECT_TRUE(app->matchedSet.isVisible());
    EXPECT_EQ(app->matchedSet.table->rowCount(), 2);

    std::ofstream(path("x1.s2p").toStdString()) << "# Hz S DB R 50\n1e7 -20 0 -1 0 -1 0 -20 0\n";
    app->openArgument(path("x1.s2p"));
    EXPECT_TRUE(app->measure.isVisible());
    ASSERT_EQ(messages.size(), 1) << "one point is no crystal";

    app->openArgument(path("notes.odt"));
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages.last().endsWith("not notes.odt.")) << messages.last().toStdString();
}

}  // namespace
