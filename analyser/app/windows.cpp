#include "analyser/app/windows.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QShowEvent>
#include <QTimer>
#include <stdexcept>

#include "analyser/app/control_table.h"
#include "analyser/app/measurement_legend.h"
#include "ladder/readouts/measured_response.h"

QFont sorvelFont()
{
    QFont f;
    // Narrow sans faces first, so the long About lines fit; DejaVu is always there.
    f.setFamilies({"Nimbus Sans", "Liberation Sans", "Arial", "Helvetica", "DejaVu Sans"});
    f.setPixelSize(11);
    return f;
}

namespace {

QWidget* lookUp(const Controls& controls, ControlId id)
{
    auto it = controls.find(id);
    if (it == controls.end())
        throw std::invalid_argument("no such control on this window");
    return it->second;
}

}  // namespace

ClientArea::ClientArea(QSize size, QWidget* parent) : QWidget(parent), canvas_(size)
{
    setObjectName("client");
    setFixedSize(size);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ClientArea::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    const QRect r = event->rect();
    const Color bg = colors::kBackground;
    p.fillRect(r, QColor(bg.r, bg.g, bg.b));
    p.drawImage(r, canvas_.image(), r);
}

void ClientArea::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (onMove)
        onMove(pos.x(), pos.y());
}

// The order of the platform the handlers were written for: press, then the click when
// a left press is released over the surface, then the release.
void ClientArea::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        clickArmed_ = true;
    if (onPress)
        onPress();
}

void ClientArea::mouseDoubleClickEvent(QMouseEvent*)
{
    // The second press of a double click is a press but makes no click.
    clickArmed_ = false;
    if (onPress)
        onPress();
}

void ClientArea::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && clickArmed_) {
        clickArmed_ = false;
        if (rect().contains(event->position().toPoint()) && onClick)
            onClick();
    }
    if (onRelease)
        onRelease();
}

MainWindow::MainWindow()
{
    setObjectName("Form1");
    setWindowTitle("Sorvel, 2008 ");
    setFont(sorvelFont());

    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName(kFileMenuName);
    file->setSeparatorsCollapsible(false);
    for (const MenuRow& row : fileMenuItems()) {
        if (!row.id) {
            file->addSeparator()->setObjectName(row.name);
            continue;
        }
        QAction* a = file->addAction(row.caption);
        a->setObjectName(row.name);
        QList<QKeySequence> keys;
        if (row.standard != QKeySequence::UnknownKey)
            keys = QKeySequence::keyBindings(row.standard);
        if (keys.isEmpty() && *row.keys)
            keys = {QKeySequence(QString::fromLatin1(row.keys))};
        a->setShortcuts(keys);
        actions_[*row.id] = a;
    }
    for (const MenuRow& row : menuBarItems()) {
        QAction* a = menuBar()->addAction(row.caption);
        a->setObjectName(row.name);
        actions_[*row.id] = a;
    }

    client_ = new ClientArea(QSize(kClientWidth, kClientHeight), this);
    setCentralWidget(client_);
    controls_ = buildControls(client_, mainWindowControls());
    legend_ = new MeasurementLegend(client_);
    setAcceptDrops(true);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    move(210, 105);
}

QWidget* MainWindow::control(ControlId id) const { return lookUp(controls_, id); }

QAction* MainWindow::action(Command command) const
{
    auto it = actions_.find(command);
    if (it == actions_.end())
        throw std::invalid_argument("no menu item for this command");
    return it->second;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (onCloseRequested && !onCloseRequested()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // A spontaneous show is the window system restoring the window, not a return to it.
    // The handler runs from the event loop so that it finds the window on screen and may
    // open message boxes of its own.
    if (!event->spontaneous())
        QTimer::singleShot(0, this, [this] {
            if (onShown)
                onShown();
        });
}

QString MainWindow::droppedMeasurement(const QList<QUrl>& urls)
{
    for (const QUrl& url : urls)
        if (url.isLocalFile() && isMeasurementFile(url.toLocalFile().toStdString()))
            return url.toLocalFile();
    return {};
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls() && !droppedMeasurement(event->mimeData()->urls()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const QString path = droppedMeasurement(event->mimeData()->urls());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    if (onMeasurementDropped)
        onMeasurementDropped(path.toStdString());
}

AboutWindow::AboutWindow()
{
    setObjectName("Form2");
    setWindowTitle("About Sorvel");
    setFont(sorvelFont());
    setFixedSize(kWidth, kHeight);
    // Closing this window never ends the program: it returns to the main window.
    setAttribute(Qt::WA_QuitOnClose, false);
    controls_ = buildControls(this, aboutWindowControls());
    move(259, 146);
}

QWidget* AboutWindow::control(ControlId id) const { return lookUp(controls_, id); }

void AboutWindow::closeEvent(QCloseEvent* event)
{
    // The close button does what "Return to program" does; otherwise no window would
    // be left on screen.
    event->accept();
    if (onClose)
        onClose();
}
