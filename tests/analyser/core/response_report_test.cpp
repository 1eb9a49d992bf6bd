#include <gtest/gtest.h>

#include <optional>

#include "analyser/core/response_report.h"
#include "common/errors.h"
#include "tests/support/ladder_support.h"

namespace {

TEST(ResponseReport, ReadoutsAreTheEnginesToTheLastBit)
{
    // The window's report takes the levels from its delay curve's solves: no difference.
    for (const auto& [name, m] : laddertest::readoutReferenceLadders()) {
        std::optional<ResponseReport> report;
        try {
            report = makeResponseReport(m, 0, nullptr);
        } catch (const FloatError&) {
        }
        if (report) {
            EXPECT_EQ(readoutsCsv(report->computed, m.frequnit),
                      readoutsCsv(measureResponse(m, m.startfreq, m.stopfreq), m.frequnit))
                << name;
        }
    }
}

}  // namespace
