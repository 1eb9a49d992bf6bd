#include "desktop/window_placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QWidget>

#include <algorithm>
#include <climits>

namespace desktop {

namespace {

// Between the main window and the windows placed beside it.
constexpr int kGap = 8;
// The search over the screen, when neither the right nor the bottom has room.
constexpr int kSearchStep = 16;

long long area(const QRect& r) { return r.isEmpty() ? 0 : static_cast<long long>(r.width()) * r.height(); }

// `r` moved (not resized) to lie inside `screen` where it can.
QRect inside(QRect r, const QRect& screen)
{
    r.moveLeft(std::max(screen.left(), std::min(r.left(), screen.right() - r.width() + 1)));
    r.moveTop(std::max(screen.top(), std::min(r.top(), screen.bottom() - r.height() + 1)));
    return r;
}

int coveredControls(const QRect& r, const std::vector<QRect>& controls)
{
    return static_cast<int>(std::count_if(controls.begin(), controls.end(), [&](const QRect& c) { return r.intersects(c); }));
}

QRect screenOf(const QWidget& main)
{
    const QScreen* screen = main.screen() ? main.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1920, 1080);
}

// The frame a window of client size `size` will have: the main window's frame margins, or
// none where it has none (no window manager).
QSize frameSize(const QWidget& main, QSize size)
{
    const QSize margins = main.frameGeometry().size() - main.geometry().size();
    return size + margins.expandedTo(QSize(0, 0));
}

class Keeper : public QObject {
public:
    Keeper(QWidget* window, QWidget* main, const QString& application, const QString& name)
        : QObject(window), window_(window), main_(main), application_(application), key_("windows/" + name)
    {
    }

    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Show && !placed_) {
            place();
            placed_ = true;
        } else if ((e->type() == QEvent::Hide || e->type() == QEvent::Close) && placed_) {
            remember();
            placed_ = false;
        }
        return false;
    }

private:
    QSettings settings() const { return QSettings("ladderbench", application_); }

    void place()
    {
        const QRect screen = screenOf(*main_);
        const QSize margins = frameSize(*main_, QSize(0, 0));
        QSize size = window_->size();
        const QRect saved = settings().value(key_).toRect();
        if (saved.isValid())
            size = saved.size().expandedTo(window_->minimumSize());
        // A window larger than the screen is cut to it.
        size = size.boundedTo(screen.size() - margins);
        if (size != window_->size())
            window_->resize(size);
        const QRect frame(saved.topLeft(), size + margins);
        const std::vector<QRect> controls = controlRects(*main_);
        const bool keepSaved = saved.isValid() && screen.contains(frame) && coveredControls(frame, controls) == 0 &&
                               !frame.intersects(main_->frameGeometry());
        const QRect to = keepSaved ? frame : placeBeside(size + margins, main_->frameGeometry(), controls, screen);
        window_->move(to.topLeft());
    }

    void remember() { settings().setValue(key_, QRect(window_->frameGeometry().topLeft(), window_->size())); }

    QWidget* window_;
    QWidget* main_;
    QString application_, key_;
    bool placed_ = false;
};

}  // namespace

QRect placeBeside(QSize size, const QRect& main, const std::vector<QRect>& controls, const QRect& screen)
{
    size = size.boundedTo(screen.size());
    const QRect right = inside(QRect(QPoint(main.right() + 1 + kGap, main.top()), size), screen);
    if (!right.intersects(main))
        return right;
    const QRect below = inside(QRect(QPoint(main.left(), main.bottom() + 1 + kGap), size), screen);
    if (!below.intersects(main))
        return below;
    // No side has room: the place on the screen that covers the fewest controls, then the
    // least of the main window, then lies nearest its right edge.
    QRect best = right;
    auto score = [&](const QRect& r) {
        return std::tuple(coveredControls(r, controls), area(r & main), std::abs(r.left() - main.right()) + std::abs(r.top() - main.top()));
    };
    auto bestScore = score(best);
    for (int y = screen.top(); y + size.height() - 1 <= screen.bottom(); y += kSearchStep)
        for (int x = screen.left(); x + size.width() - 1 <= screen.right(); x += kSearchStep) {
            const QRect r(QPoint(x, y), size);
            if (const auto s = score(r); s < bestScore)
                best = r, bestScore = s;
        }
    return best;
}

std::vector<QRect> controlRects(const QWidget& main)
{
    std::vector<QRect> out;
    for (const QWidget* w : main.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&main) || w->isWindow())
            continue;
        const bool leaf = w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).isEmpty();
        if (leaf || qobject_cast<const QMenuBar*>(w))
            out.emplace_back(w->mapToGlobal(QPoint(0, 0)), w->size());
    }
    return out;
}

void keepBeside(QWidget* window, QWidget* main, const QString& application, const QString& name)
{
    window->installEventFilter(new Keeper(window, main, application, name));
}

}  // namespace desktop
