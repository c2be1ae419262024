#include "Timeline.h"

#include <QHelpEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <cmath>

namespace trip {

namespace {

constexpr int kMargin = 8;
constexpr int kDayLabels = 20;
constexpr int kHourLabels = 18;
constexpr int kDutyBand = 10;
constexpr double kPointingSlack = 4.0;

const QColor kPlayed(0x2e, 0x8b, 0x3e);
const QColor kStarted(0x1f, 0x6f, 0xb4);
const QColor kFailed(0xd0, 0x1c, 0x1c);
const QColor kPlanned(0x6a, 0x5a, 0xcd);
const QColor kQuiet(0, 0, 0x40, 40);
const QColor kFuture(0xf3, 0xf0, 0xff);
const QColor kDuty(0xf0, 0xa0, 0x20);
const QColor kNow(0x20, 0x20, 0x20);
const QColor kAway(0x3a, 0x8f, 0xd0);
constexpr int kAwayBand = 5;

CTime LocalDayStart(CTime at, int dayOffset, int hour)
{
    return CTime(at.GetYear(), at.GetMonth(), at.GetDay() + dayOffset, hour, 0, 0, -1);
}

QColor ColourOf(TimelineMark::Outcome outcome)
{
    switch (outcome) {
    case TimelineMark::Outcome::Played: return kPlayed;
    case TimelineMark::Outcome::Started: return kStarted;
    case TimelineMark::Outcome::Failed: return kFailed;
    case TimelineMark::Outcome::Planned: return kPlanned;
    }
    return kPlayed;
}

}  // namespace

QString LocalTimeText(CTime at)
{
    return QString::fromLocal8Bit(at.Format("%a %e %b %H:%M:%S").c_str()).simplified();
}

QString ShortTimeText(CTime at)
{
    return QString::fromLocal8Bit(at.Format("%a %e %b %H:%M").c_str()).simplified();
}

QString TimelineLegend()
{
    const auto swatch = [](const QColor& colour, const QString& text) {
        return QStringLiteral("<span style=\"color:%1\">&#9608;</span>&nbsp;%2").arg(colour.name(), text);
    };
    QColor quiet(0xd4, 0xd4, 0xe0);
    return QStringList{swatch(kPlayed, QStringLiteral("played")), swatch(kStarted, QStringLiteral("started")),
                       swatch(kFailed, QStringLiteral("failed")), swatch(kPlanned, QStringLiteral("to come")),
                       swatch(quiet, QStringLiteral("quiet hours")), swatch(kDuty, QStringLiteral("on duty")),
                       swatch(kAway, QStringLiteral("away"))}
        .join(QStringLiteral("&nbsp;&nbsp; "));
}

QString OutcomeText(TimelineMark::Outcome outcome)
{
    switch (outcome) {
    case TimelineMark::Outcome::Played: return QStringLiteral("played");
    case TimelineMark::Outcome::Started: return QStringLiteral("started");
    case TimelineMark::Outcome::Failed: return QStringLiteral("failed");
    case TimelineMark::Outcome::Planned: return QStringLiteral("planned");
    }
    return {};
}

std::vector<TimelineSpan> QuietSpans(const QuietWindow& quiet, CTime begin, CTime end)
{
    std::vector<TimelineSpan> spans;
    const int from = quiet.quietFromHour, to = quiet.quietToHour;
    if (from == to || from < 0 || to < 0 || from > 24 || to > 24)
        return spans;
    // From the day before, for a night that began before `begin`.
    for (int day = -1;; ++day) {
        const CTime dayStart = LocalDayStart(begin, day, 0);
        if (end < dayStart)
            break;
        const CTime quietFrom = LocalDayStart(begin, day, from);
        const CTime quietTo = LocalDayStart(begin, to > from ? day : day + 1, to);
        if (quietFrom < end && begin < quietTo)
            spans.push_back({std::max(quietFrom, begin), std::min(quietTo, end)});
    }
    return spans;
}

std::vector<CTime> Midnights(CTime begin, CTime end)
{
    std::vector<CTime> midnights;
    for (int day = 1;; ++day) {
        const CTime midnight = LocalDayStart(begin, day, 0);
        if (end < midnight)
            return midnights;
        midnights.push_back(midnight);
    }
}

Timeline::Timeline(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Timeline::SetData(TimelineData data)
{
    data_ = std::move(data);
    quietSpans_ = QuietSpans(data_.quiet, data_.begin, data_.end);
    midnights_ = Midnights(data_.begin, data_.end);
    update();
}

QSize Timeline::sizeHint() const
{
    return {1100, 150};
}

QSize Timeline::minimumSizeHint() const
{
    return {400, 120};
}

QRectF Timeline::Strip() const
{
    return QRectF(kMargin, kDayLabels, width() - 2 * kMargin, height() - kDayLabels - kHourLabels);
}

double Timeline::XOf(CTime at) const
{
    const QRectF strip = Strip();
    const double total = static_cast<double>((data_.end - data_.begin).GetTotalSeconds());
    if (total <= 0)
        return strip.left();
    return strip.left() + strip.width() * static_cast<double>((at - data_.begin).GetTotalSeconds()) / total;
}

QRectF Timeline::MarkArea(TimelineMark::Outcome outcome) const
{
    const QRectF strip = Strip();
    const double top = strip.top() + 6, bottom = strip.bottom() - kDutyBand - 6;
    // Failures have the upper lane and everything else the lower: a week of
    // frequent failures never hides the plays among them.
    const double middle = top + (bottom - top) * 0.45;
    if (outcome == TimelineMark::Outcome::Failed)
        return QRectF(strip.left(), top, strip.width(), middle - 2 - top);
    return QRectF(strip.left(), middle + 2, strip.width(), bottom - middle - 2);
}

QString Timeline::TipAt(QPoint point) const
{
    const TimelineMark* nearest = nullptr;
    double distance = kPointingSlack + 0.5;
    for (const TimelineMark& mark : data_.marks) {
        const QRectF area = MarkArea(mark.outcome);
        if (point.y() < area.top() - kPointingSlack || point.y() > area.bottom() + kPointingSlack)
            continue;
        const double d = std::abs(XOf(mark.at) - point.x());
        // The later of two marks on one pixel is the one drawn on top.
        if (d <= distance) {
            distance = d;
            nearest = &mark;
        }
    }
    if (!nearest)
        return {};
    QString outcome = OutcomeText(nearest->outcome);
    if (nearest->outcome == TimelineMark::Outcome::Planned && data_.futureIfStarted)
        outcome += QStringLiteral(" (if Mervo went on duty now)");
    return QStringLiteral("%1\n%2\n%3").arg(LocalTimeText(nearest->at), nearest->noise, outcome) +
           (nearest->detail.isEmpty() ? QString() : QStringLiteral("\n") + nearest->detail);
}

bool Timeline::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = TipAt(help->pos());
        if (tip.isEmpty()) {
            QToolTip::hideText();
        } else {
            // Right of the middle the tip opens to the left, so it stays over the window.
            QPoint at = help->globalPos();
            if (help->pos().x() > width() / 2)
                at.rx() -= QFontMetrics(QToolTip::font()).boundingRect(QRect(), 0, tip).width() + 24;
            QToolTip::showText(at, tip, this);
        }
        return true;
    }
    return QWidget::event(event);
}

void Timeline::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    const QRectF strip = Strip();
    const double nowX = XOf(data_.now);

    painter.fillRect(QRectF(QPointF(nowX, strip.top()), strip.bottomRight()), kFuture);
    for (const TimelineSpan& quiet : quietSpans_)
        painter.fillRect(QRectF(QPointF(XOf(quiet.from), strip.top()), QPointF(XOf(quiet.to), strip.bottom())), kQuiet);

    // Days: a line at each local midnight, the date over the day.  The
    // labels in the text's own colour, whatever the theme's grey: they are
    // read, not merely seen.
    const QColor labels = palette().color(QPalette::Text);
    painter.setPen(palette().color(QPalette::Mid));
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    painter.setFont(small);
    std::vector<CTime> edges{data_.begin};
    edges.insert(edges.end(), midnights_.begin(), midnights_.end());
    edges.push_back(data_.end);
    for (size_t i = 0; i + 1 < edges.size(); ++i) {
        const double left = XOf(edges[i]), right = XOf(edges[i + 1]);
        if (i > 0)
            painter.drawLine(QPointF(left, strip.top() - 4), QPointF(left, strip.bottom() + 4));
        const QString label = QString::fromLocal8Bit(edges[i].Format("%a %e %b").c_str()).simplified();
        const QRectF box(left, 0, right - left, kDayLabels - 2);
        if (painter.fontMetrics().horizontalAdvance(label) + 4 < box.width()) {
            painter.setPen(labels);
            painter.drawText(box, Qt::AlignCenter, label);
            painter.setPen(palette().color(QPalette::Mid));
        }
    }
    // Every six local hours a tick; the local hour is what is written, so a
    // day with a repeated or a missing hour shows it.
    painter.setPen(palette().color(QPalette::Dark));
    const double dayWidth = strip.width() * 86400.0 / std::max<double>(1, (data_.end - data_.begin).GetTotalSeconds());
    for (int day = -1;; ++day) {
        const CTime dayStart = LocalDayStart(data_.begin, day, 0);
        if (data_.end < dayStart)
            break;
        for (int hour = 6; hour < 24; hour += 6) {
            const CTime at = LocalDayStart(data_.begin, day, hour);
            if (at < data_.begin || data_.end < at)
                continue;
            const double x = XOf(at);
            painter.setPen(palette().color(QPalette::Dark));
            painter.drawLine(QPointF(x, strip.bottom()), QPointF(x, strip.bottom() + 3));
            painter.setPen(labels);
            if (dayWidth > 120)
                painter.drawText(QRectF(x - 20, strip.bottom() + 2, 40, kHourLabels - 2), Qt::AlignCenter,
                                 QString::number(at.GetHour()));
        }
    }

    // The hours on duty, as a band under the marks.
    const QRectF band(strip.left(), strip.bottom() - kDutyBand - 2, strip.width(), kDutyBand);
    for (const TimelineSpan& duty : data_.onDuty) {
        const QRectF piece(QPointF(XOf(duty.from), band.top()),
                           QPointF(std::max(XOf(duty.to), XOf(duty.from) + 1), band.bottom()));
        // What is still to come is lighter than what happened.
        painter.fillRect(piece, data_.now < duty.to && !(duty.from < data_.now) ? kDuty.lighter(140) : kDuty);
    }

    // The time the person is away, as a band along the top.
    for (const TimelineSpan& away : data_.away)
        painter.fillRect(QRectF(QPointF(XOf(away.from), strip.top() + 1), QPointF(XOf(away.to), strip.top() + 1 + kAwayBand)),
                         kAway);

    // The line at now first: marks of a run that has only just begun are
    // drawn over it, not hidden under it.
    painter.setPen(QPen(kNow, 2));
    painter.drawLine(QPointF(nowX, strip.top() - 2), QPointF(nowX, strip.bottom() + 2));
    painter.setFont(small);
    painter.drawText(QRectF(nowX + 3, strip.top() + 1, 40, 14), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("now"));

    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const TimelineMark& mark : data_.marks) {
        const double x = std::round(XOf(mark.at));
        const QColor colour = ColourOf(mark.outcome);
        const QRectF area = MarkArea(mark.outcome);
        painter.fillRect(QRectF(x, area.top(), 2, area.height()), colour);
        // A failure's head, small enough that a busy week stays readable.
        if (mark.outcome == TimelineMark::Outcome::Failed)
            painter.fillRect(QRectF(x - 1, area.top(), 4, 4), colour);
    }
    painter.setPen(palette().color(QPalette::Dark));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(strip);
}

}  // namespace trip
