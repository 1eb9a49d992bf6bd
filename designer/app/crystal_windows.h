#pragma once
// Crystal data from measurements: one crystal's values from a Touchstone file (with the
// series-capacitor method beside it), and a matched set picked from a measured batch.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <QWidget>

#include "designer/core/controls.h"
#include "designer/core/crystal_fit.h"
#include "designer/core/design_state.h"
#include "designer/core/matched_set.h"

class QChartView;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

// Texts for step 1's fields, which the main window takes only when asked to.
using CrystalFields = std::map<design::Field, std::string>;

class MeasureWindow : public QWidget {
public:
    MeasureWindow();

    // Reads and fits the file with the port R typed; a refusal is shown in a message box.
    void loadFile(const QString& path);
    void computeSeriesMethod();

    std::function<void(const CrystalFields&)> onUse;  // "Use these values"

    QLineEdit* portR;
    QPushButton* open;
    QLabel* values;
    QLabel* residual;
    QChartView* chart;
    QPushButton* use;

    QLineEdit *seriesFs, *seriesShifted, *seriesCs, *seriesC0;
    QPushButton* seriesCompute;
    QLabel* seriesValues;
    QPushButton* seriesUse;

    std::optional<CrystalFit> fit;
    std::optional<MotionalValues> seriesFit;
};

class MatchedSetWindow : public QWidget {
public:
    explicit MatchedSetWindow(DesignState& state);

    void loadList(const QString& path);                // name,fs_hz lines
    void addMeasurements(const QStringList& paths);   // Touchstone files, each through the fit
    void pickClosest();                               // ticks the N of least spread
    void useTicked();                                 // the ticked crystals become the design's set
    void clearSet();

    QLineEdit* portR;
    QTableWidget* table;
    QSpinBox* count;
    QLabel* status;
    QPushButton *load, *add, *pick, *useSet, *clear;

    std::vector<MeasuredCrystal> crystals;  // by rising fs

    std::function<void()> onSetChanged;  // the design's set was made or cleared here
    void showStatus();                   // the design's set as it stands

private:
    void showCrystals(const std::vector<std::string>& ticked);
    DesignState& s;
};
