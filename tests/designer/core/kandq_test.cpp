#include <gtest/gtest.h>

#include "designer.h"
#include "fake_form.h"
#include "kandq.h"

namespace {

struct Generator : ::testing::Test {
    DesignState s;
    FakeForm w;
    KandQ g{s, w};

    void calc(int type, const std::string& n, const std::string& ripple = "0")
    {
        if (type == 0)
            g.RadioButton2Click();
        else if (type == 1)
            g.RadioButton1Click();
        else
            g.RadioButton3Click();
        w.fields["Edit1"] = n;
        w.fields["Edit2"] = ripple;
        w.events.clear();
        runKandQ();
    }
    void runKandQ()
    {
        runCommand(w, [&] { g.calculate(); });
    }
};

constexpr int kButterworth = 0, kChebyshev = 1, kMinLoss = 2;

TEST_F(Generator, ShowWritesN)
{
    s.nxtal = 7;
    g.FormShow();
    EXPECT_EQ(w.fields["Edit1"], "7");
}

TEST_F(Generator, ButterworthFive)
{
    calc(kButterworth, "5");
    EXPECT_EQ(w.fields["Edit3"], "0.61803");
    EXPECT_EQ(w.fields["Edit4"], "0.61803");
    EXPECT_EQ(w.memo, (std::vector<std::string>{"12     1.00000", "23     0.55589", "34     0.55589",
                                                 "45     1.00000"}));
    EXPECT_EQ(s.nxtal, 5);
}

TEST_F(Generator, UntilATypeIsPickedItIsButterworth)
{
    w.fields["Edit1"] = "5";
    w.fields["Edit2"] = "0.5";
    runKandQ();
    EXPECT_EQ(w.fields["Edit3"], "0.61803");
}

TEST_F(Generator, ChebyshevOddAndEven)
{
    calc(kChebyshev, "5", "0.1");
    EXPECT_EQ(w.fields["Edit3"], "1.30131");
    EXPECT_EQ(w.fields["Edit4"], "1.30131");
    EXPECT_EQ(w.memo, (std::vector<std::string>{"12     0.70277", "23     0.53552", "34     0.53552",
                                                 "45     0.70277"}));

    calc(kChebyshev, "4", "0.5");
    EXPECT_NEAR(s.gk[1], 1.82581, 5e-6);
    EXPECT_NEAR(s.gk[2], 1.30359, 5e-6);
    EXPECT_NEAR(s.gk[3], 2.58640, 5e-6);
    EXPECT_NEAR(s.gk[4], 0.92024, 5e-6);
    EXPECT_NEAR(g.loadratio, 0.50402, 5e-6);
    EXPECT_EQ(w.fields["Edit3"], "1.82581");
    EXPECT_EQ(w.fields["Edit4"], "1.82581");
    EXPECT_EQ(w.memo, (std::vector<std::string>{"12     0.64819", "23     0.54460", "34     0.64819"}));
}

TEST_F(Generator, RippleAboveThreeIsThree)
{
    calc(kChebyshev, "3", "5");
    EXPECT_EQ(w.fields["Edit3"], "3.34962");
    EXPECT_EQ(w.fields["Edit4"], "3.34962");
    EXPECT_EQ(w.memo, (std::vector<std::string>{"12     0.64758", "23     0.64758"}));
    EXPECT_TRUE(w.messages().empty());
}

TEST_F(Generator, MinimumLoss)
{
    calc(kMinLoss, "5");
    EXPECT_EQ(w.fields["Edit3"], "1.74110");
    EXPECT_EQ(w.fields["Edit4"], "1.74110");
    EXPECT_EQ(w.memo, (std::vector<std::string>{"12     0.57435", "23     0.57435", "34     0.57435",
                                                 "45     0.57435"}));
    // gk is the minimum-loss design's to leave alone.
    EXPECT_FLOAT_EQ(s.gk[1], 0);
}

TEST_F(Generator, ChebyshevWithZeroOrNegativeRipple)
{
    calc(kChebyshev, "5", "0");
    EXPECT_EQ(w.fields["Edit3"], "0.61803");
    calc(kChebyshev, "5", "-2");
    EXPECT_EQ(w.fields["Edit3"], "1.74110");
}

TEST_F(Generator, SmallOrders)
{
    calc(kButterworth, "2");
    EXPECT_EQ(w.fields["Edit3"], "1.41421");
    EXPECT_EQ(w.fields["Edit4"], "1.41421");
    EXPECT_EQ(w.memo, std::vector<std::string>{"12     0.70711"});

    calc(kButterworth, "1");
    EXPECT_EQ(w.fields["Edit3"], "2.00000");
    EXPECT_TRUE(w.memo.empty());
    calc(kMinLoss, "1");
    EXPECT_EQ(w.fields["Edit3"], "1.00000");
    EXPECT_EQ(w.fields["Edit4"], "1.00000");
}

TEST_F(Generator, OnlyTheCouplingsOfNAreWritten)
{
    calc(kButterworth, "3");
    EXPECT_FLOAT_EQ(s.kk[3], 0.93f);  // start values beyond N - 1 stay
    EXPECT_FLOAT_EQ(s.kk[9], 0.001f);
    calc(kButterworth, "10");
    EXPECT_EQ(w.memo.size(), 9u);
    EXPECT_EQ(w.memo.back().substr(0, 3), "910");
    EXPECT_FLOAT_EQ(s.kk[10], 0);
}

TEST_F(Generator, OrdersOutsideTheTablesAreRefused)
{
    for (const char* n : {"0", "-1", "11", "20", "2147483647"}) {
        s.nxtal = 5;
        const DesignState before = s;
        calc(kChebyshev, n, "0.5");
        EXPECT_EQ(w.messages(), std::vector<std::string>{"The number of crystals must be from 1 to 10."}) << n;
        EXPECT_EQ(s.nxtal, 5);
        EXPECT_EQ(s.kk, before.kk);
        EXPECT_EQ(s.gk, before.gk);
    }
}

TEST_F(Generator, BadFields)
{
    calc(kButterworth, "x");
    EXPECT_EQ(w.messages(), std::vector<std::string>{"'x' is not a valid integer value"});
    s.nxtal = 5;
    calc(kChebyshev, "7", "abc");
    EXPECT_EQ(w.messages(), std::vector<std::string>{"'abc' is not a valid floating point value"});
    EXPECT_EQ(s.nxtal, 7);  // N is stored before the ripple is read
    EXPECT_FLOAT_EQ(s.q1, 0.519f);
}

TEST_F(Generator, TinyRippleStopsWithAFloatingPointMessage)
{
    calc(kChebyshev, "5", "1e-30");
    ASSERT_EQ(w.messages().size(), 1u);
    EXPECT_EQ(w.messages()[0], "Floating point division by zero");
    EXPECT_FLOAT_EQ(s.q1, 0.519f);
}

}  // namespace
