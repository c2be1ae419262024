#pragma once
// The diary window's strip: days from left to right on one real-time axis
// (so a day of 23 or 25 hours is that much narrower or wider), the quiet
// hours shaded, the hours on duty as a band, each play or start as a mark,
// and a line at now.  Pointing at a mark tells its time, noise and outcome.
#include <QWidget>
#include <vector>

#include "CTime.h"
#include "GuardSettings.h"

namespace trip {

struct TimelineMark {
    enum class Outcome { Played, Started, Failed, Planned };
    CTime at;
    Outcome outcome = Outcome::Played;
    QString noise;
    QString detail;  // the path, and why a failure failed
};

struct TimelineSpan {
    CTime from;
    CTime to;
};

struct TimelineData {
    CTime begin;
    CTime now;
    CTime end;
    std::vector<TimelineMark> marks;
    std::vector<TimelineSpan> onDuty;
    QuietWindow quiet;
    // The future is what a start now would do, not the running guard's.
    bool futureIfStarted = false;
    // When the person is away ("Away from ... until ...").
    std::vector<TimelineSpan> away;
};

// The quiet window's stretches between two times: each local day's hours
// from quietFromHour to quietToHour, across midnight when the first is later.
std::vector<TimelineSpan> QuietSpans(const QuietWindow& quiet, CTime begin, CTime end);

// Local midnights after `begin` and up to `end`.
std::vector<CTime> Midnights(CTime begin, CTime end);

class Timeline final : public QWidget {
    Q_OBJECT
public:
    explicit Timeline(QWidget* parent = nullptr);

    void SetData(TimelineData data);
    const TimelineData& Data() const { return data_; }

    // The x of a moment, and the text shown when pointing at a point (empty
    // when no mark is within a few pixels).
    double XOf(CTime at) const;
    QString TipAt(QPoint point) const;
    // Where marks of an outcome are drawn: failures reach higher than plays.
    QRectF MarkArea(TimelineMark::Outcome outcome) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    QRectF Strip() const;

    TimelineData data_;
    std::vector<TimelineSpan> quietSpans_;
    std::vector<CTime> midnights_;
};

// "Mon 7 Dec 23:30:00", in the local zone.
QString LocalTimeText(CTime at);
// Sun 20 Dec 12:00, as the person chose a time.
QString ShortTimeText(CTime at);
QString OutcomeText(TimelineMark::Outcome outcome);
// The colours' meanings, as rich text.
QString TimelineLegend();

}  // namespace trip
