#include "designer/core/crystal_measure.h"

#include "common/numtext.h"

using design::Field;

std::vector<std::complex<double>> seriesS21(const Network& network, double portR)
{
    if (network.ports == 2)
        return network.s21;
    std::vector<std::complex<double>> s21;
    s21.reserve(network.s11.size());
    for (const std::complex<double>& g : network.s11) {
        // S11 = 1 is an open: no crystal in that arm. fitCrystal refuses the result.
        const std::complex<double> z = network.referenceR1 * (1.0 + g) / (1.0 - g);
        s21.push_back(2 * portR / (2 * portR + z));
    }
    return s21;
}

CrystalFit fitMeasuredCrystal(const Network& network, double portR)
{
    return fitCrystal(network.frequencyHz, seriesS21(network, portR), portR);
}

CrystalFit fitMeasuredCrystalFile(const std::string& path, double portR)
{
    return fitMeasuredCrystal(readTouchstoneFile(path), portR);
}

std::map<Field, std::string> crystalFieldTexts(double fsHz, double lmH, double qu, double c0F)
{
    return {
        // Ten digits keep fs to a tenth of a hertz up to 100 MHz.
        {Field::CrystalMhz, generalText(fsHz / 1e6, 10)},
        {Field::MotionalL, generalText(lmH, 6)},
        {Field::CrystalQ, generalText(qu, 6)},
        {Field::HolderC0, generalText(c0F * 1e12, 4)},
    };
}

std::map<Field, std::string> crystalFieldTexts(const CrystalFit& fit)
{
    return crystalFieldTexts(fit.fsHz, fit.lmH, fit.qu, fit.c0F);
}

std::string crystalFitCsv(const CrystalFit& fit)
{
    std::string out;
    auto line = [&](const char* name, double v, const char* unit) {
        out += name;
        out += ',';
        out += generalText(v, 12);
        out += ',';
        out += unit;
        out += '\n';
    };
    line("fs", fit.fsHz, "Hz");
    line("lm", fit.lmH, "H");
    line("cm", fit.cmF, "F");
    line("rm", fit.rmOhm, "ohm");
    line("c0", fit.c0F, "F");
    line("qu", fit.qu, "1");
    line("fp", fit.fpHz, "Hz");
    line("residual_db", fit.residualDb, "dB");
    return out;
}
