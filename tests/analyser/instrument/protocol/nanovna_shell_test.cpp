#include "analyser/instrument/protocol/nanovna_shell.h"

#include <gtest/gtest.h>

#include <cstring>

#include "analyser/instrument/protocol/instrument_protocol.h"

using namespace nanovna;

namespace {

std::string scanLines(const FrequencyPlan& p, const Segment& s, std::string_view end = "\r\n")
{
    std::string t;
    for (int i = 0; i < s.count; ++i)
        t += std::to_string(p.hz[s.first + i]) + " 0.5 -0.25 1e-3 -2.5e-05" + std::string(end);
    return t;
}

std::string binaryReply(const FrequencyPlan& p, const Segment& s, int mask = 135, int count = -1)
{
    std::string t;
    auto u16 = [&](unsigned v) { t += char(v & 0xff), t += char(v >> 8); };
    u16(mask);
    u16(count < 0 ? s.count : count);
    for (int i = 0; i < s.count; ++i) {
        const std::uint32_t f = static_cast<std::uint32_t>(p.hz[s.first + i]);
        const float v[4] = {0.5f, -0.25f, 0.125f, float(i)};
        t.append(reinterpret_cast<const char*>(&f), 4);
        t.append(reinterpret_cast<const char*>(v), 16);
    }
    return t;
}

// Feeds the reply to a protocol in pieces of `piece` bytes and returns the last step.
Step feed(InstrumentProtocol& p, const std::string& bytes, std::size_t piece)
{
    Step last;
    for (std::size_t i = 0; i < bytes.size(); i += piece) {
        last = p.received(bytes.substr(i, piece));
        if (!last.send.empty() || last.finished) {
            EXPECT_GE(i + piece, bytes.size()) << "answered before the reply was complete";
        }
    }
    return last;
}

}  // namespace

TEST(NanoVnaShell, TakesAReplyBetweenEchoAndPromptWhateverTheLineEnds)
{
    std::string b = "version\r\n1.2.00\r\nch> ";
    EXPECT_EQ(takeTextReply(b, "version"), "1.2.00\r\n");
    EXPECT_TRUE(b.empty());
    b = "version\n1.2.00\nch> ";
    EXPECT_EQ(takeTextReply(b, "version"), "1.2.00\n");

    // Incomplete at every cut short of the prompt.
    const std::string whole = "help\r\nCommands: scan scan_bin\r\nch> ";
    for (std::size_t n = 0; n < whole.size(); ++n) {
        std::string part = whole.substr(0, n);
        EXPECT_FALSE(takeTextReply(part, "help")) << n;
    }
    // Leftovers before the echo: skipped when just connected, a fault otherwise.
    b = "\r\nch> garbage\r\nversion\r\n1.0\r\nch> ";
    EXPECT_EQ(takeTextReply(b, "version", true), "1.0\r\n");
    b = "xversion\r\n1.0\r\nch> ";
    EXPECT_THROW(takeTextReply(b, "version"), InstrumentFault);
    b = "version\r\n1.0\r\nch> 12";
    EXPECT_THROW(takeTextReply(b, "version"), InstrumentFault);

    EXPECT_TRUE(helpLists("Commands: help scan scan_bin data\r\nOther: x", "scan_bin"));
    EXPECT_FALSE(helpLists("Commands: help scan data", "scan_bin"));
    EXPECT_EQ(replyLines("a\r\n\r\nb\n"), (std::vector<std::string>{"a", "b"}));
}

TEST(NanoVnaShell, ParsesTextScanAndRefusesWhatWasNotAsked)
{
    const FrequencyPlan p = planSweep(1e6, 2e6, 11, 101);
    const Segment& s = p.segments[0];
    EXPECT_EQ(scanCommand(s, false), "scan 1000000 2000000 11 7");
    EXPECT_EQ(scanCommand(s, true), "scan_bin 1000000 2000000 11 135");

    const SweepData d = parseScanText(scanLines(p, s), p, s);
    ASSERT_EQ(d.size(), 11u);
    EXPECT_EQ(d[1].hz, 1100000);
    EXPECT_EQ(d[1].s11, std::complex<double>(0.5, -0.25));
    EXPECT_EQ(d[1].s21, std::complex<double>(1e-3, -2.5e-5));
    EXPECT_EQ(parseScanText(scanLines(p, s, "\n"), p, s).size(), 11u);

    // A frequency 1 Hz off is the instrument's own rounding; one step off is a fault.
    std::string off1 = scanLines(p, s);
    off1.replace(off1.find("1100000"), 7, "1100001");
    EXPECT_NO_THROW(parseScanText(off1, p, s));
    std::string wrong = scanLines(p, s);
    wrong.replace(wrong.find("1100000"), 7, "1200000");
    EXPECT_THROW(parseScanText(wrong, p, s), InstrumentFault);

    std::string shortReply = scanLines(p, s);
    shortReply.erase(shortReply.rfind("2000000"));
    EXPECT_THROW(parseScanText(shortReply, p, s), InstrumentFault);
    EXPECT_THROW(parseScanText(scanLines(p, s) + "2000000 0 0 0 0\r\n", p, s), InstrumentFault);
    EXPECT_THROW(parseScanText("scan?\r\n", p, s), InstrumentFault);
    std::string fourNumbers = scanLines(p, s);
    fourNumbers.replace(fourNumbers.find(" -2.5e-05"), 9, "");
    EXPECT_THROW(parseScanText(fourNumbers, p, s), InstrumentFault);
    std::string nan = scanLines(p, s);
    nan.replace(nan.find("0.5"), 3, "nan");
    EXPECT_THROW(parseScanText(nan, p, s), InstrumentFault);
    try {
        parseScanText("error: bad args\r\n", p, s);
        FAIL();
    } catch (const InstrumentFault& e) {
        EXPECT_STREQ(e.what(), "unexpected reply to 'scan': 'error: bad args'");
    }
}

TEST(NanoVnaShell, ReadsBinaryScanOnlyWhenWholeAndAsAsked)
{
    const FrequencyPlan p = planSweep(1e6, 2e6, 11, 101);
    const Segment& s = p.segments[0];
    const std::string cmd = scanCommand(s, true);
    const std::string whole = cmd + "\r\n" + binaryReply(p, s) + "ch> ";
    for (std::size_t n = 0; n < whole.size(); ++n) {
        std::string part = whole.substr(0, n);
        ASSERT_FALSE(takeBinaryScan(part, cmd, p, s)) << n;
    }
    std::string b = whole;
    const auto d = takeBinaryScan(b, cmd, p, s);
    ASSERT_TRUE(d);
    EXPECT_EQ((*d)[10].hz, 2000000);
    EXPECT_EQ((*d)[10].s21, std::complex<double>(0.125, 10));

    auto fails = [&](std::string reply) {
        std::string buf = cmd + "\r\n" + reply;
        EXPECT_THROW(takeBinaryScan(buf, cmd, p, s), InstrumentFault) << reply.size();
    };
    fails("scan_bin?\r\nch> ");
    fails(binaryReply(p, s, 7) + "ch> ");
    fails(binaryReply(p, s, 135, 10) + "ch> ");
    fails(binaryReply(p, s) + "xx> ");
    fails(binaryReply(p, s) + "ch> \r\n");
    fails("\x01\xfe\x02garbage");
    std::string shifted = binaryReply(p, s);
    const std::uint32_t f = 1234567;
    std::memcpy(shifted.data() + 4, &f, 4);
    fails(shifted + "ch> ");
}

TEST(NanoVnaProtocol, IdentifiesThenSweepsInSegmentsFromSplitReplies)
{
    for (bool binary : {false, true}) {
        for (std::size_t piece : {std::size_t(1), std::size_t(7), std::size_t(4096)}) {
            auto proto = makeProtocol(InstrumentKind::NanoVna, {.binaryScan = binary});
            EXPECT_EQ(proto->beginIdentify().send, "\r");
            // Output left from before: our bare line's own prompt comes after it.
            EXPECT_EQ(feed(*proto, "old output\r\nch> ", piece).send, "version\r");
            EXPECT_EQ(feed(*proto, "\r\nch> version\r\n1.2.00\r\nch> ", piece).send, "help\r");
            EXPECT_TRUE(feed(*proto, "help\r\nCommands: version scan scan_bin\r\nch> ", piece).finished);
            EXPECT_EQ(proto->identity(), "NanoVNA 1.2.00");

            const FrequencyPlan p = planSweep(1e6, 2e6, 25, 11);
            ASSERT_EQ(p.segments.size(), 3u);
            Step step = proto->beginSweep(p);
            for (const Segment& s : p.segments) {
                const std::string cmd = scanCommand(s, binary);
                ASSERT_EQ(step.send, cmd + "\r");
                EXPECT_EQ(proto->awaiting(), binary ? "scan_bin" : "scan");
                const std::string reply = binary ? binaryReply(p, s) : scanLines(p, s);
                step = feed(*proto, cmd + "\r\n" + reply + "ch> ", piece);
            }
            EXPECT_TRUE(step.finished);
            const SweepData d = proto->takeSweep();
            ASSERT_EQ(d.size(), 25u);
            for (std::size_t i = 0; i < d.size(); ++i)
                EXPECT_EQ(d[i].hz, p.hz[i]);
        }
    }
}

TEST(NanoVnaProtocol, FallsBackToTextScanWithoutScanBin)
{
    auto proto = makeProtocol(InstrumentKind::NanoVna);
    proto->beginIdentify();
    proto->received("ch> ");
    proto->received("version\r\n1.0\r\nch> ");
    EXPECT_TRUE(proto->received("help\r\nCommands: version scan data\r\nch> ").finished);
    const FrequencyPlan p = planSweep(1e6, 2e6, 11, 101);
    EXPECT_EQ(proto->beginSweep(p).send, "scan 1000000 2000000 11 7\r");
    // Output the shell printed on its own before the echo is no part of any reply.
    EXPECT_THROW(proto->received("x\r\nscan 1000000 2000000 11 7\r\n"), InstrumentFault);
}
