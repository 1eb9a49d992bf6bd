// The measurement, export and image commands through the real menu, and the Response
// window's numbers after plots and tune steps.
#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineSeries>
#include <QSettings>
#include <QTableWidget>
#include <QValueAxis>

#include "tests/support/app_test_support.h"
#include "analyser/app/measurement_legend.h"
#include "analyser/app/plot_image.h"
#include "ladder/readouts/readouts.h"
#include "analyser/core/readout_display.h"
#include "analyser/app/start_circuit.h"

namespace {

const QColor kDarkOrange(210, 105, 0);

// Sorvel with its menu's file dialogs answered by the test.
struct Bench : RunningSorvel {
    std::deque<std::optional<std::string>> fileAnswers;
    Bench()
    {
        app().port().runChooseFile = [this](FileChoice) {
            auto a = fileAnswers.empty() ? std::nullopt : fileAnswers.front();
            if (!fileAnswers.empty())
                fileAnswers.pop_front();
            return a;
        };
    }
    void trigger(Command c) { main().action(c)->trigger(); }
    // The sample low-pass 6 dB lower, as measured: written by Export, read by Open.
    std::string exportLowered()
    {
        const std::string path = this->path("measured.s2p").toStdString();
        fileAnswers.push_back(path);
        trigger(Command::ExportTouchstone);
        Network n = readTouchstoneFile(path);
        for (auto* v : {&n.s21, &n.s12})
            for (auto& s : *v)
                s *= 0.5;
        saveTouchstone(path, n);
        return path;
    }
};

TEST(MeasurementMenu, OpenShowsTheTracesAndLegendClearRemovesThem)
{
    Bench s;
    s.clickControl(Command::Plot);
    const std::string file = s.exportLowered();
    s.fileAnswers.push_back(file);
    s.trigger(Command::OpenMeasurement);
    EXPECT_TRUE(s.messages.empty());
    EXPECT_GT(countInPlot(s.screen(), kDarkOrange), 300);
    MeasurementLegend* legend = s.main().measurementLegend();
    EXPECT_TRUE(legend->isVisible());
    EXPECT_TRUE(legend->showsS21() && legend->showsS11());
    // The legend row lies clear of every control.
    const QRect row = legend->geometry();
    for (const auto& [id, c] : s.main().controls()) {
        if (c->isVisible()) {
            EXPECT_FALSE(row.intersects(QRect(c->mapTo(s.main().client(), QPoint(0, 0)), c->size())))
                << c->objectName().toStdString();
        }
    }

    s.trigger(Command::ClearMeasurement);
    EXPECT_EQ(countInPlot(s.screen(), kDarkOrange), 0);
    EXPECT_FALSE(legend->isVisible());
}

TEST(MeasurementMenu, DroppedTouchstoneFilesOnly)
{
    const QList<QUrl> urls{QUrl::fromLocalFile("/data/a.cir"), QUrl::fromLocalFile("/data/Filter.S2P"),
                           QUrl::fromLocalFile("/data/b.s1p")};
    EXPECT_EQ(MainWindow::droppedMeasurement(urls), "/data/Filter.S2P");
    EXPECT_EQ(MainWindow::droppedMeasurement({QUrl::fromLocalFile("/data/x.s4p"), QUrl("https://host/y.s2p")}), "");
}

TEST(OutputMenu, PlotImageAsPngOrSvg)
{
    Bench s;
    s.clickControl(Command::Plot);
    const std::string png = s.path("plot.png").toStdString(), svg = s.path("plot.SVG").toStdString();
    s.fileAnswers = {png, svg};
    s.trigger(Command::SavePlotImage);
    s.trigger(Command::SavePlotImage);
    EXPECT_TRUE(s.messages.empty());
    QImage image(QString::fromStdString(png));
    ASSERT_EQ(image.size(), kPlotImageArea.size());
    // The frame's top-left corner and the red S21 legend line, as on screen.
    EXPECT_EQ(image.pixelColor(77 - kPlotImageArea.x(), 320), kGreen);
    EXPECT_EQ(image.pixelColor(150 - kPlotImageArea.x(), 25), QColor(255, 0, 0));
    QFile drawing(QString::fromStdString(svg));
    ASSERT_TRUE(drawing.open(QIODevice::ReadOnly));
    EXPECT_TRUE(drawing.readAll().contains("<svg"));
    EXPECT_TRUE(wantsSvg("a.Svg") && !wantsSvg("svg") && !wantsSvg("a.png"));
}

TEST(ResponseWindow, FollowsEveryPlotAndTuneStep)
{
    Bench s;
    s.type(Field::CursorFreq, "10");
    s.clickControl(Command::Plot);
    s.trigger(Command::ShowResponse);
    ResponseWindow& r = s.app().responseWindow();
    ASSERT_TRUE(r.isVisible());
    EXPECT_TRUE(SorvelApp::responseWasOpen());
    QTableWidget* table = r.readouts();
    ASSERT_EQ(table->rowCount(), 24);
    const Circuit& m = s.app().analyser().circuit;
    const Readouts expected = measureResponse(m, m.startfreq, m.stopfreq);
    auto cell = [&](int row, int col) { return table->item(row, col)->text().toStdString(); };
    EXPECT_EQ(cell(3, 0), "-3 dB upper edge");
    EXPECT_EQ(cell(3, 1), displayText(expected.bands[0].high, displayUnit("MHz", *expected.bands[0].high)));
    EXPECT_EQ(cell(3, 2), "none") << "no measurement";
    // The 1000-point delay curve end to end, with only the points that show at the chart's size.
    const QList<QPointF> delay = r.computedDelay()->points();
    ASSERT_GE(delay.size(), 2);
    EXPECT_LT(delay.size(), 1000);
    EXPECT_NEAR(delay.front().x(), m.startfreq, 1e-9);
    EXPECT_NEAR(delay.back().x(), m.stopfreq, (m.stopfreq - m.startfreq) / 1000 * 1.001);
    EXPECT_EQ(r.delayAxis()->titleText(), "Delay (ns)");
    EXPECT_TRUE(r.cursorReadout()->text().contains("Cursor 10 MHz"));

    // Each Up step moves the numbers at once.
    s.clickControl(Command::TuneUp);
    const Readouts tuned = measureResponse(m, m.startfreq, m.stopfreq);
    EXPECT_NE(tuned.bands[0].high, expected.bands[0].high);
    EXPECT_EQ(cell(3, 1), displayText(tuned.bands[0].high, displayUnit("MHz", *tuned.bands[0].high)));

    // With a measurement: side by side, and the difference of the 6 dB lower copy.
    s.fileAnswers.push_back(s.exportLowered());
    s.trigger(Command::OpenMeasurement);
    EXPECT_EQ(cell(1, 0), "Insertion loss");
    EXPECT_EQ(cell(1, 3), "6.02");
    EXPECT_GE(r.measuredDelay()->count(), 2);
    EXPECT_LT(r.measuredDelay()->count(), 999);

    r.copyToClipboard();
    EXPECT_EQ(QApplication::clipboard()->text(), r.reportText());
    EXPECT_TRUE(r.reportText().startsWith("quantity\tcomputed\tmeasured\tdifference\tunit\npeak_freq\t"));

    r.close();
    EXPECT_FALSE(SorvelApp::responseWasOpen());
}

TEST(ResponseWindow, ThinsTheDelayCurveAgainWhenItGrows)
{
    Bench s;
    s.clickControl(Command::Plot);
    s.trigger(Command::ShowResponse);
    ResponseWindow& r = s.app().responseWindow();
    QApplication::processEvents();
    const qsizetype small = r.computedDelay()->count();
    r.resize(1800, 2400);
    QApplication::processEvents();
    EXPECT_GT(r.computedDelay()->count(), small) << "finer for the larger plot";
    EXPECT_LE(r.computedDelay()->count(), 1000);
}

TEST(StartArguments, CircuitMeasurementOrBoth)
{
    struct Case {
        std::vector<std::string> args;
        std::optional<std::string> circuit, measurement;
        bool ok = true;
    } cases[] = {
        {{}, {}, {}},
        {{"a.cir"}, "a.cir", {}},
        {{"m.s2p"}, {}, "m.s2p"},
        {{"m.S1P", "a.cir"}, "a.cir", "m.S1P"},
        {{"a.cir", "b.cir"}, {}, {}, false},
        {{"m.s2p", "n.s2p"}, {}, {}, false},
        {{"-x"}, {}, {}, false},
    };
    for (const Case& c : cases) {
        const auto got = parseStartArguments(c.args);
        ASSERT_EQ(got.has_value(), c.ok) << c.args.size();
        if (got) {
            EXPECT_EQ(got->circuit, c.circuit);
            EXPECT_EQ(got->measurement, c.measurement);
        }
    }
}

}  // namespace
