#pragma once
// Design > Round to preferred values: the design's capacitors put to a series or a parts list,
// the exact, rounded and refitted realized responses side by side, and the values chosen
// handed back to the design.

#include <functional>
#include <optional>
#include <vector>

#include <QWidget>

#include "designer/core/value_choice.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

class RoundWindow : public QWidget {
public:
    RoundWindow();
    void showChoice(const ValueChoice& c);
    void clearChoice();

    // The values to choose from: the series picked, or the parts list read. Throws as
    // availableValues() does; nullopt where no parts list has been chosen.
    std::optional<std::vector<double>> available();

    QComboBox* series;     // E6 ... E96, then "Parts list..."
    QCheckBox* refit;
    QPushButton* round;
    QPushButton* use;      // enabled once a rounding is shown
    QTableWidget* readouts;
    QTableWidget* capacitors;
    QLabel* partsFile;     // the parts list in use

    std::function<void()> onRound;
    std::function<void()> onUse;
    // Asks for a parts list; replaced by the tests.
    std::function<std::optional<QString>(QWidget*)> choosePartsList;

private:
    QString partsPath;
};
