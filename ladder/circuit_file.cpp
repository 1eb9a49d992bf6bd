#include "circuitfile.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>

#include "atomic_file.h"
#include "checkedmath.h"
#include "errors.h"
#include "numread.h"
#include "numtext.h"

namespace {

constexpr std::size_t kMaxLine = 255;

// Lines of a text file as the reader sees them: CR LF or LF ends a line, at most 255
// characters are kept (the rest of a longer line is skipped), and every line past the
// end reads as empty text.
class LineReader {
public:
    explicit LineReader(const std::string& name) : file(std::fopen(name.c_str(), "rb"))
    {
        if (!file)
            throw FileError::fromErrno(errno);
    }
    ~LineReader() { std::fclose(file); }
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    std::string next()
    {
        std::string line;
        if (ended)
            return line;
        // One character beyond the limit is held, so that a CR ending a line of exactly
        // 255 characters can still be told from content.
        std::size_t length = 0;
        int last = 0;
        for (;;) {
            const int c = std::getc(file);
            if (c == EOF) {
                if (std::ferror(file))
                    throw FileError::fromErrno(errno);
                ended = true;
                break;
            }
            if (c == '\n')
                break;
            if (line.size() <= kMaxLine)
                line.push_back(static_cast<char>(c));
            ++length;
            last = c;
        }
        if (last == '\r' && length <= kMaxLine + 1)
            line.pop_back();
        if (line.size() > kMaxLine)
            line.resize(kMaxLine);
        return line;
    }

private:
    std::FILE* file;
    bool ended = false;
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

void readRecord(Model& m, int i, LineReader& file)
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

void readLadder(Model& m, WindowPort& w)
{
    w.canvas().rectangle(Model::plotleft, Model::plottop, Model::plotleft + Model::plotwidth,
                         Model::plottop + Model::plotheight);
    m.tunepending = false;
    m.tuneup = true;
    w.memoClear(Memo::Listing);
    m.resetBeforeRead();

    LineReader file(m.circuitfile);

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
        m.frequnit = "Hz";
        m.xtalfreq = readNumber(file.next());
        m.xtallm = readNumber(file.next());
        m.xtalcp = readNumber(file.next());
        m.xtalqx = readNumber(file.next());
    }

    const double start = readNumber(file.next());
    const double stop = readNumber(file.next());
    m.tablestep = readNumber(file.next());
    m.freqperdiv = readNumber(file.next());
    m.startfreq = start;
    m.stopfreq = stop;
    // A span beyond the largest double has no sweep: refused here, before any field shows it.
    m.freqstep = checked::finite((stop - start) * 0.001);
    m.bottomdb = -std::fabs(readNumber(file.next()));
    m.dbperdiv = readNumber(file.next());

    w.setText(Field::StartFreq, fixedText(m.startfreq, 6, 2));
    w.setText(Field::StopFreq, fixedText(m.stopfreq, 6, 2));
    if (m.tablestep == 0)
        m.tablestep = (stop - start) * 0.1;
    w.setText(Field::BottomDb, fixedText(m.bottomdb, 6, 2));
    w.setText(Field::DbPerDiv, fixedText(m.dbperdiv, 6, 2));
    w.setText(Field::FreqPerDiv, fixedText(m.freqperdiv, 6, 2));
    w.setText(Field::FreqUnit, m.frequnit);

    m.origbottom = m.bottomdb;
    m.origstart = m.startfreq;
    m.origstop = m.stopfreq;
    m.origdbperdiv = m.dbperdiv;
    m.origfreqperdiv = m.freqperdiv;

    for (int i = 1; i <= m.partcount; ++i)
        readRecord(m, i, file);
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

std::string circuitText(const Model& m)
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

void writeLadder(const Model& m)
{
    writeFileAtomically(m.circuitfile, circuitText(m));
}
