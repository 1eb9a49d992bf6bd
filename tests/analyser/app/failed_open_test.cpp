// A circuit named on the command line plots at once; a file that fails to open costs
// nothing on screen; the Response window never shows a circuit that is not plotted.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QTableWidget>

#include "analyser/app/start_circuit.h"
#include "tests/support/app_test_support.h"

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(NamedCircuit, PlotsAtOnceAndAFailedOpenKeepsThePicture)
{
    QTemporaryDir elsewhere;
    const QString named = elsewhere.filePath("named.cir");
    QFile::copy(QString(TEST_DATA_DIR) + "/startfile.cir", named);
    RunningSorvel s(false, [&](SorvelApp& app) {
        startSorvel(app, chooseStartCircuit(named.toStdString(), {}));
    });
    EXPECT_TRUE(s.messages.empty());
    EXPECT_FALSE(s.hintShown()) << "plotted without a click";
    EXPECT_TRUE(s.app().analyser().circuitPlotted);
    const QImage plotted = s.screen();

    // A text file named .cir: the message names file and line; picture and fields stay.
    writeFile(s.path("notes.cir"), "# Notes\n");
    s.openAnswers.push_back(s.path("notes.cir").toStdString());
    s.main().action(Command::OpenCircuit)->trigger();
    ASSERT_EQ(s.messages.size(), 1u);
    EXPECT_EQ(s.messages[0], "'# Notes' is not a valid integer value\nnotes.cir, line 1");
    EXPECT_EQ(s.screen(), plotted);
    EXPECT_EQ(s.app().analyser().circuitfile, named.toStdString());

    // Shown again (back from About): the old file is read, no new message.
    s.main().hide();
    s.main().show();
    ASSERT_TRUE(s.waitForActivations(2));
    EXPECT_EQ(s.messages.size(), 1u);
}

TEST(NamedCircuit, ResponseWindowWaitsForThePlotOfACircuitRead)
{
    RunningSorvel s;
    s.clickControl(Command::Plot);
    s.main().action(Command::ShowResponse)->trigger();
    ResponseWindow& r = s.app().responseWindow();
    EXPECT_GT(r.readouts()->rowCount(), 0);

    s.openAnswers.push_back(s.path("startfile.cir").toStdString());
    s.main().action(Command::OpenCircuit)->trigger();
    r.show();
    s.app().updateResponse();
    EXPECT_EQ(r.readouts()->rowCount(), 0) << "the old circuit's readouts are gone";
    EXPECT_TRUE(r.status()->text().startsWith("Not plotted yet")) << r.status()->text().toStdString();
    EXPECT_TRUE(r.reportText().isEmpty());

    s.clickControl(Command::Plot);
    EXPECT_GT(r.readouts()->rowCount(), 0);
    EXPECT_TRUE(r.status()->text().isEmpty());
    r.close();
}

}  // namespace
