#include "designer/core/value_choice.h"

#include "designer/core/preferred_values.h"
#include "designer/core/mesh_tuning.h"
#include "designer/core/refit.h"
#include "designer/core/single.h"

std::vector<double> availableValues(const std::string& seriesOrFile)
{
    const std::string& t = seriesOrFile;
    return t.size() > 4 && t.substr(t.size() - 4) == ".csv" ? readPartsListFile(t) : seriesValues(t);
}

DesignState roundToValues(const DesignState& exact, const std::vector<double>& available)
{
    DesignState s = exact;
    auto rounded = [&](float v) { return static_cast<float>(nearestByRatio(v, available)); };
    s.ce1pf = rounded(s.ce1pf);
    s.cenpf = rounded(s.cenpf);
    s.ce1 = store(s.ce1pf * 1e-12L);
    s.cen = store(s.cenpf * 1e-12L);
    for (int j = 1; j < s.crystalCount; ++j)
        s.couplingCap[j] = rounded(s.couplingCap[j]);
    for (int i = 1; i <= s.crystalCount; ++i)
        if (s.tuningCap[i] < static_cast<float>(kWirePf))
            s.tuningCap[i] = rounded(s.tuningCap[i]);
    return s;
}

DesignState chooseValues(const DesignState& exact, const std::vector<double>& available, bool refit,
                         double askedBwHz)
{
    return refit ? refitToValues(exact, available, askedBwHz).state : roundToValues(exact, available);
}

ValueChoice compareValueChoices(const DesignState& exact, const std::vector<double>& available, bool refit,
                                double askedBwHz)
{
    ValueChoice c;
    c.exact = exact;
    c.rounded = roundToValues(exact, available);
    c.exactResponse = realizeDesign(c.exact, askedBwHz);
    c.roundedResponse = realizeDesign(c.rounded, askedBwHz);
    c.refit = refit;
    if (refit) {
        c.refitted = refitToValues(exact, available, askedBwHz).state;
        c.refittedResponse = realizeDesign(c.refitted, askedBwHz);
    }
    return c;
}
