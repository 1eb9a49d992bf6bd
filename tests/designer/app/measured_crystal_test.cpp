// The new windows: a measured crystal into step 1's fields, a matched set into the export,
// the realized response after step 6 and the loss correction, all on the real widgets.
#include <gtest/gtest.h>

#include <QAction>
#include <QChartView>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <cmath>
#include <fstream>

#include "designer/app/mirabo_app.h"
#include "tests/support/mirabo_app_support.h"
#include "common/touchstone.h"

namespace {

using design::Command;
using design::Field;

using NewWindows = RunningMirabo;

// A crystal measured in series between 50 ohm ports, dense near both resonances.
Network measuredCrystal()
{
    const double fs = 9.9995e6, lm = 0.0185, rm = 8, c0 = 3.2e-12;
    const double fp = fs * std::sqrt(1 + 1 / (std::pow(2 * M_PI * fs, 2) * lm) / c0);
    std::vector<double> f;
    for (int i = 0; i <= 300; ++i)
        f.push_back(fs - (fp - fs) + 3 * (fp - fs) * i / 300);
    for (int i = -15; i <= 15; ++i) {
        f.push_back(fs + i * 60.5);
        f.push_back(fp + i * 3.05);
    }
    std::sort(f.begin(), f.end());
    f.erase(std::unique(f.begin(), f.end(), [](double a, double b) { return b - a < 1; }), f.end());
    Network n;
    for (double x : f) {
        const auto s21 = crystalS21(fs, lm, rm, c0, x, 50);
        const auto z = 100.0 / s21 - 100.0;
        n.frequencyHz.push_back(x);
        n.s21.push_back(s21);
        n.s12.push_back(s21);
        n.s11.push_back(z / (z + 100.0));
        n.s22.push_back(z / (z + 100.0));
    }
    return n;
}

TEST_F(NewWindows, MeasuredCrystalFillsStepOneFieldsOnly)
{
    saveTouchstone(path("x1.s2p").toStdString(), measuredCrystal());
    MeasureWindow& m = app->measure;
    EXPECT_FALSE(m.use->isEnabled());
    m.loadFile(path("x1.s2p"));
    ASSERT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();
    ASSERT_TRUE(m.use->isEnabled());
    EXPECT_EQ(m.chart->chart()->series().size(), 2);

    const QString before = field(Field::Bandwidth)->text() + field(Field::EndR)->text() + field(Field::Q1)->text();
    m.use->click();
    EXPECT_EQ(field(Field::CrystalMhz)->text(), "9.9995");
    EXPECT_EQ(field(Field::MotionalL)->text(), "0.0185");
    EXPECT_EQ(field(Field::HolderC0)->text(), "3.2");
    EXPECT_EQ(field(Field::CrystalQ)->text().left(4), "1452");
    EXPECT_EQ(field(Field::Bandwidth)->text() + field(Field::EndR)->text() + field(Field::Q1)->text(), before);
    EXPECT_EQ(app->state.fmhz, 0);  // nothing changes until step 1 is clicked

    // The series-capacitor method: its own values, and no Q.
    m.seriesFs->setText("9999500");
    m.seriesShifted->setText("10002500");
    m.seriesCs->setText("20");
    m.seriesC0->setText("3.2");
    m.seriesCompute->click();
    m.seriesUse->click();
    EXPECT_EQ(field(Field::CrystalMhz)->text(), "9.9995");
    EXPECT_EQ(field(Field::CrystalQ)->text().left(4), "1452");
    EXPECT_NE(field(Field::MotionalL)->text(), "0.0185");

    // Something that is no crystal is refused with the fit's message; the last fit stays.
    {
        std::ofstream bad(path("flat.s2p").toStdString());
        bad << "# Hz S DB R 50\n";
        for (int i = 0; i < 20; ++i)
            bad << 1e7 + i * 100 << " -20 0 -1 0 -1 0 -20 0\n";
    }
    m.loadFile(path("flat.s2p"));
    EXPECT_EQ(messages.size(), 1);
    EXPECT_TRUE(m.use->isEnabled());
}

TEST_F(NewWindows, MatchedSetReachesTheExport)
{
    {
        std::ofstream list(path("batch.csv").toStdString());
        list << "name,fs_hz\nA,10000040\nB,9999990\nC,10000002\nD,10000300\nE,9999996\nF,10000010\nG,9999000\n";
    }
    design();
    MatchedSetWindow& w = app->matchedSet;
    w.loadList(path("batch.csv"));
    ASSERT_EQ(w.table->rowCount(), 7);
    EXPECT_EQ(w.table->item(0, 0)->text(), "G");  // by rising fs
    w.count->setValue(5);
    w.pickClosest();
    int ticked = 0;
    for (int r = 0; r < 7; ++r)
        ticked += w.table->item(r, 0)->checkState() == Qt::Checked;
    EXPECT_EQ(ticked, 5);
    w.useTicked();
    EXPECT_EQ(app->state.setFsHz, (std::vector<double>{9999990, 9999996, 10000002, 10000010, 10000040}));

    const QString file = path("set.cir");
    ui::chooseSaveFile = [&](QWidget*) { return std::optional<QString>(file); };
    app->main.saveAs->trigger();
    std::ifstream in(file.toStdString(), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(text.find("xtl\r\nser\r\n-10\r\n"), std::string::npos);
    EXPECT_NE(text.find("xtl\r\nser\r\n40\r\n"), std::string::npos);

    w.clearSet();
    EXPECT_TRUE(app->state.setFsHz.empty());
}

TEST_F(NewWindows, RealizedResponseAndLossCorrection)
{
    app->main.realizedResponse->trigger();
    EXPECT_EQ(messages, QStringList{msg::kNoRealizedDesign});
    EXPECT_FALSE(app->realized.isVisible());

    design();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(app->realized.isVisible());  // step 6 shows it
    EXPECT_EQ(app->realized.table->item(0, 1)->text(), "250.0");
    EXPECT_LT(app->realized.table->item(0, 2)->text().toDouble(), 240);

    const QString typed = field(Field::Bandwidth)->text() + field(Field::EndR)->text();
    app->main.correctLoss->trigger();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages.last().startsWith("Corrected for crystal loss")) << messages.last().toStdString();
    EXPECT_TRUE(messages.last().endsWith("End R kept at 100 ohm.")) << messages.last().toStdString();
    EXPECT_EQ(field(Field::Bandwidth)->text() + field(Field::EndR)->text(), typed);
    EXPECT_GT(app->state.bw, 250);
    EXPECT_NEAR(app->realized.table->item(0, 2)->text().toDouble(), 250, 1.25);

    // Out of reach: nothing changes, the tuning fields included.
    field(Field::CrystalQ)->setText("20000");
    field(Field::Bandwidth)->setText("100");
    const QString ct2 = field(Field::TuningC2)->text();
    const float bw = app->state.bw;
    app->main.correctLoss->trigger();
    EXPECT_TRUE(messages.last().endsWith("Nothing was changed.")) << messages.last().toStdString();
    EXPECT_EQ(field(Field::TuningC2)->text(), ct2);
    EXPECT_EQ(app->state.bw, bw);
}

}  // namespace
