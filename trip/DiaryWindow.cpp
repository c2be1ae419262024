#include "DiaryWindow.h"

#include "DiaryWords.h"

#include <algorithm>
#include <set>

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <map>

#include "AwaySpan.h"
#include "Diary.h"
#include "DiaryFormat.h"
#include "DutyRecord.h"
#include "MediaLengths.h"
#include "Timeline.h"

namespace trip {

namespace {

constexpr std::int64_t kDay = 86400;
constexpr int kPastDays = 7;

// A field as the list shows it: a line break or a tab it holds (written
// escaped in the file) is shown as its escape, so one row stays one line and
// nothing after it is cut off.
QString Text(const std::string& bytes)
{
    QString text = QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\n')
            shown += QStringLiteral("\\n");
        else if (c == u'\t')
            shown += QStringLiteral("\\t");
        else if (c == u'\r')
            shown += QStringLiteral("\\r");
        else if (c.category() == QChar::Other_Control)
            shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

// The slots' names for their files; a file no slot plays now goes by its own name.
class NoiseNames {
public:
    explicit NoiseNames(const GuardSnapshot& snapshot)
    {
        for (const NoiseSlot& slot : snapshot.slots)
            if (!slot.filePath.IsEmpty())
                names_.emplace(slot.filePath.str(), slot.noiseName.str());
    }
    QString For(const std::string& path) const
    {
        const auto found = names_.find(path);
        if (found != names_.end())
            return Text(found->second);
        return QFileInfo(Text(path)).fileName();
    }

private:
    std::map<std::string, std::string> names_;
};

struct Row {
    CTime at;
    QString what;
    QString noise;
    QString detail;
    bool planned = false;
    bool failed = false;
};

bool WrittenByTheGuard(const DiaryEntry& entry)
{
    using namespace words;
    static const std::set<std::string, std::less<>> kGuardEvents{kGuardOn, kGuardResumed, kGuardOff, kPlayed,
                                                                 kStarted, kFailed, kQuietUntil, kUnheard};
    return kGuardEvents.contains(entry.event) && (entry.fields.empty() || entry.fields.back() != kFromTheBroker);
}

}  // namespace

std::vector<TimelineSpan> OnDutySpans(const std::vector<DiaryEntry>& entries, bool onNow, std::optional<CTime> recordSince,
                                      CTime now)
{
    std::vector<TimelineSpan> spans;
    std::optional<CTime> from, first, last;
    bool dutyTold = false;
    for (const DiaryEntry& entry : entries) {
        if (now < entry.at)
            continue;
        const bool on = entry.event == words::kGuardOn, resumed = entry.event == words::kGuardResumed,
                   off = entry.event == words::kGuardOff;
        if (on || resumed) {
            // A start while already on, or a resume, means the program ended
            // without a word (a crash, a power cut): that stretch ends at the
            // last thing it wrote.
            if (from && last)
                spans.push_back({*from, *last});
            // A resume whose duty began before anything this diary kept: the
            // lines since then were written on duty.
            const std::optional<CTime> since = resumed && !entry.fields.empty() ? ParseIsoTime(entry.fields[0]) : std::nullopt;
            if (!from && !dutyTold && since && last && *since < *last)
                spans.push_back({*since, *last});
            from = entry.at;
        } else if (off) {
            if (from)
                spans.push_back({*from, entry.at});
            else if (!dutyTold && first)
                spans.push_back({*first, entry.at});  // on duty since before the oldest line kept
            from.reset();
        }
        dutyTold = dutyTold || on || resumed || off;
        if (!first)
            first = entry.at;
        // Only the guard's own lines say it was running on duty: a later run
        // that never went on duty still writes the broker's lines.
        if (WrittenByTheGuard(entry))
            last = entry.at;
    }
    if (from)
        spans.push_back({*from, onNow ? now : *last});
    else if (onNow && !dutyTold)
        spans.push_back({recordSince.value_or(first.value_or(now)), now});
    return spans;
}

DiaryWindow::DiaryWindow(GuardAccess& access, QWidget* parent)
    : QWidget(parent, Qt::Window),
      access_(access),
      lengths_(std::make_unique<MediaLengthCache>()),
      timeline_(new Timeline(this)),
      summary_(new QLabel(this)),
      weekAhead_(new QCheckBox(QStringLiteral("Show the next 7 days"), this)),
      list_(new QTreeWidget(this))
{
    setWindowTitle(QStringLiteral("Mervo's Diary"));
    summary_->setObjectName(QStringLiteral("summary"));
    list_->setColumnCount(4);
    list_->setHeaderLabels({QStringLiteral("When"), QStringLiteral("What"), QStringLiteral("Noise"), QStringLiteral("File or reason")});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->header()->setStretchLastSection(true);

    auto* refresh = new QPushButton(QStringLiteral("&Refresh"), this);
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    auto* controls = new QHBoxLayout;
    controls->addWidget(summary_, 1);
    controls->addWidget(weekAhead_);
    controls->addWidget(refresh);
    controls->addWidget(close);
    auto* legend = new QLabel(TimelineLegend(), this);
    legend->setTextFormat(Qt::RichText);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(timeline_);
    layout->addWidget(legend);
    layout->addLayout(controls);
    layout->addWidget(list_, 1);
    connect(weekAhead_, &QCheckBox::toggled, this, &DiaryWindow::Refresh);
    connect(refresh, &QPushButton::clicked, this, &DiaryWindow::Refresh);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    resize(1120, 620);
}

DiaryWindow::~DiaryWindow() = default;

void DiaryWindow::Refresh()
{
    const CTime now = CTime::GetCurrentTime();
    const CTimeSpan ahead(weekAhead_->isChecked() ? 7 * kDay : kDay);
    const GuardSnapshot snapshot = access_.Snapshot();
    const NoiseNames names(snapshot);

    TimelineData data;
    data.begin = now + CTimeSpan(-kPastDays * kDay);
    data.now = now;
    data.end = now + ahead;
    data.quiet = snapshot.quietWindow;
    data.futureIfStarted = !snapshot.on;
    std::vector<Row> rows;

    // The past, from the diary: the hours on duty from all of it, since a
    // duty may have begun long before the week shown; the rows from the week.
    const std::vector<DiaryEntry> entries = ReadDiary(CTime(0));
    for (const TimelineSpan& duty : OnDutySpans(entries, snapshot.on, DutyRecordSince(), now))
        if (data.begin < duty.to)
            data.onDuty.push_back({std::max(duty.from, data.begin), duty.to});
    for (const DiaryEntry& entry : entries) {
        if (entry.at < data.begin || now < entry.at)
            continue;
        const std::string first = entry.fields.empty() ? std::string() : entry.fields[0];
        Row row{entry.at, Text(entry.event), {}, {}, false, false};
        if (entry.event == words::kGuardOn && first == words::kAway) {
            row.what = QStringLiteral("guard on (away)");
        } else if (entry.event == words::kGuardResumed) {
            if (const std::optional<CTime> since = ParseIsoTime(first))
                row.detail = QStringLiteral("on duty since ") + LocalTimeText(*since);
        } else if (entry.event == words::kPlayed || entry.event == words::kStarted || entry.event == words::kFailed) {
            const words::PlayFields play = words::ReadPlayFields(entry.fields);
            TimelineMark mark;
            mark.at = entry.at;
            mark.outcome = entry.event == words::kPlayed    ? TimelineMark::Outcome::Played
                           : entry.event == words::kStarted ? TimelineMark::Outcome::Started
                                                            : TimelineMark::Outcome::Failed;
            // The name the guard played it by; a line from before names
            // were written, by the rows' names or the file's.
            mark.noise = play.path.empty()    ? QStringLiteral("the guard's timer")
                         : !play.noise.empty() ? Text(play.noise)
                                               : names.For(play.path);
            QStringList detail;
            for (const std::string& field : {play.path, play.excerpt, play.reason,
                                             play.fromTheBroker ? std::string(kFromTheBroker) : std::string()})
                if (!field.empty())
                    detail << Text(field);
            mark.detail = detail.join(QStringLiteral(": "));
            row.noise = mark.noise;
            row.detail = mark.detail;
            row.failed = mark.outcome == TimelineMark::Outcome::Failed;
            data.marks.push_back(std::move(mark));
        } else if (entry.event == words::kQuietUntil) {
            if (const std::optional<CTime> until = ParseIsoTime(first))
                row.detail = LocalTimeText(*until);
        } else if (entry.event != words::kGuardOn && entry.event != words::kGuardOff) {
            // Lines other parts write (unheard, remote): their fields as they are.
            QStringList fields;
            for (const std::string& field : entry.fields)
                fields << Text(field);
            row.detail = fields.join(QStringLiteral(" — "));
        }
        rows.push_back(std::move(row));
    }
    // The future, from the guard's own passes, as --plan has it: from the
    // leaving time when the guard is off until then, never past the return.
    const std::optional<AwaySpan> away = ReadAwaySpan();
    const PlanStretch stretch = StretchAround(away, now, ahead, snapshot.on);
    if (snapshot.on || !(stretch.from == now))
        data.onDuty.push_back({stretch.from, std::max(stretch.from, stretch.to)});
    if (away)
        data.away.push_back({away->from, away->until});
    plan_ = stretch.from < stretch.to ? ComputePlan(snapshot, stretch.from, stretch.to - stretch.from, *lengths_)
                                      : std::vector<PlanEvent>();
    lengths_->Save();
    int plays = 0;
    for (const PlanEvent& event : plan_) {
        if (event.kind == PlanEvent::Kind::QuietHold) {
            rows.push_back({event.at, QStringLiteral("will be quiet until"), {}, LocalTimeText(event.until), true, false});
            continue;
        }
        ++plays;
        const QString noise = Text(event.noiseName.str());
        QString what = event.repeatCount == 1 ? QStringLiteral("will play") : QStringLiteral("will play %1 times").arg(event.repeatCount);
        if (event.continuously)
            what = QStringLiteral("will play continuously");
        rows.push_back({event.at, what, noise, Text(event.path.str()), true, false});
        data.marks.push_back({event.at, TimelineMark::Outcome::Planned, noise, Text(event.path.str())});
    }

    const int failures = static_cast<int>(std::count_if(rows.begin(), rows.end(), [](const Row& r) { return r.failed; }));
    const QString state = snapshot.on          ? QStringLiteral("Mervo is on duty:")
                          : stretch.from == now ? QStringLiteral("Mervo is off duty; if he went on duty now,")
                                                : QStringLiteral("Mervo is off duty until you leave, then");
    QString summary = QStringLiteral("%1 failed in the last 7 days. %2 %3 %4.")
                          .arg(failures)
                          .arg(state)
                          .arg(plays)
                          .arg(weekAhead_->isChecked() ? QStringLiteral("plays in the next 7 days")
                                                       : QStringLiteral("plays in the next 24 hours"));
    if (away)
        summary += QStringLiteral(" You are away from %1 until %2.").arg(ShortTimeText(away->from), ShortTimeText(away->until));
    summary_->setText(summary);
    timeline_->SetData(std::move(data));

    list_->clear();
    QTreeWidgetItem* firstPlanned = nullptr;
    for (const Row& row : rows) {
        auto* item = new QTreeWidgetItem(list_, {LocalTimeText(row.at), row.what, row.noise, row.detail});
        if (row.failed)
            for (int c = 0; c < 4; ++c)
                item->setForeground(c, QColor(0xd0, 0x1c, 0x1c));
        if (row.planned) {
            QFont italic = item->font(0);
            italic.setItalic(true);
            for (int c = 0; c < 4; ++c)
                item->setFont(c, italic);
            if (!firstPlanned)
                firstPlanned = item;
        }
    }
    // Wide enough for every row, not only those the list shows before it
    // scrolls to now.  Texts repeat a great deal: each is measured once.
    QFont italicFont = list_->font();
    italicFont.setItalic(true);
    const QFontMetrics upright(list_->font()), italic(italicFont);
    const int padding = 3 * upright.averageCharWidth();
    for (int c = 0; c < 3; ++c) {
        std::map<std::pair<QString, bool>, int> measured;
        int widest = upright.horizontalAdvance(list_->headerItem()->text(c));
        for (const Row& row : rows) {
            const QString& text = c == 0 ? LocalTimeText(row.at) : c == 1 ? row.what : row.noise;
            auto [found, fresh] = measured.try_emplace({text, row.planned}, 0);
            if (fresh)
                found->second = (row.planned ? italic : upright).horizontalAdvance(text);
            widest = std::max(widest, found->second);
        }
        list_->header()->resizeSection(c, widest + padding);
    }
    // Now in the middle of the list, once the list has its size.
    const int nowRow = firstPlanned ? list_->indexOfTopLevelItem(firstPlanned) : list_->topLevelItemCount() - 1;
    QTimer::singleShot(0, list_, [list = list_, nowRow] {
        if (QTreeWidgetItem* item = list->topLevelItem(nowRow))
            list->scrollToItem(item, QAbstractItemView::PositionAtCenter);
    });
}

}  // namespace trip
