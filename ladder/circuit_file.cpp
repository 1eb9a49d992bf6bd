#include "ladder/circuit_file.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>

#include "common/atomic_file.h"
#include "common/checkedmath.h"
#include "common/errors.h"
#include "common/file_text.h"
#include "common/numread.h"
#include "common/numtext.h"

namespace {

constexpr std::size_t kMaxLine = 255;

// Lines of a text as the reader sees them: CR LF or LF ends a line, at most 255 characters
// are kept (the rest of a longer line is skipped), and every line past the end reads as
// empty text.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}

    std::string next()
    {
        ++line_;
        std::string line;
        if (at_ >= text_.size())
            return line;
        const std::size_t end = std::min(text_.find('\n', at_), text_.size());
        std::string_view content = text_.substr(at_, end - at_);
        at_ = end + 1;
        // A CR ending the line is its end, not content: also on a line of exactly 255
        // characters before it.
        if (!content.empty() && content.back() == '\r' && content.size() <= kMaxLine + 1)
            content.remove_suffix(1);
        line.assign(content.substr(0, kMaxLine));
        return line;
    }
    int line() const { return line_; }

private:
    std::string_view text_;
    std::size_t at_ = 0;
    int line_ = 0;
};

// The reader keeps "SER" and "PAR" apart from every other spelling.
std::string connectionOf(std::string text)
{
    if (text == "SER")
        return "ser";
    if (text == "PAR")
        return "par";
    return text;
}

void readRecord(Circuit& m, int i, LineReader& file)
{
    const std::string kind = file.next();
    const int code = partCodeOf(kind);
    if (code == kNoPart)
        return;  // the entry stays neutral; the next line is the next record's kind
    m.setKind(i, kind);
    Part& p = m.part(i);
    if (code == kRlb) {
        p.partconn = "ser";
        p.partvalue = 0;
        return;
    }
    if (code == kWir) {
        file.next();  // connection and value lines are not looked at
        file.next();
        p.partconn = "ser";
        p.partvalue = 0;
        return;
    }
    p.partconn = connectionOf(file.next());
    p.partvalue = readNumber(file.next());
}

}  // namespace

std::string tooManyPartsMessage(long long count)
{
    return "The circuit has " + integerText(count) + " parts; the limit is " +
           integerText(kMaxParts) + ".";
}

Circuit clearedForRead(Circuit c)
{
    for (int n = 1; n <= kMaxParts + 1; ++n)
        c.parts[n] = Part{"wir", "ser", 0, kNoPart};
    c.sourcer = 50;
    c.loadr = 50;
    c.crystalflag = 0;
    c.inductorq = 250;
    c.frequnit = kLcFrequencyUnit;
    return c;
}

namespace {

// Stores each value as soon as it is read, so a failure leaves what came before it.
void readInto(CircuitRead& r, LineReader& file)
{
    Circuit& m = r.circuit;
    // Refused before it is stored: partcount never counts past the table.
    const int count = readInteger(file.next());
    if (count > kMaxParts)
        throw AppError(tooManyPartsMessage(count));
    m.partcount = count;
    m.inductorq = readNumber(file.next());
    m.sourcer = readNumber(file.next());
    m.loadr = readNumber(file.next());
    m.crystalflag = readInteger(file.next());
    if (m.crystalflag == 1) {
        m.frequnit = kCrystalFrequencyUnit;
        m.xtalfreq = readNumber(file.next());
        m.xtallm = readNumber(file.next());
        m.xtalcp = readNumber(file.next());
        m.xtalqx = readNumber(file.next());
    }

    const double start = readNumber(file.next());
    const double stop = readNumber(file.next());
    const int stopLine = file.line();
    m.tablestep = readNumber(file.next());
    m.freqperdiv = readNumber(file.next());
    m.startfreq = start;
    m.stopfreq = stop;
    // A span beyond the largest double has no sweep: refused here, before any field shows it.
    r.errorLine = stopLine;
    checked::finite((stop - start) * 0.001);
    r.errorLine = 0;
    m.bottomdb = -std::fabs(readNumber(file.next()));
    m.dbperdiv = readNumber(file.next());
    if (m.tablestep == 0)
        m.tablestep = (stop - start) * 0.1;
    r.sweepRead = true;

    for (int i = 1; i <= m.partcount; ++i)
        readRecord(m, i, file);
}

}  // namespace

CircuitRead readCircuit(std::string_view text, const Circuit& over)
{
    CircuitRead r;
    r.circuit = clearedForRead(over);
    LineReader file(text);
    try {
        readInto(r, file);
    } catch (const AppError&) {
        r.error = std::current_exception();
        if (r.errorLine == 0)
            r.errorLine = file.line();
    }
    return r;
}

Circuit readCircuitFile(const std::string& path)
{
    const CircuitRead r = readCircuit(readFileText(path), Circuit::startup());
    if (!r.ok())
        r.rethrow();
    return r.circuit;
}

std::string readableText(std::string text)
{
    if (isNumber(text))
        return text;
    // Only a value within a rounding step of the largest double gets here ("1.7976931349E308"):
    // its last mantissa digit is taken one down, which reads back as the value cut towards zero.
    std::size_t at = text.find('E');
    while (at-- > 0) {
        char& c = text[at];
        if (c == '.')
            continue;
        if (c != '0') {
            --c;
            break;
        }
        c = '9';
    }
    return text;
}

std::string circuitText(const Circuit& m)
{
    std::string out;
    auto line = [&out](const std::string& text) {
        out += text;
        out += "\r\n";
    };
    // Every number is checked before anything is written: a value that is no number is
    // refused by name, and the old file stays as it was.
    auto number = [&line](double v, int precision, int decimals, const std::string& what) {
        if (!std::isfinite(v))
            throw AppError("The circuit was not saved: " + what + " is not a finite number.");
        line(readableText(fixedText(v, precision, decimals)));
    };
    line(integerText(m.partcount));
    number(m.inductorq, 8, 2, "the inductor Q");
    number(m.sourcer, 8, 2, "the source resistance");
    number(m.loadr, 8, 2, "the load resistance");
    line(integerText(m.crystalflag));
    if (m.crystalflag == 1) {
        number(m.xtalfreq, 10, 6, "the crystal frequency");
        number(m.xtallm, 8, 6, "the crystal's motional inductance");
        number(m.xtalcp, 8, 6, "the crystal's parallel capacitance");
        number(m.xtalqx, 8, 2, "the crystal Q");
    }
    number(m.startfreq, 11, 5, "the start frequency");
    number(m.stopfreq, 11, 5, "the stop frequency");
    number(m.tablestep, 11, 5, "the table step");
    number(m.freqperdiv, 11, 5, "the frequency per division");
    number(std::fabs(m.bottomdb), 11, 5, "the bottom level");
    number(m.dbperdiv, 11, 5, "the dB per division");
    const int count = m.partcount < kMaxParts ? m.partcount : kMaxParts;
    for (int i = 1; i <= count; ++i) {
        const Part& p = m.part(i);
        line(p.partkind);
        // The reader takes an "rlb" record as its kind line alone. Only the last record
        // may carry the two further lines (their old form), where they are never read.
        if (p.partkind == "rlb" && i < count)
            continue;
        line(p.partconn);
        number(p.partvalue, 11, 5, "the value of entry " + integerText(i));
    }
    return out;
}

void writeCircuitFile(const std::string& path, const Circuit& c)
{
    writeFileAtomically(path, circuitText(c));
}
