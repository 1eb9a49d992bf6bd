// Choosing buyable values for a finished design: rounding keeps wires and lands on the
// series, the refit moves the realized band back towards the exact design's.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "designer/core/loss_correction.h"
#include "designer/core/memory_port.h"
#include "designer/core/mesh_tuning.h"
#include "designer/core/preferred_values.h"
#include "designer/core/value_choice.h"

namespace {

DesignState finishedDesign()
{
    MemoryDesignPort window;
    window.fields = defaultDesignFields();
    window.fields[design::Field::EndR] = "100";
    DesignState s;
    EXPECT_TRUE(runDesignSteps(s, window, EndRChoice::Typed).done);
    return s;
}

bool inSeries(float v, const std::vector<double>& values)
{
    return v == static_cast<float>(kWirePf) ||
           std::find(values.begin(), values.end(), static_cast<double>(v)) != values.end();
}

TEST(ValueChoice, RoundedAndRefittedDesignsUseTheSeries)
{
    const DesignState exact = finishedDesign();
    const std::vector<double> e24 = seriesValues("E24");
    const double asked = 0;  // the refit aims at the exact design's own realized band
    const ValueChoice c = compareValueChoices(exact, e24, true, asked);
    for (const DesignState* s : {&c.rounded, &c.refitted}) {
        EXPECT_TRUE(inSeries(s->ce1pf, e24)) << s->ce1pf;
        EXPECT_TRUE(inSeries(s->cenpf, e24)) << s->cenpf;
        for (int j = 1; j < s->crystalCount; ++j)
            EXPECT_TRUE(inSeries(s->couplingCap[j], e24)) << j << " " << s->couplingCap[j];
        for (int i = 1; i <= s->crystalCount; ++i)
            EXPECT_TRUE(inSeries(s->tuningCap[i], e24)) << i << " " << s->tuningCap[i];
    }
    // Wires stay wires, and rounding alone keeps the end resistance.
    for (int i = 1; i <= exact.crystalCount; ++i)
        if (exact.tuningCap[i] >= static_cast<float>(kWirePf))
            EXPECT_EQ(c.rounded.tuningCap[i], static_cast<float>(kWirePf));
    EXPECT_EQ(c.rounded.rend, exact.rend);
    EXPECT_EQ(&c.chosen(), &c.refitted);

    // The refit comes at least as close to the exact band as plain rounding does.
    const double exactBw = *c.exactResponse.readouts.bands[0].width;
    const double roundedOff = std::fabs(*c.roundedResponse.readouts.bands[0].width / exactBw - 1);
    const double refitOff = std::fabs(*c.refittedResponse.readouts.bands[0].width / exactBw - 1);
    EXPECT_LE(refitOff, roundedOff + 1e-9);
    EXPECT_LT(refitOff, 0.01);

    // Without the refit the chosen design is the rounded one, and is what chooseValues gives.
    const ValueChoice plain = compareValueChoices(exact, e24, false, asked);
    EXPECT_EQ(&plain.chosen(), &plain.rounded);
    const DesignState again = chooseValues(exact, e24, false, asked);
    EXPECT_EQ(again.ce1pf, plain.rounded.ce1pf);
    EXPECT_EQ(again.couplingCap[1], plain.rounded.couplingCap[1]);
}

TEST(ValueChoice, SeriesNameOrPartsListFile)
{
    EXPECT_EQ(availableValues("E12"), seriesValues("E12"));
    EXPECT_THROW(availableValues("E13"), PartsListError);
    namespace fs = std::filesystem;
    const fs::path file = fs::temp_directory_path() / ("mirabo-parts-" + std::to_string(::getpid()) + ".csv");
    std::ofstream(file) << "pf\n150\n120\n";
    EXPECT_EQ(availableValues(file.string()), (std::vector<double>{120, 150}));
    fs::remove(file);
    EXPECT_ANY_THROW(availableValues("/nonexistent/parts.csv"));
}

}  // namespace
