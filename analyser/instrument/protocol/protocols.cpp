// The two instruments' conversations: identification, then sweeps segment by segment.

#include <bit>

#include "analyser/instrument/protocol/instrument_protocol.h"
#include "analyser/instrument/protocol/librevna_scpi.h"
#include "analyser/instrument/protocol/nanovna_shell.h"

namespace {

Step done()
{
    Step s;
    s.finished = true;
    return s;
}

// A sweep's segments and the points gathered so far; shared by both instruments.
class SegmentedSweep {
public:
    void begin(const FrequencyPlan& plan)
    {
        plan_ = plan;
        next_ = 0;
        points_.clear();
        points_.reserve(plan.hz.size());
    }
    const FrequencyPlan& plan() const { return plan_; }
    const Segment& current() const { return plan_.segments[next_]; }
    // Appends a segment's points; true when it was the last.
    bool finish(const SweepData& segment)
    {
        for (const SweepPoint& p : segment) {
            if (!points_.empty() && !(p.hz > points_.back().hz))
                throw InstrumentFault("the frequencies of the reply do not rise");
            points_.push_back(p);
        }
        return ++next_ == static_cast<int>(plan_.segments.size());
    }
    SweepData take() { return std::move(points_); }

private:
    FrequencyPlan plan_;
    int next_ = 0;
    SweepData points_;
};

class NanoVnaProtocol : public InstrumentProtocol {
public:
    explicit NanoVnaProtocol(const ProtocolOptions& o) : allowBinary_(o.binaryScan) {}

    std::string kind() const override { return "NanoVNA"; }

    Step beginIdentify() override
    {
        buffer_.clear();
        stage_ = Stage::Sync;
        command_ = "";
        return {"\r"};
    }

    Step beginSweep(const FrequencyPlan& plan) override
    {
        sweep_.begin(plan);
        stage_ = Stage::Scan;
        return askSegment();
    }

    Step received(std::string_view bytes) override
    {
        buffer_ += bytes;
        switch (stage_) {
        case Stage::Sync: {
            // Whatever was there before our bare line: discarded up to the prompt.
            const std::size_t p = buffer_.rfind(nanovna::kPrompt);
            if (p == std::string::npos)
                return {};
            buffer_.clear();
            return send(Stage::Version, "version");
        }
        case Stage::Version: {
            const auto body = nanovna::takeTextReply(buffer_, command_, true);
            if (!body)
                return {};
            const auto lines = nanovna::replyLines(*body);
            if (lines.empty())
                throw InstrumentFault("an empty reply to 'version'");
            identity_ = lines.front();
            return send(Stage::Help, "help");
        }
        case Stage::Help: {
            const auto body = nanovna::takeTextReply(buffer_, command_, true);
            if (!body)
                return {};
            if (!nanovna::helpLists(*body, "scan"))
                throw InstrumentFault("its 'help' lists no 'scan' command");
            binary_ = allowBinary_ && nanovna::helpLists(*body, "scan_bin");
            stage_ = Stage::Idle;
            return done();
        }
        case Stage::Scan: {
            const Segment& s = sweep_.current();
            std::optional<SweepData> points;
            if (binary_) {
                points = nanovna::takeBinaryScan(buffer_, command_, sweep_.plan(), s);
            } else if (const auto body = nanovna::takeTextReply(buffer_, command_)) {
                points = nanovna::parseScanText(*body, sweep_.plan(), s);
            }
            if (!points)
                return {};
            if (!sweep_.finish(*points))
                return askSegment();
            stage_ = Stage::Idle;
            return done();
        }
        case Stage::Idle:
            return {};  // kept: the next echo check refuses what should not be there
        }
        return {};
    }

    std::string awaiting() const override
    {
        return command_.empty() ? "the first prompt" : command_.substr(0, command_.find(' '));
    }
    std::string identity() const override { return identity_.empty() ? "NanoVNA" : "NanoVNA " + identity_; }
    SweepData takeSweep() override { return sweep_.take(); }

private:
    enum class Stage { Sync, Version, Help, Idle, Scan };

    Step send(Stage next, std::string command)
    {
        stage_ = next;
        command_ = std::move(command);
        return {command_ + "\r"};
    }
    Step askSegment() { return send(Stage::Scan, nanovna::scanCommand(sweep_.current(), binary_)); }

    static_assert(std::endian::native == std::endian::little, "scan_bin is read as little-endian");
    bool allowBinary_;
    bool binary_ = false;
    Stage stage_ = Stage::Idle;
    std::string buffer_, command_, identity_;
    SegmentedSweep sweep_;
};

class LibreVnaProtocol : public InstrumentProtocol {
public:
    std::string kind() const override { return "LibreVNA"; }

    Step beginIdentify() override
    {
        buffer_.clear();
        return send(Stage::Idn, "*IDN?");
    }

    Step beginSweep(const FrequencyPlan& plan) override
    {
        sweep_.begin(plan);
        return askSegment();
    }

    Step received(std::string_view bytes) override
    {
        buffer_ += bytes;
        const auto line = librevna::takeLine(buffer_);
        if (!line)
            return {};
        if (stage_ == Stage::Idle || !buffer_.empty())
            throw InstrumentFault("unexpected reply " + quoted(buffer_.empty() ? *line : *line + " " + buffer_));
        if (librevna::isError(*line) && stage_ != Stage::S11 && stage_ != Stage::S21)
            throw InstrumentFault("the reply to '" + query_ + "' was '" + *line + "'");
        switch (stage_) {
        case Stage::Idn:
            if (line->empty())
                throw InstrumentFault("an empty reply to '*IDN?'");
            identity_ = *line;
            return send(Stage::Connected, "DEV:CONN?");
        case Stage::Connected:
            // The program answers for the device it is connected to, if any.
            if (line->empty() || *line == "Not connected")
                throw InstrumentFault("the LibreVNA program has no device connected");
            device_ = *line;
            stage_ = Stage::Idle;
            return done();
        case Stage::Finished:
            if (*line == "FALSE")
                return {"VNA:ACQ:FIN?\n", kPollMs};
            if (*line != "TRUE")
                throw InstrumentFault("the reply to 'VNA:ACQ:FIN?' was " + quoted(*line));
            segment_.clear();
            return send(Stage::S11, "VNA:TRAC:DATA? S11");
        case Stage::S11:
            librevna::parseTrace(*line, "S11", sweep_.plan(), sweep_.current(), segment_);
            return send(Stage::S21, "VNA:TRAC:DATA? S21");
        case Stage::S21:
            librevna::parseTrace(*line, "S21", sweep_.plan(), sweep_.current(), segment_);
            if (!sweep_.finish(segment_))
                return askSegment();
            stage_ = Stage::Idle;
            return done();
        case Stage::Idle:
            break;
        }
        return {};
    }

    std::string awaiting() const override { return query_; }
    std::string identity() const override
    {
        return identity_ + (device_.empty() ? "" : " (device " + device_ + ")");
    }
    SweepData takeSweep() override { return sweep_.take(); }

private:
    enum class Stage { Idle, Idn, Connected, Finished, S11, S21 };
    static constexpr int kPollMs = 10;

    static std::string quoted(std::string_view t) { return "'" + std::string(t.substr(0, 60)) + "'"; }

    Step send(Stage next, std::string query)
    {
        stage_ = next;
        query_ = std::move(query);
        return {query_ + "\n"};
    }
    Step askSegment()
    {
        stage_ = Stage::Finished;
        query_ = "VNA:ACQ:FIN?";
        return {librevna::segmentCommands(sweep_.current())};
    }

    Stage stage_ = Stage::Idle;
    std::string buffer_, query_, identity_, device_;
    SegmentedSweep sweep_;
    SweepData segment_;
};

}  // namespace

std::unique_ptr<InstrumentProtocol> makeProtocol(InstrumentKind kind, const ProtocolOptions& options)
{
    if (kind == InstrumentKind::LibreVna)
        return std::make_unique<LibreVnaProtocol>();
    return std::make_unique<NanoVnaProtocol>(options);
}
