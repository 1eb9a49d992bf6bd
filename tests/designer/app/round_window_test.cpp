// Design > Round to preferred values on the real widgets: the three readout columns, the
// capacitors, and the values chosen reaching the export exactly as the series prints them.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTableWidget>
#include <fstream>

#include "common/numtext.h"
#include "designer/core/mesh_tuning.h"
#include "designer/core/preferred_values.h"
#include "tests/support/mirabo_app_support.h"

namespace {

using RoundWindowTest = RunningMirabo;

std::string slurpFile(const QString& path)
{
    std::ifstream in(path.toStdString(), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

TEST_F(RoundWindowTest, E24WithRefitShowsThreeColumnsAndExportsTheSeriesValues)
{
    RoundWindow& w = app->rounding;
    // Before a design there is nothing to round.
    app->main.roundValues->trigger();
    EXPECT_TRUE(w.isVisible());
    w.round->click();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_FALSE(w.use->isEnabled());
    messages.clear();

    design();
    const DesignState exact = app->state;
    w.series->setCurrentIndex(w.series->findText(QStringLiteral("E24")));
    w.refit->setChecked(true);
    w.round->click();
    ASSERT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();

    // Exact, rounded and refitted, every readout filled in each.
    ASSERT_EQ(w.readouts->columnCount(), 4);
    ASSERT_EQ(w.readouts->rowCount(), 6);
    EXPECT_EQ(w.readouts->horizontalHeaderItem(3)->text(), "Refitted");
    for (int row = 0; row < w.readouts->rowCount(); ++row)
        for (int col = 1; col <= 3; ++col) {
            const QString cell = w.readouts->item(row, col)->text();
            EXPECT_FALSE(cell.isEmpty() || cell == "none" || cell == "-") << row << "," << col;
        }
    EXPECT_EQ(w.readouts->item(0, 0)->text(), "-3 dB bandwidth, Hz");
    // Ends, N - 1 couplings and N tuning capacitors.
    EXPECT_EQ(w.capacitors->rowCount(), 2 + 2 * exact.crystalCount - 1);
    EXPECT_EQ(w.capacitors->item(0, 0)->text(), "C1");

    ASSERT_TRUE(w.use->isEnabled());
    w.use->click();
    const std::vector<double> e24 = seriesValues("E24");
    const DesignState chosen = app->state;
    EXPECT_EQ(chosen.rend, app->roundChoice->refitted.rend);
    EXPECT_NE(chosen.ce1pf, exact.ce1pf);

    const QString file = path("rounded.cir");
    ui::chooseSaveFile = [&](QWidget*) { return std::optional<QString>(file); };
    app->main.saveAs->trigger();
    const std::string text = slurpFile(file);
    ASSERT_FALSE(text.empty());
    // Every capacitor of the file on its own line, written as the series prints it.
    std::vector<float> values = {chosen.ce1pf, chosen.cenpf};
    for (int j = 1; j < chosen.crystalCount; ++j)
        values.push_back(chosen.couplingCap[j]);
    for (int i = 1; i <= chosen.crystalCount; ++i)
        values.push_back(chosen.tuningCap[i]);
    for (float v : values) {
        if (v != static_cast<float>(kWirePf))
            EXPECT_NE(std::find(e24.begin(), e24.end(), static_cast<double>(v)), e24.end()) << v;
        const std::string line = "\r\n" + generalText(v, 7) + "\r\n";
        EXPECT_NE(text.find(line), std::string::npos) << generalText(v, 7) << "\n" << text;
    }

    // Rounding again starts from the exact design, not from the values now in use.
    w.round->click();
    EXPECT_EQ(app->roundChoice->exact.ce1pf, exact.ce1pf);
}

TEST_F(RoundWindowTest, APartsListThatCannotBeReadIsAMessage)
{
    design();
    {
        std::ofstream(path("parts.csv").toStdString()) << "pf\n150\n12x\n";
    }
    RoundWindow& w = app->rounding;
    w.choosePartsList = [&](QWidget*) { return std::optional<QString>(path("parts.csv")); };
    const int parts = w.series->findText(QStringLiteral("Parts list..."));
    w.series->setCurrentIndex(parts);
    emit w.series->activated(parts);
    w.round->click();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.front().startsWith("line 3:")) << messages.front().toStdString();
    EXPECT_FALSE(w.use->isEnabled());
}

}  // namespace
