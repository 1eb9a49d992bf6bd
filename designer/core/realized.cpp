#include "realized.h"

#include <algorithm>
#include <cmath>

#include "design_file.h"
#include "engine.h"
#include "numread.h"
#include "numtext.h"

Model designModel(const DesignState& s)
{
    const DesignCircuit c = designCircuit(s);
    auto value = [](const std::string& text) { return readNumber(text); };
    Model m = Model::startup();
    m.resetBeforeRead();
    m.partcount = static_cast<int>(readInteger(c.header[0]));
    m.inductorq = value(c.header[1]);
    m.sourcer = value(c.header[2]);
    m.loadr = value(c.header[3]);
    m.crystalflag = 1;
    m.frequnit = "Hz";
    m.xtalfreq = value(c.header[5]);
    m.xtallm = value(c.header[6]);
    m.xtalcp = value(c.header[7]);
    m.xtalqx = value(c.header[8]);
    m.startfreq = value(c.header[9]);
    m.stopfreq = value(c.header[10]);
    m.tablestep = value(c.header[11]);
    m.freqperdiv = value(c.header[12]);
    m.freqstep = (m.stopfreq - m.startfreq) * 0.001;
    m.bottomdb = -std::fabs(value(c.header[13]));
    m.dbperdiv = value(c.header[14]);
    m.origbottom = m.bottomdb;
    m.origstart = m.startfreq;
    m.origstop = m.stopfreq;
    m.origdbperdiv = m.dbperdiv;
    m.origfreqperdiv = m.freqperdiv;
    int i = 1;
    for (const DesignCircuit::Record& r : c.records) {
        m.setKind(i, r.kind);
        m.part(i).partconn = r.conn;
        m.part(i).partvalue = value(r.value);
        ++i;
    }
    m.setKind(i, "rlb");
    m.part(i).partconn = "ser";
    m.part(i).partvalue = 0;
    return m;
}

RealizedResponse realizeDesign(const DesignState& s, double askedBwHz, int curvePoints)
{
    const Model m = designModel(s);
    RealizedResponse r;
    r.askedBwHz = askedBwHz;
    r.designBwHz = s.bw;
    r.readouts = measureResponse(m, m.startfreq, m.stopfreq);
    const int n = std::max(curvePoints, 2);
    for (int i = 0; i < n; ++i) {
        const double f = m.startfreq + (m.stopfreq - m.startfreq) * i / (n - 1);
        const Solution sol = solveLadder(m, f);
        r.freqHz.push_back(f);
        r.s21Db.push_back(sol.s21db);
        r.s11Db.push_back(sol.s11db);
    }
    return r;
}

std::string realizedCsv(const RealizedResponse& r)
{
    std::string out;
    auto line = [&](const char* name, std::optional<double> v) {
        out += name;
        out += ',';
        out += v ? generalText(*v, 10) : std::string("none");
        out += '\n';
    };
    const Readouts& x = r.readouts;
    line("realized_bw3_hz", x.bands[0].width);
    line("realized_bw6_hz", x.bands[1].width);
    line("realized_centre_offset_hz", x.centre3);
    line("insertion_loss_db", x.insertionLossDb);
    line("ripple_db", x.rippleDb);
    line("return_loss_db", x.returnLossDb);
    return out;
}
