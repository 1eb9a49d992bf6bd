#pragma once
// The SCPI server of the LibreVNA PC program: one line per command ending in '\n'; queries
// answer one line. Setting commands answer nothing.

#include <optional>
#include <string>
#include <string_view>

#include "analyser/instrument/protocol/frequency_plan.h"
#include "analyser/instrument/protocol/sweep_data.h"

namespace librevna {

inline constexpr int kDefaultPort = 19542;

// The first whole line of the buffer without its "\n" or "\r\n", removed from it.
std::optional<std::string> takeLine(std::string& buffer);

// A line the server sends in place of an answer.
bool isError(std::string_view line);

// The setting lines that start one sweep of the segment, then the first poll.
std::string segmentCommands(const Segment& s);

// One trace ("[f,re,im],[f,re,im],..."), checked against the segment's planned
// frequencies; the values land in s11 or s21 of `points` (sized on the first trace).
void parseTrace(std::string_view line, std::string_view trace, const FrequencyPlan& plan, const Segment& s,
                SweepData& points);

}  // namespace librevna
