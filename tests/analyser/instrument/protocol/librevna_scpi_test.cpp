#include "analyser/instrument/protocol/librevna_scpi.h"

#include <gtest/gtest.h>

#include "analyser/instrument/protocol/instrument_protocol.h"

using namespace librevna;

namespace {

std::string trace(const FrequencyPlan& p, const Segment& s, double re, double shiftHz = 0)
{
    std::string t;
    for (int i = 0; i < s.count; ++i)
        t += (i ? "," : "") + std::string("[") + std::to_string(double(p.hz[s.first + i]) + shiftHz) + "," +
             std::to_string(re) + ",-0.5]";
    return t;
}

}  // namespace

TEST(LibreVnaScpi, ReadsLinesAndTraces)
{
    std::string b = "TRUE\r\nFAL";
    EXPECT_EQ(takeLine(b), "TRUE");
    EXPECT_FALSE(takeLine(b));
    EXPECT_EQ(b, "FAL");

    const FrequencyPlan p = planSweep(1e6, 2e6, 11, 101);
    const Segment& s = p.segments[0];
    SweepData d;
    parseTrace(trace(p, s, 0.25), "S11", p, s, d);
    parseTrace(trace(p, s, 0.75, 0.4), "S21", p, s, d);
    ASSERT_EQ(d.size(), 11u);
    EXPECT_EQ(d[3].s11, std::complex<double>(0.25, -0.5));
    EXPECT_EQ(d[3].s21, std::complex<double>(0.75, -0.5));
    EXPECT_NEAR(d[3].hz, 1300000.4, 1e-6);
    SweepData spaced;
    EXPECT_NO_THROW(parseTrace("[1e6, 1, 0], [1.01e6, 1, 0]", "S11", planSweep(1e6, 1.1e6, 11, 101),
                               {0, 2, 1000000, 1010000}, spaced) );
}

TEST(LibreVnaScpi, RefusesWrongTraces)
{
    const FrequencyPlan p = planSweep(1e6, 2e6, 11, 101);
    const Segment& s = p.segments[0];
    for (const std::string& bad : {trace(p, s, 0.1, 100000), trace(p, s, 0.1).substr(0, 200),
                                   trace(p, s, 0.1) + ",[3e6,0,0]", std::string("ERROR"),
                                   std::string("[1e6,0.5]"), std::string("garbage"), std::string("[1e6,x,0]")}) {
        SweepData d;
        EXPECT_THROW(parseTrace(bad, "S21", p, s, d), InstrumentFault) << bad.substr(0, 60);
    }
}

TEST(LibreVnaProtocol, IdentifiesPollsAndReadsBothTracesPerSegment)
{
    auto proto = makeProtocol(InstrumentKind::LibreVna);
    EXPECT_EQ(proto->beginIdentify().send, "*IDN?\n");
    EXPECT_EQ(proto->received("LibreVNA,LibreVNA-GUI,206,1.5.0\r").send, "");
    EXPECT_EQ(proto->received("\n").send, "DEV:CONN?\n");
    EXPECT_TRUE(proto->received("206830535532\n").finished);
    EXPECT_EQ(proto->identity(), "LibreVNA,LibreVNA-GUI,206,1.5.0 (device 206830535532)");

    const FrequencyPlan p = planSweep(1e6, 2e6, 30, 15);
    Step step = proto->beginSweep(p);
    for (const Segment& s : p.segments) {
        EXPECT_EQ(step.send, segmentCommands(s));
        EXPECT_EQ(proto->awaiting(), "VNA:ACQ:FIN?");
        step = proto->received("FALSE\n");
        EXPECT_EQ(step.send, "VNA:ACQ:FIN?\n");
        EXPECT_GT(step.delayMs, 0);
        EXPECT_EQ(proto->received("TRUE\n").send, "VNA:TRAC:DATA? S11\n");
        EXPECT_EQ(proto->received(trace(p, s, 0.1) + "\n").send, "VNA:TRAC:DATA? S21\n");
        step = proto->received(trace(p, s, 0.2) + "\n");
    }
    EXPECT_TRUE(step.finished);
    EXPECT_EQ(proto->takeSweep().size(), 30u);
}

TEST(LibreVnaProtocol, FaultsOnErrorsAndUnaskedReplies)
{
    auto proto = makeProtocol(InstrumentKind::LibreVna);
    proto->beginIdentify();
    proto->received("LibreVNA\n");
    EXPECT_THROW(proto->received("Not connected\n"), InstrumentFault);

    proto = makeProtocol(InstrumentKind::LibreVna);
    proto->beginIdentify();
    EXPECT_THROW(proto->received("LibreVNA\nextra\n"), InstrumentFault);

    proto = makeProtocol(InstrumentKind::LibreVna);
    proto->beginIdentify();
    proto->received("LibreVNA\n");
    proto->received("1\n");
    proto->beginSweep(planSweep(1e6, 2e6, 11, 101));
    // A refused setting answers in place of the poll.
    EXPECT_THROW(proto->received("ERROR\n"), InstrumentFault);
}
