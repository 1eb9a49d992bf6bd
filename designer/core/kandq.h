#pragma once
// The k-and-q generator window's behaviour: normalised end Q values and coupling
// coefficients for Butterworth, Chebyshev, minimum-loss (Cohn), Bessel and Gaussian responses, written
// straight into the design state for steps 3 and 5.

#include <array>
#include <cstdint>

#include "designer/core/design_state.h"
#include "designer/core/form_port.h"

namespace msg {
// The generator's tables hold ten crystals.
inline constexpr const char* kKandQNRange = "The number of crystals must be from 1 to 10.";
}  // namespace msg

class KandQ {
public:
    KandQ(DesignState& state, KandQPort& window) : s(state), w(window) {}

    void showOrder();  // each time the window is shown: N into its field
    void chooseChebyshev();
    void chooseButterworth();
    void chooseMinimumLoss();
    void chooseBessel();
    void chooseGaussian();
    void calculate();  // the "Click" button and the "4." panel

    // 0 Butterworth, 1 Chebyshev, 2 minimum-loss, 3 Bessel, 4 Gaussian; Butterworth until a
    // type is picked.
    std::int32_t filterType = 0;

    // Working values of the last calculation.
    float typedRipple = 0;
    float ripple = 0;
    float epsilon = 0;
    float bwfactor = 0;  // 3 dB bandwidth over ripple bandwidth
    float beta = 0, gamma = 0;
    float beta2n = 0;  // beta / (2N), the value the later formulas use
    std::int32_t oddOrder = 1;  // 1 for odd N, 0 for even
    float loadratio = 1;
    std::array<float, 21> a{}, b{};
    float kmin = 0, qmin = 0;

private:
    void lowpassPrototype(int n);
    void synthesizedPrototype(int n);

    DesignState& s;
    KandQPort& w;
};
