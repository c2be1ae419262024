#include <QImage>

#include "AppTestFixture.h"
#include "Random.h"
#include "WallClockTimerService.h"

#include <chrono>

namespace {

class ViewTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        ASSERT_TRUE(Start());
        sound.played.clear();
    }

    void TurnOn()
    {
        view()->OnTurnMeOn();
        ASSERT_EQ(guardOn, 1);
        sound.played.clear();
    }
};

TEST_F(ViewTest, EachAreaActsOnlyInsideItsExclusiveBoundsAndOnlyInItsGuardState)
{
    const struct {
        bool onBefore;
        int x, y;
        bool acts;
    } cases[] = {
        {false, 251, 201, true}, {false, 399, 299, true}, {false, 251, 299, true}, {false, 399, 201, true},
        {false, 250, 250, false}, {false, 400, 250, false}, {false, 325, 200, false}, {false, 325, 300, false},
        {false, 26, 26, false}, {false, 159, 124, false},
        {true, 26, 26, true}, {true, 159, 124, true}, {true, 26, 124, true}, {true, 159, 26, true},
        {true, 25, 60, false}, {true, 160, 60, false}, {true, 90, 25, false}, {true, 90, 125, false},
        {true, 251, 201, false}, {true, 399, 299, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.onBefore ? "on" : "off") << ", click at " << c.x << "," << c.y);
        if (c.onBefore)
            TurnOn();
        ProblemLog.Append("At 10:00 couldn't play wav/noises/door.wav");
        const int sets = timer.sets;
        Click(c.x, c.y);
        const bool onAfter = c.onBefore != c.acts;
        const char* expectedSound = c.onBefore ? "mervo.wav" : "thanks.wav";
        EXPECT_EQ(guardOn, onAfter ? 1 : 0);
        EXPECT_EQ(PaneText(), onAfter ? kOnDuty : kGreeting);
        EXPECT_EQ(sound.played, c.acts ? std::vector<std::string>{ProgramSound(expectedSound)} : std::vector<std::string>{});
        EXPECT_EQ(timer.IsArmed(view()), onAfter);
        EXPECT_EQ(timer.sets, sets + (c.acts && !c.onBefore ? 1 : 0));
        // Only a start empties the log.
        EXPECT_EQ(ProblemLog.problemCount, c.acts && !c.onBefore ? 0 : 1);
        if (guardOn)
            Click(90, 90);
        ProblemLog.Empty();
        sound.played.clear();
    }
}

TEST_F(ViewTest, GuardStartPlaysFirstThenSetsFlagTextLogAndSlotsAndArmsTheTimer)
{
    SetNoise(GuardSettings, 0, 15);
    // Already due: a start that did not mark the slot would play it at once.
    GuardSettings.slots[0].nextDue = CTime(clock.NowSeconds() - 60);
    ProblemLog.Append("old line");
    int flagWhilePlaying = -1;
    CString textWhilePlaying;
    sound.onPlay = [&](const std::string&) {
        flagWhilePlaying = guardOn;
        textWhilePlaying = PaneText();
    };

    Click(300, 250);

    EXPECT_EQ(sound.played, std::vector<std::string>{ProgramSound("thanks.wav")});
    EXPECT_EQ(flagWhilePlaying, 0);
    EXPECT_EQ(textWhilePlaying, kGreeting);
    EXPECT_EQ(guardOn, 1);
    EXPECT_EQ(PaneText(), kOnDuty);
    EXPECT_EQ(ProblemLog.problemCount, 0);
    EXPECT_EQ(GuardSettings.slots[0].nextDue.GetTime(), clock.NowSeconds() + 15 * 60);
    ASSERT_TRUE(timer.IsArmed(view()));
    EXPECT_EQ(timer.Delay(view()), 15u * 60 * 1000);
}

TEST_F(ViewTest, GuardStopPlaysFirstThenClearsFlagRestoresGreetingAndKillsTheTimer)
{
    TurnOn();
    bool armedWhilePlaying = false;
    CString textWhilePlaying;
    sound.onPlay = [&](const std::string&) {
        armedWhilePlaying = timer.IsArmed(view());
        textWhilePlaying = PaneText();
    };

    Click(90, 90);

    EXPECT_TRUE(armedWhilePlaying);
    EXPECT_EQ(textWhilePlaying, kOnDuty);
    EXPECT_EQ(guardOn, 0);
    EXPECT_EQ(PaneText(), kGreeting);
    EXPECT_FALSE(timer.IsArmed(view()));
}

// The stop command is the mansion click without a click: the way in for
// those who act on the guard from elsewhere.
TEST_F(ViewTest, TheStopCommandStopsTheGuardAsTheMansionClickDoesAndNothingWhenOff)
{
    TurnOn();
    EXPECT_TRUE(frame()->OnCmdMsg(ID_STOP_GUARD));
    EXPECT_EQ(sound.played, std::vector<std::string>{ProgramSound("mervo.wav")});
    EXPECT_EQ(guardOn, 0);
    EXPECT_EQ(PaneText(), kGreeting);
    EXPECT_FALSE(timer.IsArmed(view()));
    sound.played.clear();
    EXPECT_TRUE(frame()->OnCmdMsg(ID_STOP_GUARD));
    EXPECT_TRUE(sound.played.empty()) << "off already: nothing";
}

// A guard whose timer the system refused would say "on duty" and never play.
TEST_F(ViewTest, ARefusedTimerLeavesTheGuardOffWithALineAndAMessageThatDoesNotWait)
{
    SetNoise(GuardSettings, 0, 15);
    timer.refuse = true;
    view()->OnTurnMeOn();
    EXPECT_EQ(guardOn, 0);
    EXPECT_EQ(PaneText(), kGreeting);
    ASSERT_EQ(ProblemLog.problemCount, 1);
    EXPECT_NE(ProblemLog.problemLines[0].Find("timer"), -1);
    EXPECT_TRUE(messenger.messages.empty()) << "nothing that waits";
    ASSERT_EQ(messenger.unwaited.size(), 1u);
    timer.refuse = false;
    view()->OnTurnMeOn();
    EXPECT_EQ(guardOn, 1) << "a later start works once the system allows it";
    EXPECT_TRUE(timer.IsArmed(view()));
}

TEST_F(ViewTest, TurnMeOnWhileOnTouchesNothing)
{
    SetNoise(GuardSettings, 0, 15);
    TurnOn();
    ProblemLog.Append("kept");
    const CTime due = GuardSettings.slots[0].nextDue;
    const int sets = timer.sets;
    clock.Advance(60);

    view()->OnTurnMeOn();

    EXPECT_TRUE(sound.played.empty());
    EXPECT_EQ(ProblemLog.problemCount, 1);
    EXPECT_EQ(GuardSettings.slots[0].nextDue, due);
    EXPECT_EQ(timer.sets, sets);
    EXPECT_EQ(PaneText(), kOnDuty);
}

TEST_F(ViewTest, CtrlTAndTheMenuItemBothTurnTheGuardOnAndTheMansionStopsEither)
{
    Key(Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(guardOn, 1);
    EXPECT_EQ(sound.played, std::vector<std::string>{ProgramSound("thanks.wav")});
    Click(90, 90);
    EXPECT_EQ(guardOn, 0);

    sound.played.clear();
    QAction* turnMeOn = MenuAction("&Turn Me On");
    ASSERT_NE(turnMeOn, nullptr);
    turnMeOn->trigger();
    EXPECT_EQ(guardOn, 1);
    EXPECT_EQ(sound.played, std::vector<std::string>{ProgramSound("thanks.wav")});
    EXPECT_TRUE(timer.IsArmed(view()));
}

TEST_F(ViewTest, TicksRunThePassThatPlaysWhatIsDueAndRearms)
{
    SetNoise(GuardSettings, 0, 15);
    TurnOn();
    clock.Advance(15 * 60);

    timer.Fire(view());

    EXPECT_EQ(sound.played, std::vector<std::string>{"/noises/door.wav"});
    EXPECT_EQ(GuardSettings.slots[0].nextDue.GetTime(), clock.NowSeconds() + 15 * 60);
    EXPECT_EQ(timer.Delay(view()), 15u * 60 * 1000);
}

TEST_F(ViewTest, EveryInitialUpdateResetsGuardAndGreetingStopsTheTimerReseedsAndReloadsSettings)
{
    WriteSettings(home / "noises.hwt", [](GuardSettingsRecord& settings) {
        SetNoise(settings, 2, 45);
        settings.quietWindow = QuietWindow{22, 6};
    });
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        TurnOn();
        GuardSettings.quietWindow = QuietWindow{1, 2};
        win::rand();

        Key(Qt::Key_N, Qt::ControlModifier);

        EXPECT_EQ(guardOn, 0);
        EXPECT_EQ(PaneText(), kGreeting);
        // A timer left running would keep playing while the window says off.
        EXPECT_FALSE(timer.IsArmed(view()));
        EXPECT_EQ(GuardSettings.quietWindow.quietFromHour, 22);
        EXPECT_EQ(GuardSettings.slots[2].intervalMinutes, 45);
        win::srand(1);
        const int first = win::rand();
        Key(Qt::Key_N, Qt::ControlModifier);
        EXPECT_EQ(win::rand(), first);
    }
}

TEST_F(ViewTest, UnhandledAcceleratorsDoNothing)
{
    TurnOn();
    const int sets = timer.sets;
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        UINT command;
    } keys[] = {
        {Qt::Key_V, Qt::ControlModifier, ID_EDIT_PASTE}, {Qt::Key_Insert, Qt::ShiftModifier, ID_EDIT_PASTE},
        {Qt::Key_X, Qt::ControlModifier, ID_EDIT_CUT},   {Qt::Key_Delete, Qt::ShiftModifier, ID_EDIT_CUT},
        {Qt::Key_Insert, Qt::ControlModifier, ID_EDIT_COPY}, {Qt::Key_Z, Qt::ControlModifier, ID_EDIT_UNDO},
        {Qt::Key_Backspace, Qt::AltModifier, ID_EDIT_UNDO},  {Qt::Key_F6, Qt::NoModifier, ID_NEXT_PANE},
        {Qt::Key_F6, Qt::ShiftModifier, ID_PREV_PANE},
    };
    EXPECT_FALSE(frame()->OnCmdMsg(31999));
    for (const auto& k : keys) {
        SCOPED_TRACE(k.command);
        EXPECT_FALSE(frame()->OnCmdMsg(k.command));
        ModalSentry sentry;
        Key(k.key, k.modifiers);
        EXPECT_TRUE(sentry.seen.isEmpty()) << sentry.seen.join(", ").toStdString();
    }
    EXPECT_TRUE(sound.played.empty());
    EXPECT_EQ(guardOn, 1);
    EXPECT_EQ(PaneText(), kOnDuty);
    EXPECT_EQ(timer.sets, sets);
    EXPECT_TRUE(messenger.messages.empty());
}

TEST_F(ViewTest, PictureIsDrawnUnscaledAtTheTopLeftWithBackgroundBeyondIt)
{
    const QImage picture(":/res/130.bmp");
    ASSERT_FALSE(picture.isNull()) << "the picture is built into the program";
    frameWidget()->resize(800, 600);
    QTest::qWait(0);
    const QImage shown = viewWidget()->grab().toImage();
    ASSERT_GE(shown.width(), 600);
    const QColor background = viewWidget()->palette().color(QPalette::Base);
    for (const QPoint p : {QPoint(0, 0), QPoint(447, 331), QPoint(30, 30), QPoint(300, 250), QPoint(447, 0)})
        EXPECT_EQ(shown.pixelColor(p), picture.pixelColor(p)) << p.x() << "," << p.y();
    for (const QPoint p : {QPoint(500, 100), QPoint(100, 400), QPoint(599, 399)})
        EXPECT_EQ(shown.pixelColor(p), background) << p.x() << "," << p.y();
}

}  // namespace

namespace {

class ViewDialogTest : public ViewTest {
protected:
    // The caption of the modal window that `open` brings up; it is closed at once.
    QString ModalCaptionOf(const std::function<void()>& open)
    {
        QString caption;
        OnNextModal([&caption](QWidget* modal) {
            caption = modal->windowTitle();
            modal->close();
        });
        open();
        return caption;
    }
};

TEST_F(ViewDialogTest, MenuItemsAndKeysOpenTheirWindows)
{
    const QString schedule = "So, What Do You Want the Vorn to do?";
    EXPECT_EQ(ModalCaptionOf([&] { Key(Qt::Key_C, Qt::ControlModifier); }), schedule);
    EXPECT_EQ(ModalCaptionOf([&] { MenuAction("&What Should I Do?")->trigger(); }), schedule);
    EXPECT_EQ(ModalCaptionOf([&] { MenuAction("What is this?")->trigger(); }), "What is this?");
    EXPECT_EQ(ModalCaptionOf([&] { MenuAction("&About Hauntwatch")->trigger(); }), "About qwendrik");
    EXPECT_EQ(ModalCaptionOf([&] { MenuAction("Any errors?")->trigger(); }), "Any errors?");
    EXPECT_EQ(ModalCaptionOf([&] { Key(Qt::Key_E, Qt::ControlModifier); }), "Any errors?");
}

TEST_F(ViewDialogTest, ClosingTheScheduleDialogSavesTheSettingsEvenOnCancel)
{
    GuardSettings.quietWindow = QuietWindow{13, 15};
    ModalCaptionOf([&] { view()->OnWhatShouldIDo(); });
    GuardSettings.quietWindow = QuietWindow{};
    ASSERT_TRUE(CQwendrikDoc().OnOpenDocument((home / "noises.hwt").c_str()));
    EXPECT_EQ(GuardSettings.quietWindow.quietFromHour, 13);
    EXPECT_EQ(GuardSettings.quietWindow.quietToHour, 15);
}

}  // namespace

namespace {

// The real timer, and nothing but the schedule dialog's own modal loop to
// deliver its ticks: nothing here processes events on the side.
TEST_F(ViewDialogTest, TicksStillRunPassesAndPlayWhileTheScheduleDialogIsOpen)
{
    platform::WallClockTimerService realTimer;
    platform::InstallTimerService(&realTimer);
    SetNoise(GuardSettings, 0, 0);  // due at every pass
    TurnOn();
    std::vector<std::string> playedInside;
    QString dialogShown;
    QTimer watch;
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        dialogShown = modal->windowTitle();
        if (sound.played.empty() && std::chrono::steady_clock::now() < giveUp)
            return;
        playedInside = sound.played;
        modal->close();
    });
    watch.start(5);
    view()->OnWhatShouldIDo();
    watch.stop();
    platform::InstallTimerService(&timer);
    EXPECT_EQ(dialogShown, "So, What Do You Want the Vorn to do?");
    ASSERT_FALSE(playedInside.empty()) << "no tick reached the view while the dialog was open";
    EXPECT_EQ(playedInside.front(), "/noises/door.wav");
    EXPECT_EQ(guardOn, 1);
}

}  // namespace
