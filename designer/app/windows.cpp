#include "designer/app/windows.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMenuBar>
#include <QScreen>
#include <QShowEvent>

FormWindow::FormWindow(const QString& caption, int width, int height)
{
    setWindowTitle(caption);
    setFixedSize(width, height);
}

void FormWindow::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (!e->spontaneous() && onShow)
        onShow();
}

void FormWindow::closeEvent(QCloseEvent* e)
{
    if (onClose) {
        e->ignore();
        onClose();
        return;
    }
    QWidget::closeEvent(e);
}

MainForm::MainForm(const QString& caption, int width, int height)
{
    setWindowTitle(caption);
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    saveAs = file->addAction(QStringLiteral("Save &As..."));
    saveAs->setObjectName(QStringLiteral("SaveAs1"));
    saveAs->setShortcut(QKeySequence::SaveAs);
    openDesign = file->addAction(QStringLiteral("&Open Design..."));
    openDesign->setShortcut(QKeySequence::Open);
    saveDesign = file->addAction(QStringLiteral("Save &Design..."));
    saveDesign->setShortcut(QKeySequence::Save);
    file->addSeparator()->setObjectName(QStringLiteral("N1"));
    file->addSeparator()->setObjectName(QStringLiteral("N2"));
    exit = file->addAction(QStringLiteral("E&xit"));
    exit->setObjectName(QStringLiteral("Exit1"));
    exit->setShortcut(QKeySequence::Quit);
    // Beyond the classic steps: measured crystals in, the built filter's response out.
    QMenu* crystal = menuBar()->addMenu(QStringLiteral("&Crystal"));
    measureCrystal = crystal->addAction(QStringLiteral("&Measure from Touchstone..."));
    matchedSet = crystal->addAction(QStringLiteral("Matched &set..."));
    QMenu* designMenu = menuBar()->addMenu(QStringLiteral("&Design"));
    realizedResponse = designMenu->addAction(QStringLiteral("&Realized response"));
    correctLoss = designMenu->addAction(QStringLiteral("&Correct for crystal loss"));
    roundValues = designMenu->addAction(QStringLiteral("R&ound to preferred values..."));
    help = menuBar()->addAction(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    help->setShortcut(QKeySequence::HelpContents);
    about = menuBar()->addAction(QStringLiteral("About Mirabo"));
    about->setObjectName(QStringLiteral("AboutMirabo1"));

    clientArea = new QWidget(this);
    clientArea->setObjectName(QStringLiteral("client"));
    clientArea->setFixedSize(width, height);
    setCentralWidget(clientArea);
    setFixedSize(width, height + menuBar()->sizeHint().height());
}

void MainForm::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    if (!e->spontaneous() && onShow)
        onShow();
}

void MainForm::closeEvent(QCloseEvent* e)
{
    QMainWindow::closeEvent(e);
    if (e->isAccepted())
        QCoreApplication::quit();
}

void centreOnScreen(QWidget& window)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    window.move(area.center() - window.rect().center());
}
