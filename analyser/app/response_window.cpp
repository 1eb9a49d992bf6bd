#include "analyser/app/response_window.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableWidget>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "analyser/app/step_chart.h"
#include "analyser/core/polyline.h"
#include "analyser/core/readout_display.h"
#include "desktop/round_ticks.h"
#include "analyser/core/window_port.h"

namespace {

// A point left out of a curve lies within this many pixels of the line drawn.
constexpr double kThinningPixels = 0.25;

QColor qcolor(Color c) { return QColor(c.r, c.g, c.b); }

// Rows and columns of the cursor readout, in the units the table uses.
QString cursorHtml(const ResponseReport& r)
{
    if (!r.cursorComputed)
        return "Cursor: none (place one in the main window)";
    const CursorValues& c = *r.cursorComputed;
    const CursorValues m = r.cursorMeasured.value_or(CursorValues{});
    auto show = [](std::optional<double> v, const DisplayUnit& u) { return QString::fromStdString(displayText(v, u)); };
    const DisplayUnit db = displayUnit("dB", 0);
    const DisplayUnit delay = displayUnit("s", std::max(std::abs(c.delay.value_or(0)), std::abs(m.delay.value_or(0))));
    auto row = [](const QString& name, const QString& a, const QString& b, const QString& unit) {
        return "<tr><td>" + name + "</td><td align=right>" + a + "</td><td align=right>" + b +
               "</td><td>" + unit + "</td></tr>";
    };
    QString html = "<table cellspacing=0 cellpadding=2>";
    // The cursor's frequency as typed, in the plot's unit.
    html += row("<b>Cursor " + QString::fromStdString(readoutText(r.cursorFreq) + " " + r.frequnit) + "</b>",
                "<b>computed</b>", "<b>measured</b>", "");
    html += row("S21", show(c.s21db, db), show(m.s21db, db), "dB");
    html += row("S11", show(c.s11db, db), show(m.s11db, db), "dB");
    html += row("Group delay", show(c.delay, delay), show(m.delay, delay), QString::fromStdString(delay.unit));
    return html + "</table>";
}

// Each cell's text drawn as it is: the style's item drawing lays out every number in a
// text layout to see whether it must be elided, and that costs several times the drawing.
// Only a text wider than its cell is measured and elided.
class PlainTextDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QWidget* widget = opt.widget;
        const QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);
        // Placed as the style places it: within its margins, one line high, aligned.
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        const QRect inner = opt.rect.adjusted(margin, 0, -margin, 0);  // no icon, no check box
        const QRect rect = QStyle::alignedRect(opt.direction, opt.displayAlignment,
                                               QSize(inner.width(), opt.fontMetrics.height()), inner);
        const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
                                           : opt.state & QStyle::State_Active  ? QPalette::Normal
                                                                                : QPalette::Inactive;
        painter->save();
        painter->setPen(opt.palette.color(group, opt.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                                      : QPalette::Text));
        painter->setFont(opt.font);
        QString text = opt.text;
        if (widthBound(text, opt) > rect.width() && opt.fontMetrics.horizontalAdvance(text) > rect.width())
            text = opt.fontMetrics.elidedText(text, opt.textElideMode, rect.width());
        painter->drawText(rect, int(opt.displayAlignment), text);
        painter->restore();
        if (opt.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(opt);
            focus.rect = style->subElementRect(QStyle::SE_ItemViewItemFocusRect, &opt, widget);
            focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
            focus.backgroundColor = opt.palette.color(opt.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled,
                                                      opt.state & QStyle::State_Selected ? QPalette::Highlight : QPalette::Window);
            style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
        }
    }

private:
    // At least the text's width, without laying it out: a number (or "none") is no wider
    // than its length times the widest character it can hold, plus a pixel for rounding.
    int widthBound(const QString& text, const QStyleOptionViewItem& opt) const
    {
        static const QString kNumberChars = "0123456789.+-enoE";
        if (opt.font != font_ || widest_ < 0) {
            font_ = opt.font;
            widest_ = 0;
            for (QChar c : kNumberChars)
                widest_ = std::max(widest_, opt.fontMetrics.horizontalAdvance(c));
        }
        for (QChar c : text)
            if (!kNumberChars.contains(c))
                return std::numeric_limits<int>::max();
        return int(text.size()) * widest_ + 1;
    }

    mutable QFont font_;
    mutable int widest_ = -1;
};

}  // namespace

ResponseWindow::ResponseWindow()
{
    setObjectName("responseWindow");
    setWindowTitle("Response");
    setWindowFlag(Qt::Window);
    // Closing it never ends the program; the main window does that.
    setAttribute(Qt::WA_QuitOnClose, false);

    table_ = new QTableWidget(0, 5, this);
    table_->setObjectName("readouts");
    table_->setHorizontalHeaderLabels({"Readout", "Computed", "Measured", "Difference", "Unit"});
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Fixed widths: sizing columns to their contents after every tune step costs more
    // than all the numbers in them.
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Wide enough for the longest name and a number of 12 characters at the window's font.
    const QFontMetrics fm(table_->font());
    int nameWidth = fm.horizontalAdvance("Readout");
    for (const char* q : {"delay_centre_s", "shape_60_6", "high_60", "insertion_loss_db"})
        nameWidth = std::max(nameWidth, fm.horizontalAdvance(QString::fromStdString(readoutLabel(q))));
    const int numberWidth = std::max(fm.horizontalAdvance("-0000000.0000"), fm.horizontalAdvance("Difference"));
    const int unitWidth = fm.horizontalAdvance("Unit") + 24;
    table_->horizontalHeader()->setMinimumSectionSize(std::min(unitWidth, nameWidth));
    table_->horizontalHeader()->setDefaultSectionSize(unitWidth);  // before the widths: it resets them
    table_->setColumnWidth(0, nameWidth + 16);
    for (int col = 1; col <= 3; ++col)
        table_->setColumnWidth(col, numberWidth + 16);
    // Every column in view, the unit's too, beside the vertical scroll bar.
    tableWidth_ = nameWidth + 16 + 3 * (numberWidth + 16) + unitWidth +
                  table_->verticalScrollBar()->sizeHint().width() + 2 * table_->frameWidth() + 2;
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->setDefaultSectionSize(18);
    table_->setItemDelegate(new PlainTextDelegate(table_));

    chart_ = new QChart;
    chart_->setTitle("Group delay");
    chart_->legend()->setAlignment(Qt::AlignBottom);
    chart_->setMargins(QMargins(4, 4, 4, 4));
    computed_ = new QLineSeries;
    computed_->setName("Computed");
    computed_->setPen(QPen(qcolor(colors::kRed), 1));
    measured_ = new QLineSeries;
    measured_->setName("Measured");
    measured_->setPen(QPen(qcolor(colors::kMeasuredS21), 1));
    chart_->addSeries(computed_);
    chart_->addSeries(measured_);
    xAxis_ = new QValueAxis;
    yAxis_ = new QValueAxis;
    chart_->addAxis(xAxis_, Qt::AlignBottom);
    chart_->addAxis(yAxis_, Qt::AlignLeft);
    for (QLineSeries* s : {computed_, measured_}) {
        s->attachAxis(xAxis_);
        s->attachAxis(yAxis_);
    }
    // Thinned for a small plot area, a curve would show its corners once the window grows.
    connect(chart_, &QChart::plotAreaChanged, this, [this](const QRectF& area) {
        if (area.width() > 1.5 * thinnedFor_.width() || area.height() > 1.5 * thinnedFor_.height())
            showCurves();
    });
    chartView_ = new QChartView(chart_, this);
    chartView_->setObjectName("delayChart");
    // Without antialiasing: a 1000-point line repaints several times faster.
    chartView_->setRenderHint(QPainter::Antialiasing, false);
    chartView_->setMinimumHeight(260);

    cursor_ = new QLabel(this);
    cursor_->setObjectName("cursorReadout");
    cursor_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    status_ = new QLabel(this);
    status_->setObjectName("status");
    status_->setWordWrap(true);

    auto* copy = new QPushButton("&Copy", this);
    copy->setObjectName("copy");
    copy->setToolTip("Copy the readouts and the cursor values as text");
    connect(copy, &QPushButton::clicked, this, &ResponseWindow::copyToClipboard);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(cursor_, 1);
    bottom->addWidget(copy, 0, Qt::AlignBottom);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_, 3);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("plotTabs");
    tabs_->addTab(chartView_, "Group delay");
    step_ = new StepChart;
    tabs_->addTab(step_, "Step response");
    connect(tabs_, &QTabWidget::currentChanged, this, [this] {
        if (stepShown() && onStepWanted)
            onStepWanted();
    });
    layout->addWidget(tabs_, 2);
    layout->addLayout(bottom);
    layout->addWidget(status_);
    // With its frame, within a 1366 x 768 screen.
    const QMargins m = layout->contentsMargins();
    resize(std::max(600, tableWidth_ + m.left() + m.right()), 680);
}

void ResponseWindow::showReport(const ResponseReport& r)
{
    status_->clear();
    const auto rows = displayRows(r);
    table_->setRowCount(int(rows.size()));
    for (int i = 0; i < int(rows.size()); ++i) {
        const DisplayRow& row = rows[std::size_t(i)];
        const QString cells[] = {QString::fromStdString(row.label), QString::fromStdString(row.computed),
                                 QString::fromStdString(row.measured), QString::fromStdString(row.difference),
                                 QString::fromStdString(row.unit)};
        for (int col = 0; col < 5; ++col) {
            QTableWidgetItem* item = table_->item(i, col);
            if (!item) {
                item = new QTableWidgetItem;
                item->setTextAlignment(col >= 1 && col <= 3 ? Qt::AlignRight | Qt::AlignVCenter
                                                            : Qt::AlignLeft | Qt::AlignVCenter);
                table_->setItem(i, col, item);
            }
            item->setText(cells[col]);
        }
    }

    // One unit for both traces, chosen by the larger delay shown.
    double largest = 0;
    for (double d : r.computedDelay)
        largest = std::max(largest, std::abs(d));
    for (double d : r.measuredDelay)
        largest = std::max(largest, std::abs(d));
    const DelayScale ds = delayScale(largest);
    double lo = 0, hi = 0;
    auto scaled = [&](const std::vector<double>& d, std::vector<double>& out) {
        out.resize(d.size());
        for (std::size_t i = 0; i < d.size(); ++i) {
            out[i] = d[i] * ds.perSecond;
            lo = std::min(lo, out[i]);
            hi = std::max(hi, out[i]);
        }
    };
    computedX_ = r.freq;
    scaled(r.computedDelay, computedY_);
    measuredX_ = r.measuredDelayFreq;
    scaled(r.measuredDelay, measuredY_);
    const double top = hi > lo ? hi * 1.05 : lo + 1;
    // A new range redraws the curves it holds; emptied first, they are drawn once, not twice.
    if (xAxis_->min() != r.start || xAxis_->max() != r.stop || yAxis_->min() != lo || yAxis_->max() != top) {
        computed_->clear();
        measured_->clear();
    }
    measured_->setVisible(!r.measuredDelay.empty());
    desktop::setRoundTicks(*xAxis_, r.start, r.stop);
    xAxis_->setTitleText(QString::fromStdString("Frequency (" + r.frequnit + ")"));
    desktop::setRoundTicks(*yAxis_, lo, top);
    yAxis_->setTitleText(QString("Delay (%1)").arg(QString::fromUtf8(ds.unit)));
    showCurves();

    cursor_->setText(cursorHtml(r));
    shown_ = r;
}

void ResponseWindow::showCurves()
{
    const QSizeF area = chart_->plotArea().size();
    const double xScale = area.width() / (xAxis_->max() - xAxis_->min());
    const double yScale = area.height() / (yAxis_->max() - yAxis_->min());
    auto thinned = [&](const std::vector<double>& x, const std::vector<double>& y) {
        QList<QPointF> out;
        // Before the first layout there is no size to thin for.
        if (area.isEmpty()) {
            out.reserve(qsizetype(x.size()));
            for (std::size_t i = 0; i < x.size(); ++i)
                out.append(QPointF(x[i], y[i]));
            return out;
        }
        const auto keep = simplifyPolyline(x.data(), y.data(), int(x.size()), xScale, yScale, kThinningPixels);
        out.reserve(qsizetype(keep.size()));
        for (int i : keep)
            out.append(QPointF(x[std::size_t(i)], y[std::size_t(i)]));
        return out;
    };
    thinnedFor_ = area;
    computed_->replace(thinned(computedX_, computedY_));
    measured_->replace(thinned(measuredX_, measuredY_));
}

bool ResponseWindow::stepShown() const { return isVisible() && tabs_->currentWidget() == step_; }

void ResponseWindow::showStep(const StepView& view) { step_->show(view); }

void ResponseWindow::showError(const std::string& message)
{
    status_->setText(QString::fromStdString("Not updated: " + message));
}

void ResponseWindow::showNotPlotted(const std::string& file)
{
    table_->setRowCount(0);
    computedX_.clear();
    computedY_.clear();
    measuredX_.clear();
    measuredY_.clear();
    computed_->clear();
    measured_->clear();
    cursor_->clear();
    shown_.reset();
    status_->setText(QString::fromStdString("Not plotted yet: " + file +
                                            " was read. Click Plot (or the blue) to see its readouts."));
}

QString ResponseWindow::reportText() const
{
    return shown_ ? QString::fromStdString(responseReportText(*shown_)) : QString();
}

void ResponseWindow::copyToClipboard() const { QApplication::clipboard()->setText(reportText()); }

void ResponseWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (onOpenChanged && !event->spontaneous())
        onOpenChanged(true);
}

void ResponseWindow::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    if (onOpenChanged)
        onOpenChanged(false);
}
