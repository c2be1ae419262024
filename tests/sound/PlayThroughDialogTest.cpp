// "Play Through..." as a person uses it: from the menu, the outputs by their
// descriptions with the current one marked, Test through the highlighted one,
// OK keeping the choice.
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>

#include "PlayThroughDialog.h"
#include "SoundRoutingFixture.h"

namespace {

class PlayThroughDialogTest : public SoundRoutingTest {
protected:
    // Opens the dialog from the window's menu.
    sound::PlayThroughDialog* Open()
    {
        QAction* item = MenuAction(QString::fromUtf8("Play Through\u2026"));
        if (!item)
            return nullptr;
        item->trigger();
        sound::PlayThroughDialog* dialog = nullptr;
        // One closed before may still wait for its deletion.
        WaitFor([&] {
            for (auto* open : frameWidget()->findChildren<sound::PlayThroughDialog*>())
                if (open->isVisible())
                    dialog = open;
            return dialog != nullptr;
        });
        return dialog;
    }

    static QStringList Rows(QListWidget* list)
    {
        QStringList rows;
        for (int i = 0; i < list->count(); ++i)
            rows << list->item(i)->text() + (list->item(i)->font().bold() ? " *" : "");
        return rows;
    }

    static QListWidgetItem* Row(QListWidget* list, const QString& text)
    {
        const auto found = list->findItems(text, Qt::MatchExactly);
        return found.isEmpty() ? nullptr : found.front();
    }
};

TEST_F(PlayThroughDialogTest, ListsMarksTestsAndKeepsTheChoice)
{
    MakeModule();
    ASSERT_TRUE(ServerKnown());
    ASSERT_TRUE(Start());
    module->AttachTo(*frameWidget(), *frame()->PopupMenu(kSayWhutMenuPosition));
    QMenu* sayWhut = nullptr;
    for (QMenu* menu : frameWidget()->findChildren<QMenu*>())
        if (menu->title() == "&Say Whut?")
            sayWhut = menu;
    ASSERT_TRUE(sayWhut);
    EXPECT_EQ(sayWhut->actions().back()->text(), QString::fromUtf8("Play Through\u2026")) << "in Say Whut?";

    sound::PlayThroughDialog* dialog = Open();
    ASSERT_TRUE(dialog);
    auto* list = dialog->findChild<QListWidget*>("outputs");
    ASSERT_TRUE(list);
    EXPECT_EQ(Rows(list), (QStringList{"The desktop's default (Living room) *", "Living room", "Front door"}))
        << "the current choice, the default, is marked";
    EXPECT_FALSE(dialog->findChild<QLabel*>("note")->isVisible());

    SinkRecording a("a", home / "a.raw");
    SinkRecording b("b", home / "b.raw");
    ASSERT_TRUE(a.Running() && b.Running());
    list->setCurrentItem(Row(list, "Front door"));
    auto* test = dialog->findChild<QPushButton*>("test");
    ASSERT_TRUE(test->isEnabled());
    QTest::mouseClick(test, Qt::LeftButton);
    EXPECT_TRUE(b.HeardSomething()) << "Test plays through the highlighted output";
    ASSERT_TRUE(WaitFor([&] { return test->isEnabled(); })) << "and can be pressed again once it has ended";
    a.Stop();
    EXPECT_LT(a.Peak(), SinkRecording::kHeard);
    EXPECT_EQ(module->Choice().Chosen(), "") << "testing chooses nothing";

    dialog->accept();
    EXPECT_EQ(module->Choice().Chosen(), "b");
    EXPECT_EQ(UserSettings().value("Sound/Output").toString(), "b");
    dialog = Open();
    ASSERT_TRUE(dialog);
    list = dialog->findChild<QListWidget*>("outputs");
    EXPECT_EQ(Rows(list), (QStringList{"The desktop's default (Living room)", "Living room", "Front door *"}));
    dialog->reject();
}

TEST_F(PlayThroughDialogTest, FollowsTheServerAndShowsAChoiceThatIsGone)
{
    ChooseInSettings("b");
    MakeModule();
    ASSERT_TRUE(ServerKnown());
    ASSERT_TRUE(Start());
    module->AttachTo(*frameWidget(), *frame()->PopupMenu(kSayWhutMenuPosition));
    sound::PlayThroughDialog* dialog = Open();
    ASSERT_TRUE(dialog);
    auto* list = dialog->findChild<QListWidget*>("outputs");
    ASSERT_TRUE(server.UnloadSink("b"));
    ASSERT_TRUE(WaitFor([&] { return Rows(list) == QStringList{"The desktop's default (Living room)", "Living room",
                                                                 "b (not there now) *"}; }))
        << Rows(list).join(", ").toStdString();
    list->setCurrentItem(Row(list, "b (not there now)"));
    EXPECT_FALSE(dialog->findChild<QPushButton*>("test")->isEnabled()) << "nothing to test it on";
    auto* note = dialog->findChild<QLabel*>("note");
    EXPECT_TRUE(note->isVisible());
    EXPECT_TRUE(note->text().contains("gone")) << note->text().toStdString();

    dialog->reject();
    EXPECT_EQ(module->Choice().Chosen(), "b") << "Cancel keeps the choice, to be used when it is back";
}

}  // namespace
