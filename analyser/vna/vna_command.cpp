#include "analyser/vna/vna_command.h"

#include <QEventLoop>
#include <optional>

#include "analyser/instrument/link/instrument_link.h"
#include "common/atomic_file.h"
#include "common/numread.h"
#include "common/version.h"

const char kVnaHelp[] =
    "Usage: sorvel-vna (--port DEVICE | --libre HOST[:PORT]) --start HZ --stop HZ\n"
    "                  [--points N] [--segment N] [--average K] [--timeout S] [--text]\n"
    "                  [--out FILE.s2p]\n"
    "       sorvel-vna --help | --version\n"
    "\n"
    "Sweeps a network analyser once and writes S11 and S21 as a Touchstone 1.1 file\n"
    "(# Hz S RI R 50; S12 and S22 are written as 0 0).\n"
    "\n"
    "  --port DEVICE      a NanoVNA on this serial device (a pseudo-terminal too)\n"
    "  --libre HOST[:PORT] the SCPI server of the LibreVNA program (port 19542)\n"
    "  --start HZ, --stop HZ  the range, within 1 kHz to 10 GHz\n"
    "  --points N         points spread evenly in whole hertz, 11 to 10001 (201)\n"
    "  --segment N        points asked at a time, 11 to 401 (101)\n"
    "  --average K        the mean of K sweeps, 1 to 16 (1)\n"
    "  --timeout S        the longest wait for any one reply, in seconds (5)\n"
    "  --text             NanoVNA: ask with 'scan' even where 'scan_bin' is offered\n"
    "  --out FILE         write FILE (atomically) instead of standard output\n"
    "  --help             print this text and exit\n"
    "  --version          print the version and exit\n"
    "\n"
    "Exit status: 0 on success; 1 on any failure, with the message alone on standard error\n"
    "and no file written.\n";

namespace {

struct Options {
    std::optional<InstrumentAddress> address;
    std::optional<double> start, stop;
    int points = plan::kDefaultPoints, segment = plan::kDefaultSegment, average = 1;
    double timeout = 5;
    bool text = false;
    std::string out;
};

Options parse(const std::vector<std::string>& args)
{
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size())
                throw AppError(a + " needs a value");
            return args[++i];
        };
        if (a == "--port" || a == "--libre") {
            if (o.address)
                throw AppError("give one of --port and --libre, once");
            const QString v = QString::fromStdString(value());
            if (a == "--port") {
                o.address = InstrumentAddress{InstrumentKind::NanoVna, v, {}, 0};
            } else {
                o.address = libreAddress(v);
                if (!o.address)
                    throw AppError("'" + v.toStdString() + "' is not HOST or HOST:PORT");
            }
        } else if (a == "--start") {
            o.start = readNumber(value());
        } else if (a == "--stop") {
            o.stop = readNumber(value());
        } else if (a == "--points") {
            o.points = readInteger(value());
        } else if (a == "--segment") {
            o.segment = readInteger(value());
        } else if (a == "--average") {
            o.average = readInteger(value());
            if (o.average < plan::kMinAverage || o.average > plan::kMaxAverage)
                throw AppError("--average must be 1 to 16");
        } else if (a == "--timeout") {
            o.timeout = readNumber(value());
            if (!(o.timeout > 0 && o.timeout <= 3600))
                throw AppError("--timeout must be more than 0 and at most 3600 seconds");
        } else if (a == "--text") {
            o.text = true;
        } else if (a == "--out") {
            o.out = value();
        } else {
            throw AppError("unknown option '" + a + "' (see --help)");
        }
    }
    if (!o.address)
        throw AppError("--port DEVICE or --libre HOST[:PORT] is needed");
    if (!o.start || !o.stop)
        throw AppError("--start and --stop are needed");
    return o;
}

}  // namespace

int runVnaCommand(const std::vector<std::string>& args, std::string& output, std::string& error)
{
    try {
        const Options o = parse(args);
        const FrequencyPlan plan = planSweep(*o.start, *o.stop, o.points, o.segment);

        InstrumentLink link(*o.address, {.binaryScan = !o.text});
        link.setTimeoutMs(static_cast<int>(o.timeout * 1000));
        QEventLoop loop;
        std::optional<SweepData> data;
        QString failure;
        link.onOpened = [&](const QString&) { link.sweep(plan, o.average); };
        link.onSweep = [&](const SweepData& d) {
            data = d;
            loop.quit();
        };
        link.onFailed = [&](const QString& message) {
            failure = message;
            loop.quit();
        };
        link.open();
        loop.exec();
        const std::string identity = link.identity().toStdString();
        link.close();
        if (!data)
            throw AppError(failure.toStdString());

        const std::string text =
            sweepTouchstoneRI(*data, {"Instrument: " + identity,
                                      "Written by sorvel-vna " + std::string(LADDER_VERSION)});
        if (o.out.empty())
            output = text;
        else
            writeFileAtomically(o.out, text);
        return 0;
    } catch (const AppError& e) {
        error = e.what();
        return 1;
    }
}
