#include <gtest/gtest.h>

#include "model.h"

namespace {

TEST(CircuitModel, StartsWithTheTenPartLcFilter)
{
    const Model m = Model::startup();
    ASSERT_EQ(m.partcount, 10);
    const struct {
        const char* kind;
        int code;
        const char* conn;
        double value;
    } expected[] = {
        {"cap", 1, "par", 248}, {"cap", 1, "ser", 50},   {"ind", 2, "par", 1500},
        {"cap", 1, "par", 292}, {"cap", 1, "ser", 4.3},  {"dul", 12, "par", 3},
        {"duc", 11, "par", 4},  {"cap", 1, "ser", 50},   {"cap", 1, "par", 248},
        {"rlb", 6, "ser", 0},
    };
    for (int n = 1; n <= 10; ++n) {
        SCOPED_TRACE(n);
        const Part& p = m.part(n);
        EXPECT_EQ(p.partkind, expected[n - 1].kind);
        EXPECT_EQ(p.partcode, expected[n - 1].code);
        EXPECT_EQ(p.partconn, expected[n - 1].conn);
        EXPECT_EQ(p.partvalue, expected[n - 1].value);
    }
    for (int n = 11; n <= kMaxParts + 1; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(m.part(n).partcode, kNoPart);
        EXPECT_EQ(m.part(n).partconn, "ser");
        EXPECT_EQ(m.part(n).partvalue, 0);
    }
    EXPECT_EQ(m.loadr, 50);
    EXPECT_EQ(m.sourcer, 50);
    EXPECT_EQ(m.inductorq, 250);
    EXPECT_EQ(m.crystalflag, 0);
    EXPECT_EQ(m.xtalfreq, 0);
    EXPECT_EQ(m.xtallm, 0);
    EXPECT_EQ(m.xtalcp, 0);
    EXPECT_EQ(m.xtalqx, 0);
    EXPECT_EQ(m.frequnit, "MHz");
    EXPECT_EQ(m.circuitfile, "startfile.cir");
    EXPECT_EQ(m.origstart, 0);
    EXPECT_EQ(m.origstop, 30);
    EXPECT_EQ(m.origbottom, -100);
    EXPECT_EQ(m.origdbperdiv, 10);
    EXPECT_EQ(m.origfreqperdiv, 2);
    EXPECT_FALSE(m.tunepending);
    EXPECT_TRUE(m.tuneup);
}

TEST(CircuitModel, ResetBeforeReadClearsTheCircuitButKeepsCountCrystalAndSweep)
{
    Model m = Model::startup();
    m.crystalflag = 1;
    m.xtalfreq = 8;
    m.xtallm = 0.07;
    m.xtalcp = 3.5;
    m.xtalqx = 90000;
    m.frequnit = "Hz";
    m.loadr = 200;
    m.sourcer = 300;
    m.inductorq = 80;
    m.tunepending = true;
    m.tuneup = false;
    m.startfreq = -2000;
    m.origstop = 4000;
    m.circuitfile = "a.cir";

    m.resetBeforeRead();

    EXPECT_EQ(m.partcount, 10);
    for (int n = 1; n <= kMaxParts + 1; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(m.part(n).partkind, "wir");
        EXPECT_EQ(m.part(n).partcode, kNoPart);  // "wir" by name, no part by code
        EXPECT_EQ(m.part(n).partconn, "ser");
        EXPECT_EQ(m.part(n).partvalue, 0);
    }
    EXPECT_EQ(m.loadr, 50);
    EXPECT_EQ(m.sourcer, 50);
    EXPECT_EQ(m.inductorq, 250);
    EXPECT_EQ(m.crystalflag, 0);
    EXPECT_EQ(m.frequnit, "MHz");
    EXPECT_FALSE(m.tunepending);
    EXPECT_TRUE(m.tuneup);
    EXPECT_EQ(m.xtalfreq, 8);
    EXPECT_EQ(m.xtallm, 0.07);
    EXPECT_EQ(m.xtalcp, 3.5);
    EXPECT_EQ(m.xtalqx, 90000);
    EXPECT_EQ(m.startfreq, -2000);
    EXPECT_EQ(m.origstop, 4000);
    EXPECT_EQ(m.circuitfile, "a.cir");
}

}  // namespace
