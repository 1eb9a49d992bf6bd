#include <gtest/gtest.h>

#include "designer/core/designer.h"
#include "tests/support/fake_form.h"
#include "designer/core/kandq.h"

namespace {

using kq::Field;

enum Type { kButterworth, kChebyshev, kMinLoss };

struct Generator : ::testing::Test {
    DesignState s;
    FakeKandQForm w;
    KandQ g{s, w};

    void calc(Type type, const std::string& n, const std::string& ripple = "0")
    {
        type == kButterworth ? g.chooseButterworth() : type == kChebyshev ? g.chooseChebyshev() : g.chooseMinimumLoss();
        w.fields[Field::CrystalCount] = n;
        w.fields[Field::Ripple] = ripple;
        w.events.clear();
        runCommand(w, [&] { g.calculate(); });
    }
};

TEST_F(Generator, ResponsesAsTabulated)
{
    struct Case {
        Type type;
        const char* n;
        const char* ripple;
        const char* q1;
        const char* qn;
        std::vector<std::string> memo;
    };
    const Case cases[] = {
        {kButterworth, "5", "0", "0.61803", "0.61803",
         {"12     1.00000", "23     0.55589", "34     0.55589", "45     1.00000"}},
        {kChebyshev, "5", "0.1", "1.30131", "1.30131",
         {"12     0.70277", "23     0.53552", "34     0.53552", "45     0.70277"}},
        // Even order: qn carries the load correction and comes out equal to q1.
        {kChebyshev, "4", "0.5", "1.82581", "1.82581", {"12     0.64819", "23     0.54460", "34     0.64819"}},
        {kMinLoss, "5", "0", "1.74110", "1.74110",
         {"12     0.57435", "23     0.57435", "34     0.57435", "45     0.57435"}},
        {kChebyshev, "5", "0", "0.61803", "0.61803",  // no ripple: Butterworth
         {"12     1.00000", "23     0.55589", "34     0.55589", "45     1.00000"}},
        {kChebyshev, "5", "-2", "1.74110", "1.74110",  // negative ripple: minimum loss
         {"12     0.57435", "23     0.57435", "34     0.57435", "45     0.57435"}},
        {kChebyshev, "3", "5", "3.34962", "3.34962", {"12     0.64758", "23     0.64758"}},  // 5 dB is 3 dB
        {kChebyshev, "3", "3", "3.34962", "3.34962", {"12     0.64758", "23     0.64758"}},
        // Only the kept values are rounded to single; x, L and beta (as 2N times the
        // kept beta/(2N)) are not, and each of these moves a fifth decimal if rounded.
        {kChebyshev, "2", "1", "2.21843", "2.21843", {"12     0.73514"}},  // x
        {kChebyshev, "5", "0.68", "1.96296", "1.96296",  // L
         {"12     0.64342", "23     0.53419", "34     0.53419", "45     0.64342"}},
        {kChebyshev, "10", "0.63", "1.90115", "1.90114",  // beta, through the load ratio
         {"12     0.65056", "23     0.53249", "34     0.51389", "45     0.50827", "56     0.50687", "67     0.50827",
          "78     0.51389", "89     0.53249", "910     0.65056"}},
        {kButterworth, "2", "0", "1.41421", "1.41421", {"12     0.70711"}},
        {kButterworth, "1", "0", "2.00000", "2.00000", {}},
        {kMinLoss, "1", "0", "1.00000", "1.00000", {}},
    };
    for (const Case& c : cases) {
        calc(c.type, c.n, c.ripple);
        const std::string what = std::string(c.n) + " / " + c.ripple;
        EXPECT_TRUE(w.messageEvents().empty()) << what;
        EXPECT_EQ(w.fields[Field::Q1], c.q1) << what;
        EXPECT_EQ(w.fields[Field::Qn], c.qn) << what;
        EXPECT_EQ(w.memo, c.memo) << what;
        EXPECT_EQ(s.crystalCount, std::stoi(c.n));
    }
    calc(kChebyshev, "4", "0.5");
    EXPECT_NEAR(s.prototype[1], 1.82581, 5e-6);
    EXPECT_NEAR(s.prototype[2], 1.30359, 5e-6);
    EXPECT_NEAR(s.prototype[3], 2.58640, 5e-6);
    EXPECT_NEAR(s.prototype[4], 0.92024, 5e-6);
    EXPECT_NEAR(g.loadratio, 0.50402, 5e-6);
}

TEST_F(Generator, ButterworthUntilATypeIsPicked)
{
    s.crystalCount = 7;
    g.showOrder();
    EXPECT_EQ(w.fields[Field::CrystalCount], "7");
    w.fields[Field::CrystalCount] = "5";
    w.fields[Field::Ripple] = "0.5";
    g.calculate();
    EXPECT_EQ(w.fields[Field::Q1], "0.61803");
}

TEST_F(Generator, OnlyTheCouplingsOfNAreWritten)
{
    calc(kButterworth, "3");
    EXPECT_FLOAT_EQ(s.coupling[3], 0.93f);  // start values beyond N - 1 stay
    calc(kMinLoss, "5");
    EXPECT_FLOAT_EQ(s.prototype[1], 1.0f);  // minimum loss leaves the N = 3 prototype alone
    calc(kButterworth, "10");
    EXPECT_EQ(w.memo.size(), 9u);
    EXPECT_EQ(w.memo.back().substr(0, 3), "910");
    EXPECT_FLOAT_EQ(s.coupling[10], 0);
}

TEST_F(Generator, RefusalsAndErrorsStoreNothing)
{
    for (const char* n : {"0", "11", "2147483647"}) {
        const DesignState before = s;
        calc(kChebyshev, n, "0.5");
        EXPECT_EQ(w.messageEvents(), std::vector<std::string>{"The number of crystals must be from 1 to 10."}) << n;
        EXPECT_EQ(s.crystalCount, 5);
        EXPECT_EQ(s.coupling, before.coupling);
        EXPECT_EQ(s.prototype, before.prototype);
    }
    calc(kButterworth, "x");
    EXPECT_EQ(w.messageEvents(), std::vector<std::string>{"'x' is not a valid integer value"});
    calc(kChebyshev, "7", "abc");
    EXPECT_EQ(w.messageEvents(), std::vector<std::string>{"'abc' is not a valid floating point value"});
    EXPECT_EQ(s.crystalCount, 7);  // N is stored before the ripple is read
    // A ripple too small for extended precision has no ripple factor.
    calc(kChebyshev, "5", "1e-30");
    EXPECT_EQ(w.messageEvents(), std::vector<std::string>{"Floating point division by zero"});
    EXPECT_FLOAT_EQ(s.q1, 0.519f);
}

}  // namespace
