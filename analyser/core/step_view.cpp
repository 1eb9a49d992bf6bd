#include "analyser/core/step_view.h"

#include "common/errors.h"
#include "common/numtext.h"

StepView makeStepView(const Circuit& m, const Readouts& computed)
{
    StepView v;
    try {
        const StepResponse s = stepResponse(m, computed);
        v.kind = s.kind;
        v.finalValue = s.finalValue;
        v.readouts = stepReadouts(s);
        v.scale = delayScale(s.time.empty() ? 0 : s.time.back());
        v.time.resize(s.time.size());
        for (std::size_t i = 0; i < s.time.size(); ++i)
            v.time[i] = s.time[i] * v.scale.perSecond;
        v.value = s.value;
    } catch (const AppError& e) {
        v.error = e.what();
    }
    return v;
}

std::string stepReadoutsLine(const StepView& v)
{
    if (!v.error.empty())
        return "No step response: " + v.error;
    const StepReadouts& r = v.readouts;
    const double k = v.scale.perSecond;
    const std::string unit = std::string(" ") + v.scale.unit;
    // generalText, not printf: '.' whatever the locale.
    return "Delay " + generalText(r.delay * k, 4) + unit + "   Rise " + generalText(r.rise * k, 4) + unit +
           "   Overshoot " + generalText(r.overshootPct, 3) + " %   Settling " + generalText(r.settle * k, 4) + unit;
}

std::string stepTitle(const StepView& v)
{
    return v.kind == StepKind::LowPass ? "Step response (low-pass)" : "Carrier envelope at centre_3 (band-pass)";
}
