#include <gtest/gtest.h>

#include "ladder/circuit.h"
#include "tests/support/ladder_support.h"

namespace {

TEST(Circuit, SameResponseSeesEveryValueAndTheSweep)
{
    const Circuit m = laddertest::fullCrystalLadder();
    EXPECT_TRUE(sameResponse(m, m));
    Circuit changed = m;
    changed.part(7).partvalue += 1;
    EXPECT_FALSE(sameResponse(m, changed));
    changed = m;
    changed.stopfreq = 4000;
    EXPECT_FALSE(sameResponse(m, changed));
    changed = m;
    changed.xtalqx = 80000;
    EXPECT_FALSE(sameResponse(m, changed));
    changed = m;
    changed.part(2).partconn = "par";
    EXPECT_FALSE(sameResponse(m, changed));
    changed = m;
    changed.bottomdb = -80;  // the scale alone does not change the response
    EXPECT_TRUE(sameResponse(m, changed));
}

}  // namespace
