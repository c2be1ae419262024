#include <QPlainTextEdit>

#include "AppTestFixture.h"

namespace {

class ProblemReportTest : public AppTest {
protected:
    // The report's text as its window shows it, "\n" for each line break.
    QString ReportText()
    {
        QString text;
        OnNextModal([&text](QWidget* modal) {
            text = modal->findChild<QPlainTextEdit*>()->toPlainText();
            modal->close();
        });
        view()->OnProblemReport();
        return text;
    }
    platform::FakeSound sound;
    platform::FakeTimer timer;
};

TEST_F(ProblemReportTest, EmptyLogSaysSoAndLinesComeInOrderEachWithALineBreak)
{
    ASSERT_TRUE(Start());
    EXPECT_EQ(ReportText(), "Never any problems with the Vorn, man!");
    ProblemLog.Append("At 14:05 couldn't play wav/a.wav");
    ProblemLog.Append("\r\nQuiet until 12/07/2026 06:00 from   12/06/2026 23:30");
    ProblemLog.Append("At 14:06 couldn't start/b.txt");
    const QString expected =
        "At 14:05 couldn't play wav/a.wav\n\nQuiet until 12/07/2026 06:00 from   12/06/2026 23:30\n"
        "At 14:06 couldn't start/b.txt\n";
    EXPECT_EQ(ReportText(), expected);
    EXPECT_EQ(ReportText(), expected) << "showing the report does not empty the log";
    view()->OnTurnMeOn();
    EXPECT_EQ(ReportText(), "Never any problems with the Vorn, man!") << "a guard start empties it";
}

}  // namespace
