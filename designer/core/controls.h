#pragma once
// The controls of Mirabo's windows, named by what they hold or do, one namespace per
// window. The behaviour addresses fields and the memo by these; the Qt layer's control
// tables give each its widget.

namespace design {  // the main window

// Edit fields. The k, coupling-capacitor and tuning-capacitor runs are consecutive so
// that mesh numbers index them (couplingField() and the others below).
enum class Field {
    CrystalMhz,    // series-resonant frequency, MHz
    MotionalL,     // H
    HolderC0,      // pF
    CrystalQ,      // unloaded Q
    Bandwidth,     // Hz
    CrystalCount,  // N
    MinEndR,       // least end resistance the crystals can be matched to, shown by step 3
    Q1,
    Qn,
    K12, K23, K34, K45, K56, K67, K78, K89, K910,
    EndR,
    EndC1,  // shunt end capacitors, pF
    EndCn,
    CouplingC12, CouplingC23, CouplingC34, CouplingC45, CouplingC56, CouplingC67, CouplingC78,
    CouplingC89, CouplingC910,
    TuningC1, TuningC2, TuningC3, TuningC4, TuningC5, TuningC6, TuningC7, TuningC8, TuningC9,
    TuningC10,
};

// k between meshes j and j+1, j from 1 to 9.
constexpr Field couplingField(int j)
{
    return static_cast<Field>(static_cast<int>(Field::K12) + j - 1);
}
// The coupling capacitor between meshes j and j+1, j from 1 to 9.
constexpr Field couplingCapField(int j)
{
    return static_cast<Field>(static_cast<int>(Field::CouplingC12) + j - 1);
}
// Mesh i's tuning capacitor, i from 1 to 10.
constexpr Field tuningCapField(int i)
{
    return static_cast<Field>(static_cast<int>(Field::TuningC1) + i - 1);
}

enum class Label {
    Instructions,
    CrystalMhz, MotionalL, CrystalQ, HolderC0,
    Step1,
    Bandwidth, CrystalCount,
    Step2, Step2A,
    Q1, Qn,
    Step3,
    MinEndR, EndR,
    Step4,
    EndCapacitors, EndC1, EndCn,
    K12, K23, K34, K45, K56, K67, K78, K89, K910,
    Step5,
    CouplingCapacitors,
    Step6,
    TuningCapacitors,
    CouplingC12, CouplingC23, CouplingC34, CouplingC45, CouplingC56, CouplingC67, CouplingC78,
    CouplingC89, CouplingC910,
    TuningC1, TuningC2, TuningC3, TuningC4, TuningC5, TuningC6, TuningC7, TuningC8, TuningC9,
    TuningC10,
    WireNote,  // 99999 pF means a wire
};

enum class Panel {
    EndCapacitors,  // holds the C-1 and C-N fields
};

// Buttons, by what clicking does.
enum class Command {
    CharacterizeCrystal,        // step 1
    SetBandwidthAndOrder,       // step 2
    OpenGenerator,              // step 2A: the k-and-q window
    SetEndQ,                    // step 3
    MatchEnds,                  // step 4
    ComputeCouplingCapacitors,  // step 5
    TuneMeshes,                 // step 6
    SaveDefaultFile,
    Exit,
};

}  // namespace design

namespace kq {  // the k-and-q generator window

enum class Field {
    CrystalCount,
    Ripple,  // dB, Chebyshev only
    Q1,
    Qn,
};

enum class Memo {
    Couplings,  // one line per pair of meshes: "jk     k"
};

enum class Label {
    StartValuesNote,
    Formulas,
    Heading,
    PickType,
    CrystalCount,
    Ripple,
    Q1,
    Qn,
    MeshPairHeading,
    CouplingHeading,
};

enum class GroupBox {
    FilterType,  // holds the type buttons
};

enum class Panel {
    Calculate,  // a click anywhere on it calculates, like the button
};

// Buttons and radio buttons, by what clicking does.
enum class Command {
    ChooseChebyshev,
    ChooseButterworth,
    ChooseMinimumLoss,
    ChooseBessel,
    ChooseGaussian,
    Calculate,
    ReturnToDesign,
};

}  // namespace kq

namespace help {  // the help window

enum class Memo { Text };
enum class Picture { Schematic };
enum class Command { ReturnToDesign };

}  // namespace help

namespace about {  // the About window

enum class Label { Title, Generator, EndResistance, DefaultFile };
enum class Command { ReturnToDesign };

}  // namespace about
