#include "analyser/sweep/fit_command.h"

#include "common/atomic_file.h"
#include "common/numtext.h"
#include "common/touchstone.h"
#include "ladder/circuit_file.h"
#include "ladder/fit/circuit_fit.h"

std::string fitCsv(const Circuit& m, double start, double stop,
                   const FitOptions& o, const std::optional<std::string>& out, std::string* notes)
{
    fit::FreeSet free = fit::readFreeSet(m, o.free);
    if (o.fitQ) {
        free.crystalQ = fit::hasCrystals(m);
        free.inductorQ = fit::hasInductors(m);
        if (!free.crystalQ && !free.inductorQ)
            throw AppError("The circuit has no crystals or inductors whose Q could be fitted.");
    }
    const Network n = readTouchstoneFile(o.measurement);
    const fit::Result r = fit::fitCircuit(m, fit::targetFrom(n, m, start, stop), free);

    std::string csv = "entry,kind,nominal,fitted,change,sigma,unit,flag\n";
    for (const fit::ParameterResult& p : r.parameters) {
        csv += p.name + ',' + p.part + ',';
        for (double v : {p.nominal, p.fitted, p.change(), p.sigma}) {
            appendG17(csv, v);
            csv += ',';
        }
        csv += p.unit + ',' + (p.unresolved ? "unresolved" : "") + '\n';
    }
    csv += "residual_rms_db,";
    appendG17(csv, r.rmsBeforeDb);
    csv += ',';
    appendG17(csv, r.rmsAfterDb);
    csv += '\n';
    if (r.poor) {
        if (notes)
            *notes = r.message + (out ? " No file was written." : "");
        return csv;
    }
    if (out)
        writeCircuitFile(*out, r.fitted);
    return csv;
}
