#pragma once
// The circuit: a ladder of up to 80 parts between a load and a source resistance, the
// shared crystal model, and the sweep with the plot scale a circuit file stores beside it.
// Entry 1 is next to the load, entry partcount next to the source. A plain value: it knows
// nothing of files or windows.

#include <array>
#include <string>

constexpr int kMaxParts = 80;

// Numeric kind codes; the analysis selects each part's formula by these.
enum PartCode : int {
    kNoPart = 0,
    kCap = 1,
    kInd = 2,
    kRes = 3,
    kRlb = 6,
    kDupCap = 11,
    kDupInd = 12,
    kDupRes = 13,
    kXtl = 14,
    kWir = 15,
};

// The code of a kind text ("cap" -> 1 ...); 0 for a text that names no kind.
int partCodeOf(const std::string& kind);

struct Part {
    std::string partkind;
    std::string partconn = "ser";
    double partvalue = 0;
    int partcode = kNoPart;
};

// Entry numbers by which the listing, the value editor and tune mode address values.
namespace entry {
constexpr int kLoadR = 0;
constexpr int kSourceR = 98;
constexpr int kInductorQ = 99;
constexpr int kXtalFreq = 100;
constexpr int kXtalLm = 101;
constexpr int kXtalCp = 102;
constexpr int kXtalQx = 103;
}  // namespace entry

// The unit of a circuit's frequencies: MHz for an LC circuit, Hz of offset from the crystal
// frequency for a crystal circuit.
inline constexpr const char* kLcFrequencyUnit = "MHz";
inline constexpr const char* kCrystalFrequencyUnit = "Hz";

struct Circuit {
    // Part table, indexed 1..kMaxParts; slot 0 is unused. Slot kMaxParts + 1 is a
    // permanent neutral entry so the walk can always look at "the entry after the last".
    std::array<Part, kMaxParts + 2> parts{};
    int partcount = 0;

    double loadr = 50;
    double sourcer = 50;
    double inductorq = 250;
    int crystalflag = 0;
    double xtalfreq = 0;  // MHz
    double xtallm = 0;    // H
    double xtalcp = 0;    // pF
    double xtalqx = 0;
    std::string frequnit = kLcFrequencyUnit;

    // Sweep and scale (MHz, or Hz offsets from xtalfreq for a crystal circuit).
    double startfreq = 0, stopfreq = 30, freqperdiv = 2;
    double bottomdb = -100, dbperdiv = 10;
    double tablestep = 0;

    Part& part(int n) { return parts[n]; }
    const Part& part(int n) const { return parts[n]; }
    // Sets kind and code together, as every writer of the table must.
    void setKind(int n, const std::string& kind);

    // The values every run starts with: the ten-part default LC filter.
    static Circuit startup();
};

// The parts of a circuit its response depends on: the part table, terminations, inductor Q,
// the crystal block and the sweep range (not the plot scale stored beside it).
bool sameResponse(const Circuit& a, const Circuit& b);
