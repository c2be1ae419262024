// The dialog as a person meets it: what the file holds is shown, a value
// that does not read keeps it open on that field, and OK after a warning
// about what the file held that could not be read writes the file anew.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <fstream>
#include <iterator>

#include "DialogTestSteps.h"
#include "ExtrasDialog.h"
#include "RowHours.h"
#include "StandInGuard.h"
#include "TempFolder.h"

namespace {

TEST(ExtrasDialogTest, ShowsRefusesOnTheFieldAndWritesAfterAskingWhatIsDropped)
{
    TempFolder home;
    const std::string path = home / "noises.hwt.ini";
    StandInGuard guard;
    guard.snapshot.extras.rows[0].hours.from = lifelike::ParseDayTime("sunset+20");
    guard.snapshot.extras.rows[1].excerptSeconds = 1800;
    guard.snapshot.extrasProblems = {"noises.hwt.ini line 9: unknown key \"bogus\" ignored"};
    lifelike::ExtrasDialog dialog(guard, path);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    const auto field = [&](const char* name) { return dialog.findChild<QLineEdit*>(QString::fromLatin1(name)); };
    EXPECT_EQ(field("row1.1")->text(), QStringLiteral("sunset+20"));
    EXPECT_EQ(field("row2.4")->text(), QStringLiteral("30m"));

    field("row1.3")->setText(QStringLiteral("-40..0"));
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(field("row1.3")->hasFocus());
    EXPECT_TRUE(dialog.findChild<QLabel*>(QStringLiteral("error"))->text().contains(QStringLiteral("Row 1")));
    EXPECT_FALSE(guard.extrasSet);

    field("row1.3")->setText(QStringLiteral("-9..0"));
    field("row3.2")->setText(QStringLiteral("sunrise"));
    QString asked;
    OnNextModal(&dialog, [&](QWidget* question) {
        asked = qobject_cast<QMessageBox*>(question)->text();
        ButtonOf(question, "&Yes")->click();
    });
    dialog.accept();
    EXPECT_TRUE(asked.contains(QStringLiteral("unknown key \"bogus\""))) << asked.toStdString();
    ASSERT_TRUE(guard.extrasSet);
    EXPECT_EQ(guard.extrasSet->rows[0].level, (lifelike::LevelRange{-9, 0}));
    EXPECT_EQ(guard.extrasSet->rows[2].hours.until, lifelike::ParseDayTime("sunrise"));
    std::ifstream in(path);
    const std::string written((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(lifelike::ParseExtras(written).extras, *guard.extrasSet) << written;
}

}  // namespace
