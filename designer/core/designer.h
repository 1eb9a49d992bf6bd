#pragma once
// The main window's behaviour: the six numbered steps, the refresh on showing the window,
// and the export. Each handler reads its own fields through the port, works on the shared
// design state, and writes its output fields and messages in the order the user sees them.
// An AppError thrown by a handler ends it at that point; run() shows it.

#include <functional>
#include <string>

#include "designer/core/design_state.h"
#include "designer/core/form_port.h"

namespace msg {
inline constexpr const char* kNTooLarge = "N is too large. The limit is 20.";
inline constexpr const char* kCrystalQTooLow =
    "Crystal Q is too low.  Start over at step 1 with higher Q or step 2 with wider BW.";
inline constexpr const char* kResistanceTooSmall = "Resistance is too small, so try larger value";
inline constexpr const char* kQTooLow = "Q is too low.  Start over.";
inline constexpr const char* kNOver10 =
    "WARNING.  N>10, so the tuning capacitor values are wrong. Other C values are valid.";
inline constexpr const char* kNoFileSaved = "Warning -- no file saved.  Some steps are missing.";
inline constexpr const char* kSaved = "Circuit saved for analysis with Sorvel.exe";
// The tables and fields hold ten meshes; these refuse an N they cannot hold.
inline constexpr const char* kCouplingNRange =
    "Coupling capacitors need N from 1 to 10.  Enter N again at step 2.";
inline constexpr const char* kTuneNTooSmall =
    "Tuning needs at least 2 crystals.  Enter N again at step 2.";
inline constexpr const char* kExportNRange = "Warning -- no file saved.  N must be from 1 to 10.";
}  // namespace msg

inline constexpr const char* kDefaultDesignFile = "startfile.cir";

// Runs one command; an AppError ends it and is shown in a message box on the port.
void runCommand(FormPort& port, const std::function<void()>& command);

class Designer {
public:
    Designer(DesignState& state, DesignPort& window) : s(state), w(window) {}

    // Each time the main window is shown: q1, qn, k1-2 ... k9-10 and N into their fields.
    void showDesign();

    void characterizeCrystal();        // step 1
    void setBandwidthAndOrder();       // step 2
    void setEndQ();                    // step 3: q1 and qn
    void matchEnds();                  // step 4
    void computeCouplingCapacitors();  // step 5
    void tuneMeshes();                 // step 6

    void saveDefaultFile();
    void saveAs();
    void saveCircuit();  // to designfile, once the steps are done

    std::string designfile;

private:
    DesignState& s;
    DesignPort& w;
};
