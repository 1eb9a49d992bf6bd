#pragma once
// The text shell of the NanoVNA v1 firmware family: a command is a line ending in '\r'; the
// device echoes it with "\r\n", sends its reply lines and then the prompt "ch> ".

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analyser/instrument/protocol/frequency_plan.h"
#include "analyser/instrument/protocol/sweep_data.h"

namespace nanovna {

inline constexpr std::string_view kPrompt = "ch> ";
inline constexpr int kScanMask = 7;          // frequency, S11, S21
inline constexpr int kBinaryFlag = 128;      // scan_bin's mask bit
inline constexpr int kBinaryPointBytes = 20;  // uint32 frequency, four float32

// Where the echo of `command` ends in `buffer` (after its "\r\n" or "\n"), or nothing while
// it is not complete. Strict: the buffer must begin with the echo, else InstrumentFault.
// Lenient (identification just after connecting): whatever comes before it is skipped.
std::optional<std::size_t> echoEnd(std::string_view buffer, std::string_view command, bool lenient);

// The text between the echo of `command` and the prompt, once both have arrived; the bytes
// taken are removed from buffer. Bytes after the prompt are a fault.
std::optional<std::string> takeTextReply(std::string& buffer, std::string_view command, bool lenient = false);

// The reply's lines without their ends; empty lines dropped.
std::vector<std::string> replyLines(std::string_view body);

// Whether the reply to `help` lists the command.
bool helpLists(std::string_view helpReply, std::string_view command);

// "scan START STOP POINTS 7" for a segment (without the '\r').
std::string scanCommand(const Segment& s, bool binary);

// The points of a text reply to scan with mask 7, checked against the segment's planned
// frequencies (plan.hz from s.first on).
SweepData parseScanText(std::string_view body, const FrequencyPlan& plan, const Segment& s);

// The binary reply to scan_bin once complete (echo, header, points, prompt); removed from
// buffer. A text reply (such as "scan_bin?") or a header not matching what was asked is a fault.
std::optional<SweepData> takeBinaryScan(std::string& buffer, std::string_view command, const FrequencyPlan& plan,
                                        const Segment& s);

}  // namespace nanovna
