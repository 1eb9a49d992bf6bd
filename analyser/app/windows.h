#pragma once
// Sorvel's two windows. They only show things and report input; what a click does is
// decided by the handlers they are wired to (see SorvelApp).

#include <QMainWindow>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <map>

#include "analyser/app/control_table.h"
#include "analyser/app/image_canvas.h"

class QAction;
class QLabel;
class MeasurementLegend;

// Fonts of the size the control table was laid out for.
QFont sorvelFont();

// The main window's client area: the blue surface with the kept picture on it and the
// controls above. Reports the pointer in client pixels.
class ClientArea : public QWidget {
    Q_OBJECT
public:
    explicit ClientArea(QSize size, QWidget* parent = nullptr);

    ImageCanvas& canvas() { return canvas_; }

    std::function<void(int x, int y)> onMove;
    std::function<void()> onPress;
    std::function<void()> onClick;
    std::function<void()> onRelease;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    ImageCanvas canvas_;
    bool clickArmed_ = false;  // a left press on the surface awaits its release
};

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 741, kClientHeight = 576;

    MainWindow();

    ClientArea* client() const { return client_; }
    QWidget* control(ControlId id) const;  // throws for a control of the other window
    const Controls& controls() const { return controls_; }
    // The menu's commands: open, save as, quit and the About window.
    QAction* action(Command command) const;

    MeasurementLegend* measurementLegend() const { return legend_; }

    // Runs on each show of the window (not on restoring it from the task bar), once
    // the show has been processed.
    std::function<void()> onShown;
    // Asked when the window is to close: false keeps it open.
    std::function<bool()> onCloseRequested;
    // A Touchstone file (.s1p, .s2p) dropped on the window.
    std::function<void(const std::string& path)> onMeasurementDropped;

    // The local Touchstone file among dropped URLs, or an empty string.
    static QString droppedMeasurement(const QList<QUrl>& urls);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    ClientArea* client_;
    MeasurementLegend* legend_;
    Controls controls_;
    std::map<Command, QAction*> actions_;
};

class AboutWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 584, kHeight = 335;

    AboutWindow();

    QWidget* control(ControlId id) const;
    const Controls& controls() const { return controls_; }
    // The window's own close button, which does what "Return to program" does.
    std::function<void()> onClose;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Controls controls_;
};
