#include "designer/core/loss_correction.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "designer/core/designer.h"
#include "common/numtext.h"
#include "designer/core/realized.h"
#include "designer/core/single.h"

using design::Field;

StepsRun runDesignSteps(DesignState& s, MemoryDesignPort& port, EndRChoice endR)
{
    Designer d(s, port);
    StepsRun run;
    auto step = [&](void (Designer::*handler)()) {
        (d.*handler)();
        if (port.messages.empty())
            return true;
        run.message = port.messages.front();
        return false;
    };
    if (!step(&Designer::characterizeCrystal) || !step(&Designer::setBandwidthAndOrder) ||
        !step(&Designer::setEndQ))
        return run;
    if (endR != EndRChoice::Typed) {
        const double least = std::ceil(static_cast<double>(s.rmin));
        if (endR == EndRChoice::TypedOrMinimum)
            run.typedEndR = readSingle(port.text(Field::EndR));
        if (endR == EndRChoice::Minimum || run.typedEndR < s.rmin) {
            port.setText(Field::EndR, integerText(static_cast<long long>(least)));
            run.endRRaised = endR == EndRChoice::TypedOrMinimum;
        }
    }
    if (!step(&Designer::matchEnds) || !step(&Designer::computeCouplingCapacitors) || !step(&Designer::tuneMeshes))
        return run;
    run.done = true;
    return run;
}

namespace {

std::string hz(double v)
{
    return generalText(v, 5) + " Hz";
}

struct Trial {
    double designBw = 0;
    std::optional<double> realized;
    std::string message;
    std::optional<double> narrowestBw;  // where the crystal's Q refused this bandwidth
    StepsRun run;
    DesignState state;
    MemoryDesignPort window;
};

// Step 3 refuses a bandwidth B whose end Q q (fhz + B) / B exceeds the crystal's Q; the
// smallest B it takes is q fhz / (Qu - q), q the larger of q1 and qn.
double narrowestBandwidth(const DesignState& s)
{
    const double q = std::max(s.q1, s.qn);
    return q * s.fhz / (s.qu - q);
}

Trial designWith(const std::map<Field, std::string>& typed, double designBw, EndRChoice endR,
                 const std::vector<double>& setFsHz, const std::vector<std::string>& setNames)
{
    Trial t;
    t.designBw = designBw;
    t.window.fields = typed;
    t.window.fields[Field::Bandwidth] = generalText(designBw, 9);
    t.state = DesignState{};
    t.state.setFsHz = setFsHz;
    t.state.setNames = setNames;
    try {
        t.run = runDesignSteps(t.state, t.window, endR);
        if (!t.run.done) {
            t.message = t.run.message;
            if (t.message == msg::kCrystalQTooLow)
                t.narrowestBw = narrowestBandwidth(t.state);
            return t;
        }
        t.realized = measureResponse(realizedCircuit(t.state), -2.0 * t.state.bw, 4.0 * t.state.bw).bands[0].width;
    } catch (const FloatError& e) {  // this bandwidth has no design; a typing error stops the search
        t.message = e.what();
    }
    return t;
}

double typedQ(const std::map<Field, std::string>& typed)
{
    const auto q = typed.find(Field::CrystalQ);
    return q == typed.end() ? 0 : readSingle(q->second);
}

}  // namespace

LossCorrection correctForLoss(const std::map<Field, std::string>& typed, EndRChoice endR,
                              const std::vector<double>& setFsHz, const std::vector<std::string>& setNames)
{
    LossCorrection out;
    const auto bwText = typed.find(Field::Bandwidth);
    out.askedBwHz = readSingle(bwText == typed.end() ? std::string() : bwText->second);
    const double asked = out.askedBwHz;
    if (!(asked > 0)) {
        out.message = "The bandwidth must be above 0 Hz.  Nothing was changed.";
        return out;
    }

    std::optional<Trial> best;  // the trial closest to the target
    std::optional<Trial> lastGood;
    double x = asked;
    std::string firstRefusal;
    std::optional<double> narrowestBw;
    auto error = [&](const Trial& t) { return std::fabs(*t.realized - asked); };
    for (int i = 0; i < kMaxLossIterations; ++i) {
        Trial t = designWith(typed, x, endR, setFsHz, setNames);
        ++out.iterations;
        if (!t.realized) {
            if (firstRefusal.empty())
                firstRefusal = t.message.empty() ? "no -3 dB band was found." : t.message;
            if (t.narrowestBw)
                narrowestBw = t.narrowestBw;
            // Loss only ever narrows the band, and a wider design asks less of the crystal's
            // Q: until one design works, try wider ones; after that, back towards what worked.
            x = lastGood ? (x + lastGood->designBw) / 2 : x * 1.5;
            continue;
        }
        if (!best || error(t) < error(*best))
            best = t;
        if (error(t) <= kLossTolerance * asked)
            break;
        // Secant step on realized(B') - B, from the last two designs; the first step scales
        // by the ratio alone. Steps are held within a factor of two.
        double next = x * asked / *t.realized;
        if (lastGood && *lastGood->realized != *t.realized)
            next = x + (asked - *t.realized) * (x - lastGood->designBw) / (*t.realized - *lastGood->realized);
        if (!(next > 0) || !std::isfinite(next))
            next = x * asked / *t.realized;
        next = std::clamp(next, x / 2, x * 2);
        lastGood = t;
        x = next;
    }

    if (best && error(*best) <= kLossTolerance * asked) {
        out.reached = true;
        out.designBwHz = best->designBw;
        out.realizedBwHz = *best->realized;
        out.endRRaised = best->run.endRRaised;
        out.endR = best->state.rend;
        out.state = best->state;
        out.window = best->window;
        std::string text = "Corrected for crystal loss: designed with " + hz(best->state.bw) + " for " +
                           hz(asked) + " after " + integerText(out.iterations) +
                           " iterations; the realized -3 dB bandwidth is " + hz(out.realizedBwHz) + ".";
        const std::string r = generalText(out.endR, 6) + " ohm";
        if (endR == EndRChoice::TypedOrMinimum) {
            if (out.endRRaised)
                text += "  End R " + generalText(best->run.typedEndR, 6) + " ohm is below the " +
                        fixedText(best->state.rmin, 5, 1) + " ohm this design needs, so it uses " + r + ".";
            else
                text += "  End R kept at " + r + ".";
        }
        out.message = text;
        return out;
    }
    // Where the crystal's Q refused narrower designs, that is the cause to name.
    const std::string cause = narrowestBw && *narrowestBw > 0
                                  ? "  Its Q of " + generalText(typedQ(typed), 6) + " allows no design narrower than " +
                                        hz(*narrowestBw) + "."
                                  : std::string();
    if (best) {
        out.designBwHz = best->designBw;
        out.realizedBwHz = *best->realized;
        out.message = "No design bandwidth gives " + hz(asked) + " at -3 dB with this crystal: the closest was " +
                      hz(out.realizedBwHz) + ", designed with " + hz(out.designBwHz) + "." + cause +
                      "  Nothing was changed.";
    } else {
        out.message = "Crystal loss cannot be corrected: " + firstRefusal + cause + "  Nothing was changed.";
    }
    return out;
}
