// The diary window's timeline: local days and quiet nights as the clock on
// the wall has them, marks where they belong, and what pointing tells.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHelpEvent>
#include <QImage>
#include <QToolTip>
#include <algorithm>
#include <cmath>

#include "Timeline.h"
#include "TimeZoneGuard.h"

namespace {

using trip::TimelineSpan;

std::vector<std::pair<std::string, std::int64_t>> Described(const std::vector<TimelineSpan>& spans)
{
    std::vector<std::pair<std::string, std::int64_t>> out;
    for (const TimelineSpan& span : spans)
        out.emplace_back(span.from.Format("%m-%d %H:%M").str(), (span.to - span.from).GetTotalSeconds() / 3600);
    return out;
}

TEST(TimelineTest, QuietNightsFollowTheLocalClockAcrossTheNightsTheClocksChange)
{
    TimeZoneGuard zone("Europe/Berlin");
    using Spans = std::vector<std::pair<std::string, std::int64_t>>;
    // 25 October 2026: the clocks go back an hour, so that night is 8 hours.
    EXPECT_EQ(Described(trip::QuietSpans({23, 6}, CTime(2026, 10, 23, 12, 0, 0), CTime(2026, 10, 26, 12, 0, 0))),
              (Spans{{"10-23 23:00", 7}, {"10-24 23:00", 8}, {"10-25 23:00", 7}}));
    // 29 March 2026: forward an hour, a night of 6.
    EXPECT_EQ(Described(trip::QuietSpans({23, 6}, CTime(2026, 3, 28, 12, 0, 0), CTime(2026, 3, 29, 12, 0, 0))),
              (Spans{{"03-28 23:00", 6}}));
    // A night already begun, and one cut by the end, are shown in part.
    EXPECT_EQ(Described(trip::QuietSpans({22, 6}, CTime(2026, 12, 7, 2, 0, 0), CTime(2026, 12, 8, 4, 0, 0))),
              (Spans{{"12-07 02:00", 4}, {"12-07 22:00", 6}}));
    EXPECT_EQ(Described(trip::QuietSpans({9, 17}, CTime(2026, 12, 7, 0, 0, 0), CTime(2026, 12, 8, 23, 0, 0))),
              (Spans{{"12-07 09:00", 8}, {"12-08 09:00", 8}}));
    EXPECT_EQ(Described(trip::QuietSpans({22, 24}, CTime(2026, 12, 7, 0, 0, 0), CTime(2026, 12, 8, 0, 0, 0))),
              (Spans{{"12-07 22:00", 2}}));
    EXPECT_TRUE(trip::QuietSpans({5, 5}, CTime(2026, 12, 7, 0, 0, 0), CTime(2026, 12, 9, 0, 0, 0)).empty());
}

TEST(TimelineTest, DaysOfTwentyFiveAndTwentyThreeHoursAreWiderAndNarrower)
{
    TimeZoneGuard zone("Europe/Berlin");
    const std::vector<CTime> autumn = trip::Midnights(CTime(2026, 10, 24, 12, 0, 0), CTime(2026, 10, 27, 12, 0, 0));
    ASSERT_EQ(autumn.size(), 3u);
    EXPECT_EQ((autumn[1] - autumn[0]).GetTotalSeconds(), 25 * 3600);
    EXPECT_EQ((autumn[2] - autumn[1]).GetTotalSeconds(), 24 * 3600);
    const std::vector<CTime> spring = trip::Midnights(CTime(2026, 3, 28, 12, 0, 0), CTime(2026, 3, 30, 12, 0, 0));
    ASSERT_EQ(spring.size(), 2u);
    EXPECT_EQ((spring[1] - spring[0]).GetTotalSeconds(), 23 * 3600);

    trip::Timeline timeline;
    timeline.resize(1016, 150);
    timeline.SetData({CTime(2026, 10, 24, 0, 0, 0), CTime(2026, 10, 25, 12, 0, 0), CTime(2026, 10, 27, 0, 0, 0), {}, {}, {}, false, {}});
    const double saturday = timeline.XOf(CTime(2026, 10, 25, 0, 0, 0)) - timeline.XOf(CTime(2026, 10, 24, 0, 0, 0));
    const double sunday = timeline.XOf(CTime(2026, 10, 26, 0, 0, 0)) - timeline.XOf(CTime(2026, 10, 25, 0, 0, 0));
    EXPECT_NEAR(sunday / saturday, 25.0 / 24.0, 1e-9);
}

class TimelineDrawTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        timeline.resize(1016, 150);
        trip::TimelineData data{begin, now, begin + CTimeSpan(48 * 3600), {}, {}, {3, 6}, false, {}};
        data.marks.push_back({failedAt, trip::TimelineMark::Outcome::Failed, "Dog", "/n/dog.wav: file missing"});
        data.marks.push_back({playedAt, trip::TimelineMark::Outcome::Played, "Cat", "/n/cat.wav"});
        data.onDuty.push_back({begin + CTimeSpan(3600), now});
        timeline.SetData(std::move(data));
    }

    TimeZoneGuard zone{"Europe/Berlin"};
    const CTime begin{2026, 12, 6, 0, 0, 0};
    const CTime now{2026, 12, 7, 0, 0, 0};
    const CTime failedAt{2026, 12, 6, 10, 30, 0};
    const CTime playedAt{2026, 12, 6, 20, 0, 0};
    trip::Timeline timeline;
};

TEST_F(TimelineDrawTest, PointingAtAMarkTellsItsTimeNoiseAndOutcome)
{
    const int x = static_cast<int>(timeline.XOf(failedAt));
    const int high = static_cast<int>(timeline.MarkArea(trip::TimelineMark::Outcome::Failed).top()) + 2;
    const int low = static_cast<int>(timeline.MarkArea(trip::TimelineMark::Outcome::Played).center().y());
    EXPECT_EQ(timeline.TipAt({x + 3, high}), "Sun 6 Dec 10:30:00\nDog\nfailed\n/n/dog.wav: file missing");
    EXPECT_EQ(timeline.TipAt({static_cast<int>(timeline.XOf(playedAt)), low}), "Sun 6 Dec 20:00:00\nCat\nplayed\n/n/cat.wav");
    EXPECT_EQ(timeline.TipAt({x + 40, high}), "");
    EXPECT_EQ(timeline.TipAt({x, low}), "") << "the plays' lane holds no failure";
    EXPECT_EQ(timeline.TipAt({static_cast<int>(timeline.XOf(playedAt)), high}), "") << "the failures' lane holds no play";
    EXPECT_EQ(timeline.TipAt({x, timeline.height() - 2}), "") << "under the marks";

    timeline.show();
    QHelpEvent help(QEvent::ToolTip, QPoint(x, high), timeline.mapToGlobal(QPoint(x, high)));
    QApplication::sendEvent(&timeline, &help);
    EXPECT_EQ(QToolTip::text(), timeline.TipAt({x, high}));
    QToolTip::hideText();
}

// Two marks a pixel apart: pointing high picks the failure, which alone reaches there.
TEST_F(TimelineDrawTest, PointingHighPicksTheFailureAmongPlays)
{
    trip::TimelineData data = timeline.Data();
    data.marks.push_back({failedAt + CTimeSpan(60), trip::TimelineMark::Outcome::Played, "Cat", "/n/cat.wav"});
    timeline.SetData(std::move(data));
    const int x = static_cast<int>(timeline.XOf(failedAt + CTimeSpan(60)));
    const int high = static_cast<int>(timeline.MarkArea(trip::TimelineMark::Outcome::Failed).top()) + 2;
    const int low = static_cast<int>(timeline.MarkArea(trip::TimelineMark::Outcome::Played).center().y());
    EXPECT_TRUE(timeline.TipAt({x, high}).contains("failed"));
    EXPECT_TRUE(timeline.TipAt({x, low}).contains("played"));
}

TEST_F(TimelineDrawTest, MarksQuietHoursDutyAndNowAreDrawnWhereTheyBelong)
{
    const QImage image = timeline.grab().toImage();
    const int middle = image.height() / 2;
    auto colourAt = [&](CTime at, int y) { return image.pixelColor(static_cast<int>(std::round(timeline.XOf(at))), y); };
    const QColor failed = colourAt(failedAt, 30);
    EXPECT_GT(failed.red(), 150);
    EXPECT_LT(failed.green(), 80);
    EXPECT_GT(colourAt(playedAt, middle + 10).green(), colourAt(playedAt, middle + 10).red());
    // Quiet from 3 to 6 is darker than the hour before it.
    EXPECT_LT(colourAt(CTime(2026, 12, 6, 4, 30, 0), middle).lightness(),
              colourAt(CTime(2026, 12, 6, 2, 0, 0), middle).lightness());
    EXPECT_LT(colourAt(now, middle).lightness(), 60) << "a dark line at now";
    EXPECT_GT(colourAt(now + CTimeSpan(3600), middle).lightness(), 200);
}

// A long trip at a glance: an hour of many failures hides neither the play
// among them nor a run's first play beside the line at now, and the day and
// hour labels stand out from the background as text must (4.5 : 1).
TEST_F(TimelineDrawTest, ABusyHourAFreshStartAndTheLabelsStayReadable)
{
    trip::TimelineData data = timeline.Data();
    const CTime busy(2026, 12, 6, 14, 0, 0);
    // The play comes first, so every failure is drawn after it.
    data.marks.push_back({busy + CTimeSpan(30 * 60 + 20), trip::TimelineMark::Outcome::Played, "Cat", "/n/cat.wav"});
    for (int minute = 0; minute < 60; ++minute)
        data.marks.push_back({busy + CTimeSpan(minute * 60), trip::TimelineMark::Outcome::Failed, "Dog", "/n/dog.wav"});
    data.marks.push_back({now + CTimeSpan(-30), trip::TimelineMark::Outcome::Played, "Cat", "/n/cat.wav"});
    timeline.SetData(std::move(data));
    const QImage image = timeline.grab().toImage();
    const int low = static_cast<int>(timeline.MarkArea(trip::TimelineMark::Outcome::Played).center().y());
    auto isPlayed = [&](CTime at) {
        const QColor c = image.pixelColor(static_cast<int>(std::round(timeline.XOf(at))), low);
        return c.green() > 100 && c.red() < 100;
    };
    EXPECT_TRUE(isPlayed(busy + CTimeSpan(30 * 60 + 20))) << "the play among an hour of failures";
    EXPECT_TRUE(isPlayed(now + CTimeSpan(-30))) << "the play half a minute before now";

    // The darkest pixel of the day labels' row against the background.
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    // Above the strip, and under it below the ticks and the line at now.
    for (const int y0 : {2, timeline.height() - 14}) {
        double darkest = 1;
        for (int y = y0; y < y0 + 12; ++y)
            for (int x = 20; x < image.width() - 20; ++x)
                darkest = std::min(darkest, luminance(image.pixelColor(x, y)));
        const double background = luminance(image.pixelColor(1, y0 + 6));
        EXPECT_GE((background + 0.05) / (darkest + 0.05), 4.5) << "labels at y " << y0;
    }
}

}  // namespace
