#pragma once
// Mirabo's top-level windows. Each reports being shown (the program's own show and hide
// calls, not the window system restoring it or a message box closing) and being closed.

#include <functional>

#include <QMainWindow>
#include <QWidget>

class QAction;

// The help, k-and-q and About windows: fixed-size client areas holding their controls.
class FormWindow : public QWidget {
public:
    FormWindow(const QString& caption, int width, int height);

    std::function<void()> onShow;
    // Closing with the title bar is the window's own "return" command.
    std::function<void()> onClose;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
};

// The main window: a menu bar above a fixed client area. Closing it ends the program.
class MainForm : public QMainWindow {
public:
    MainForm(const QString& caption, int width, int height);

    QWidget* client() const { return clientArea; }
    QAction* saveAs = nullptr;
    QAction* openDesign = nullptr;  // the design's inputs in a file of their own
    QAction* saveDesign = nullptr;
    QAction* exit = nullptr;
    QAction* help = nullptr;
    QAction* about = nullptr;
    QAction* measureCrystal = nullptr;
    QAction* matchedSet = nullptr;
    QAction* realizedResponse = nullptr;
    QAction* correctLoss = nullptr;
    QAction* roundValues = nullptr;

    std::function<void()> onShow;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    QWidget* clientArea;
};

// Places a window's client area centred on the primary screen.
void centreOnScreen(QWidget& window);
