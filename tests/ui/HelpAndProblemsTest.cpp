#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <functional>
#include <sstream>
#include <vector>

#include "CHelpDlg.h"
#include "CProblemsDlg.h"
#include "DialogTestSteps.h"
#include "DialogResources.h"
#include "HelpText.h"

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "the text ends with a line break";
    return lines;
}

TEST(HelpTextTest, TwentyEightLinesWithTheirSpacingKept)
{
    const std::vector<std::string> lines = Lines(HelpText().str());
    ASSERT_EQ(lines.size(), 28u);
    EXPECT_EQ(lines[0], "Hey, I know this is strange.");
    for (int empty : {1, 3, 5, 7, 11, 13, 20})
        EXPECT_TRUE(lines[empty].empty()) << empty;
    EXPECT_EQ(lines[6], "    What does this thing do for me?");
    EXPECT_EQ(lines[12], "    OK, so how do I tell him what to play?");
    EXPECT_EQ(lines[24].back(), ' ') << "line 25 ends with a space";
    EXPECT_NE(lines[4].find("way.  Suppose"), std::string::npos) << "two spaces after full stops";
    EXPECT_NE(lines[16].find(".WAV file). You"), std::string::npos) << "one space where the text has one";
    EXPECT_EQ(lines[27], "schedule this program for every hour, for instance, you'll get a new version every hour.");
}

// Shows the window, runs `step` inside its modal loop, and reports whether it was still open afterwards.
template <class Dialog>
bool OpenAfter(Dialog& dlg, const std::function<void(QDialog*)>& step, std::string* shown = nullptr)
{
    bool open = false;
    RunWith<Dialog>(dlg, [&](Dialog& d) {
        if (shown)
            *shown = qobject_cast<QPlainTextEdit*>(d.GetDlgItem(IDC_TEXT))->toPlainText().toStdString();
        step(d.Window());
        QTest::qWait(20);
        open = d.Window()->isVisible();
    });
    return open;
}

TEST(HelpAndProblemsTest, EnterLeavesTheWindowsOpenAndEscClosesThem)
{
    auto enter = [](QDialog* w) { QTest::keyClick(w, Qt::Key_Return); };
    auto escape = [](QDialog* w) { QTest::keyClick(w, Qt::Key_Escape); };
    CHelpDlg help;
    help.m_text = HelpText();
    EXPECT_TRUE(OpenAfter(help, enter));
    EXPECT_FALSE(OpenAfter(help, escape));
    CProblemsDlg problems;
    EXPECT_TRUE(OpenAfter(problems, enter));
    EXPECT_FALSE(OpenAfter(problems, escape));
}

TEST(HelpAndProblemsTest, TheTextShowsWithItsLineBreaksAndReadsBackUnchanged)
{
    CProblemsDlg problems;
    problems.m_text = "At 14:05 couldn't play wav/a.wav\r\n\r\nQuiet until 12/07/2026 06:00 from   12/06/2026 23:30\r\n";
    std::string shown;
    OpenAfter(problems, [&](QDialog*) { problems.UpdateData(TRUE); }, &shown);
    EXPECT_EQ(shown, "At 14:05 couldn't play wav/a.wav\n\nQuiet until 12/07/2026 06:00 from   12/06/2026 23:30\n");
    EXPECT_EQ(problems.m_text.str(),
              "At 14:05 couldn't play wav/a.wav\r\n\r\nQuiet until 12/07/2026 06:00 from   12/06/2026 23:30\r\n");
}

}  // namespace
