#pragma once
// Mirabo: the design state, its four windows (created at start in the order main, help,
// k-and-q, About, one shown at a time) and the wiring of their commands to the core.

#include <memory>
#include <optional>

#include "designer/app/crystal_windows.h"
#include "designer/core/design_state.h"
#include "designer/core/designer.h"
#include "designer/core/freshness.h"
#include "designer/core/kandq.h"
#include "designer/app/qt_form_port.h"
#include "designer/app/realized_window.h"
#include "designer/app/round_window.h"
#include "designer/app/windows.h"

class MiraboApp {
public:
    MiraboApp();
    void start();  // shows the main window

    // Navigation between the windows.
    void showKandQ();
    void showMainFromKandQ();
    void showAbout();
    void showMainFromAbout();
    void showHelp();
    void showMainFromHelp();

    // The measured-crystal and realized-response commands.
    void showMeasureWindow();
    void showMatchedSet();
    void useCrystalValues(const CrystalFields& fields);  // into step 1's fields only
    void showRealizedResponse();  // after step 6 and on demand
    void correctForCrystalLoss();
    // Design > Round to preferred values: the window, its Round and its "Use these values".
    void showRoundWindow();
    void roundToPreferredValues();
    void useRoundedValues();

    // The design's inputs to and from a file (File > Save Design..., Open Design...). An
    // opened design starts afresh: its inputs in the fields, the results cleared.
    void saveDesignTo(const QString& path);
    void openDesignFrom(const QString& path);
    // A file named on the command line: a Touchstone file into the crystal measurement, a
    // crystal list into the matched set, a design file into the main window.
    void openArgument(const QString& path);

    DesignState state;
    MainForm main;
    FormWindow help;
    FormWindow kandq;
    FormWindow about;
    MeasureWindow measure;
    MatchedSetWindow matchedSet{state};
    RealizedWindow realized;
    RoundWindow rounding;
    std::optional<ValueChoice> roundChoice;  // the last rounding shown in `rounding`
    Freshness freshness;  // which results belong to the inputs on screen

    // Each window's widgets by identifier, from its control table.
    Controls mainControls;
    Controls helpControls;
    Controls kandqControls;
    Controls aboutControls;

private:
    QtDesignPort mainPort{main, mainControls};
    QtKandQPort kandqPort{kandq, kandqControls};
    FreshnessPort stepsPort{mainPort, freshness};
    Designer designer{state, stepsPort};
    KandQ generator{state, kandqPort};

    // Each connects its window's commands to their handlers, all in one place.
    void wireMain();
    void wireKandQ();
    void wireHelp();
    void wireAbout();
    void wireMeasurements();
    void wireDesignFiles();
    void showFreshness();
};

// The look all windows are laid out for: a compact sans-serif face and the Fusion style.
void setUpMiraboLook();
