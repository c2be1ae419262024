// The trip features in the started program: the duty record follows the
// person's ends of the guard only, --resume puts the guard back on duty
// without a modal window, the "&Say Whut?" items, and the diary window,
// which plans from the running guard without disturbing it.
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QStandardPaths>
#include <QTreeWidget>
#include <QCheckBox>
#include <QCryptographicHash>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLocalServer>
#include <QLockFile>
#include <QPushButton>
#include <pwd.h>

#include "AppTestFixture.h"
#include "Autostart.h"
#include "AwayDialog.h"
#include "Diary.h"
#include "DiaryFormat.h"
#include "DiaryWindow.h"
#include "DutyRecord.h"
#include "FakeProgramStarter.h"
#include "ViewGuardAccess.h"
#include "GuardEventsFanout.h"
#include "Timeline.h"
#include "TripModule.h"
#include "TripTestSupport.h"

namespace {

class Heard final : public GuardEvents {
public:
    void Played(const PlayReport& r) override { lines.push_back(trip::IsoLocalTime(r.at) + "\tplay\t" + r.path.str()); }
    void QuietHold(CTime until, CTime at) override
    {
        lines.push_back(trip::IsoLocalTime(at) + "\tquiet until\t" + trip::IsoLocalTime(until));
    }
    std::vector<std::string> lines;
};

class TripAppTest : public AppTest {
protected:
    void TearDown() override
    {
        InstallGuardEvents(nullptr);
        trip.reset();
        AppTest::TearDown();
    }

    // The program's start-up as main.cpp composes it.
    void StartProgram(bool resume)
    {
        // The start itself tells the guard's listeners (the library it loaded).
        InstallGuardEvents(nullptr);
        ASSERT_TRUE(Start());
        trip = std::make_unique<trip::TripModule>(access, resume);
        fanout = std::make_unique<GuardEventsFanout>();
        fanout->Add(&heard);
        fanout->Add(&trip->Events());
        InstallGuardEvents(fanout.get());
        trip->AttachTo(*frameWidget(), *frame()->PopupMenu(kSayWhutMenuPosition));
        trip->AfterStartUp();
        ASSERT_NE(trip->DiaryAction(), nullptr) << "the items went into the menu";
    }

    QMenu* SayWhut() const
    {
        for (QAction* action : frameWidget()->findChild<QMenuBar*>()->actions())
            if (action->text() == "&Say Whut?")
                return action->menu();
        return nullptr;
    }

    void TickLive()
    {
        clock.Advance(timer.Delay(view()) / 1000);
        timer.Fire(view());
    }

    std::string DiaryLog() const { return ReadWhole(home / "diary.log"); }

    // What a systemd tool says, which succeeded; no system autostart entries.
    std::string Says(const QString& program, const QStringList& arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(home / "run"));
        environment.insert("XDG_CONFIG_DIRS", QString::fromStdString(home / "no system entries"));
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        EXPECT_TRUE(process.waitForFinished(30000) && process.exitCode() == 0) << program.toStdString();
        return process.readAll().toStdString();
    }

    ScopedEnv config{"XDG_CONFIG_HOME", home / "xdg config"};
    ScopedEnv cache{"XDG_CACHE_HOME", home / "cache"};
    platform::FakeProgramStarter starter;
    ViewGuardAccess access;
    Heard heard;
    std::unique_ptr<GuardEventsFanout> fanout;
    std::unique_ptr<trip::TripModule> trip;
};

TEST_F(TripAppTest, TheDutyRecordGoesWithThePersonsEndsAndStaysWithAnyOther)
{
    StartProgram(false);
    EXPECT_FALSE(trip::DutyRecordPresent());
    Key(Qt::Key_T, Qt::ControlModifier);
    ASSERT_EQ(guardOn, 1);
    EXPECT_EQ(ReadWhole(trip::DutyRecordPath()), trip::IsoLocalTime(CTime::GetCurrentTime()) + "\n");

    Click(90, 80);  // the mansion
    EXPECT_FALSE(trip::DutyRecordPresent()) << "a mansion click";
    Key(Qt::Key_T, Qt::ControlModifier);
    access.Stop();
    EXPECT_FALSE(trip::DutyRecordPresent()) << "the stop command";
    Key(Qt::Key_T, Qt::ControlModifier);
    view()->OnInitialUpdate();
    EXPECT_FALSE(trip::DutyRecordPresent()) << "a later initial update that stops the guard";
    Key(Qt::Key_T, Qt::ControlModifier);
    frameWidget()->close();
    EXPECT_FALSE(trip::DutyRecordPresent()) << "the close box";
    EXPECT_EQ(Lines(DiaryLog()).size(), 8u) << "four starts and four ends:\n" << DiaryLog();

    // "&Quit", in a new run.
    app->ExitInstance();
    StartProgram(false);
    Key(Qt::Key_T, Qt::ControlModifier);
    ASSERT_TRUE(trip::DutyRecordPresent());
    MenuAction("&Quit")->trigger();
    EXPECT_FALSE(trip::DutyRecordPresent()) << "&Quit";

    // The program going without the person (a signal, the display or the
    // session lost): the view goes without a word and the record stays.
    app->ExitInstance();
    StartProgram(false);
    Key(Qt::Key_T, Qt::ControlModifier);
    app->ExitInstance();
    app.reset();
    EXPECT_TRUE(trip::DutyRecordPresent());
    EXPECT_EQ(Lines(DiaryLog()).back().substr(25), "\tguard on");
}

TEST_F(TripAppTest, AResumedStartIsOnDutyAtOnceWithItsLineAndShowsNothingModal)
{
    WriteSettings(home / "noises.hwt", [](GuardSettingsRecord& s) { SetNoise(s, 2, 1, "/noises/note.txt"); });
    ASSERT_TRUE(trip::WriteDutyRecord(CTime(2026, 12, 6, 20, 0, 0), nullptr));
    ModalSentry sentry;
    StartProgram(true);
    EXPECT_EQ(guardOn, 1);
    EXPECT_EQ(PaneText(), kOnDuty);
    ASSERT_EQ(ProblemLog.problemCount, 1);
    EXPECT_EQ(ProblemLog.problemLines[0].str(), "At 10:00 back on duty after a restart");
    EXPECT_TRUE(messenger.messages.empty());
    EXPECT_TRUE(messenger.unwaited.empty());
    EXPECT_TRUE(sentry.seen.isEmpty()) << sentry.seen.join(", ").toStdString();
    EXPECT_EQ(Lines(DiaryLog()), std::vector<std::string>{trip::IsoLocalTime(CTime::GetCurrentTime()) +
                                                           "\tguard resumed\t" + trip::IsoLocalTime(CTime(2026, 12, 6, 20, 0, 0))});
    EXPECT_EQ(trip::DutyRecordSince(), CTime(2026, 12, 6, 20, 0, 0));
    // Nothing missed is played: the one-minute row is due a minute on.
    EXPECT_EQ(sound.played, std::vector<std::string>{ProgramSound("thanks.wav")});
    EXPECT_EQ(timer.Delay(view()), 60u * 1000);
    EXPECT_EQ(GuardSettings.slots[2].nextDue, CTime::GetCurrentTime() + CTimeSpan(60));
}

// Without XDG_RUNTIME_DIR (su, a bare startx), another user has taken Qt's
// fallback in the shared temporary folder and planted a held lock and a
// listening socket under the names such a start used there: the socket hears
// nothing, and --resume puts Mervo back on duty.
TEST_F(TripAppTest, AnotherUsersLockAndSocketInTheTemporaryFolderNeitherHoldNorHearAResume)
{
    TempFolder shared;
    ScopedEnv tmp{"TMPDIR", shared.path()}, runtime{"XDG_RUNTIME_DIR", ""};
    std::ofstream(shared / ("runtime-" + std::string(::getpwuid(::geteuid())->pw_name)));
    const QString planted = QString::fromStdString(shared / "hauntwatch-") +
        QCryptographicHash::hash(QFileInfo(QString::fromStdString(home.path())).canonicalFilePath().toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    QLockFile lock(planted + ".lock");
    QLocalServer trap;
    ASSERT_TRUE(lock.tryLock(0) && trap.listen(planted + ".socket"));
    ASSERT_TRUE(trip::WriteDutyRecord(CTime(2026, 12, 6, 20, 0, 0), nullptr));

    StartProgram(true);
    EXPECT_EQ(guardOn, 1);
    QCoreApplication::processEvents();
    EXPECT_FALSE(trap.hasPendingConnections());
    using std::filesystem::perms;
    EXPECT_EQ(std::filesystem::status(home / "cache/hauntwatch/run").permissions() & (perms::group_all | perms::others_all), perms::none);
}

TEST_F(TripAppTest, WithoutTheRecordOrWithoutTheOptionTheGuardStaysOff)
{
    StartProgram(true);
    EXPECT_EQ(guardOn, 0);
    EXPECT_EQ(ProblemLog.problemCount, 0);
    app->ExitInstance();

    ASSERT_TRUE(trip::WriteDutyRecord(CTime(2026, 12, 6, 20, 0, 0), nullptr));
    trip.reset();
    StartProgram(false);
    EXPECT_EQ(guardOn, 0);
    EXPECT_EQ(PaneText(), kGreeting);
    EXPECT_FALSE(trip::DutyRecordPresent()) << "off by hand: a later restart must not bring back an older duty";
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(home / "diary.log")));
}

// A start by hand and the autostart's --resume in one login, a moment apart:
// whichever runs, Mervo ends on duty from the record the login found.
TEST_F(TripAppTest, AResumeHandedOverAfterAStartByHandPutsHimBackFromTheRecordItForgot)
{
    const CTime since(2026, 12, 6, 20, 0, 0);
    ASSERT_TRUE(trip::WriteDutyRecord(since, nullptr));
    StartProgram(false);
    EXPECT_EQ(guardOn, 0);
    EXPECT_FALSE(trip::DutyRecordPresent()) << "a start by hand forgets it on disk";
    trip->ResumeHandedOver();
    EXPECT_EQ(guardOn, 1);
    EXPECT_EQ(Lines(DiaryLog()), std::vector<std::string>{trip::IsoLocalTime(CTime::GetCurrentTime()) +
                                                           "\tguard resumed\t" + trip::IsoLocalTime(since)});
    EXPECT_EQ(trip::DutyRecordSince(), since) << "and the record is back, with the same start";

    // Once the person has had a say, a later hand-over changes nothing.
    Click(90, 80);  // the mansion
    trip->ResumeHandedOver();
    EXPECT_EQ(guardOn, 0);

    // Handed over before this run's own start-up looked at the record.
    app->ExitInstance();
    InstallGuardEvents(nullptr);
    trip.reset();
    ASSERT_TRUE(trip::WriteDutyRecord(since, nullptr));
    ASSERT_TRUE(Start());
    trip = std::make_unique<trip::TripModule>(access, false);
    fanout = std::make_unique<GuardEventsFanout>();
    fanout->Add(&trip->Events());
    InstallGuardEvents(fanout.get());
    trip->ResumeHandedOver();
    trip->AttachTo(*frameWidget(), *frame()->PopupMenu(kSayWhutMenuPosition));
    trip->AfterStartUp();
    EXPECT_EQ(guardOn, 1);
    EXPECT_EQ(trip::DutyRecordSince(), since);
}

// "Away from … until …" on the guard's clock: on duty when the person
// leaves, again at a start in the middle, off when they are back; turned off
// while away, the span is over.  The person sees it: the item says until
// when, an open diary window follows without Refresh and plans no further
// than the return.
TEST_F(TripAppTest, AwayPutsHimOnDutyAtTheLeavingTimeAndOffAtTheReturn)
{
    WriteSettings(home / "noises.hwt", [](GuardSettingsRecord& s) { SetNoise(s, 0, 30, "/noises/note.txt"); });
    StartProgram(false);
    ASSERT_NE(trip->AwayAction(), nullptr);
    EXPECT_TRUE(SayWhut()->actions().indexOf(trip->AwayAction()) == SayWhut()->actions().indexOf(trip->DiaryAction()) + 1)
        << "right after Mervo's Diary";
    const CTime start = CTime::GetCurrentTime();
    const trip::AwaySpan span{start + CTimeSpan(3600), start + CTimeSpan(5 * 3600)};
    ASSERT_TRUE(trip->SetAway(span));
    EXPECT_EQ(trip::ReadAwaySpan(), span) << "kept in the home folder";
    EXPECT_TRUE(trip->AwayAction()->isChecked());
    EXPECT_EQ(trip->AwayAction()->text(), "A&way until " + trip::ShortTimeText(span.until) + QChar(0x2026));
    EXPECT_EQ(timer.Delay(&trip->AwayTimer()), 3600u * 1000);
    EXPECT_EQ(guardOn, 0);

    clock.Advance(3600);
    timer.Fire(&trip->AwayTimer());
    EXPECT_EQ(guardOn, 1) << "on duty when the person leaves";
    EXPECT_EQ(Lines(DiaryLog()).back(), trip::IsoLocalTime(span.from) + "\tguard on\taway");
    ASSERT_EQ(ProblemLog.problemCount, 1);
    EXPECT_EQ(ProblemLog.problemLines[0].str().rfind("At 11:00 on duty: you are away until ", 0), 0u)
        << ProblemLog.problemLines[0].str();
    EXPECT_EQ(timer.Delay(&trip->AwayTimer()), 4u * 3600 * 1000) << "armed for the return";

    // A restart in the middle, without --resume: he is on duty all the same.
    clock.Advance(3600);
    app->ExitInstance();
    InstallGuardEvents(nullptr);
    trip.reset();
    StartProgram(false);
    EXPECT_EQ(guardOn, 1);
    EXPECT_EQ(Lines(DiaryLog()).back(), trip::IsoLocalTime(CTime::GetCurrentTime()) + "\tguard on\taway");

    trip->DiaryAction()->trigger();
    const QLabel* summary = trip->Diary()->findChild<QLabel*>("summary");
    EXPECT_TRUE(summary->text().contains("You are away from " + trip::ShortTimeText(span.from))) << summary->text().toStdString();
    ASSERT_FALSE(trip->Diary()->Plan().empty());
    EXPECT_LE(trip->Diary()->Plan().back().at, span.until) << "planned past the return";
    EXPECT_EQ(trip->Diary()->List().findItems("guard on (away)", Qt::MatchExactly, 1).size(), 2);

    clock.Advance(3 * 3600);
    timer.Fire(&trip->AwayTimer());
    EXPECT_EQ(guardOn, 0) << "off when the person is back";
    EXPECT_TRUE(QTest::qWaitFor([&] { return summary->text().contains("Mervo is off duty"); }, 5000)) << "the open window did not follow";
    EXPECT_FALSE(trip->AwayAction()->isChecked());
    EXPECT_FALSE(trip::ReadAwaySpan()) << "the span is over";
    EXPECT_EQ(Lines(DiaryLog()).back(), trip::IsoLocalTime(span.until) + "\tguard off");

    // Spans are the minutes the dialog shows, not the seconds it opened at.
    clock.Advance(17);
    trip::AwayDialog dialog(std::nullopt, frameWidget());
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(dialog.Chosen().value_or(trip::AwaySpan{}).from.GetTime() % 60, 0);

    // Turned off by hand while away: somebody is home.
    const CTime later = CTime::GetCurrentTime();
    ASSERT_TRUE(trip->SetAway(trip::AwaySpan{later + CTimeSpan(60), later + CTimeSpan(7200)}));
    clock.Advance(60);
    timer.Fire(&trip->AwayTimer());
    ASSERT_EQ(guardOn, 1);
    Click(90, 80);  // the mansion
    EXPECT_EQ(guardOn, 0);
    EXPECT_FALSE(trip::ReadAwaySpan());
    EXPECT_FALSE(timer.IsArmed(&trip->AwayTimer()));
}

// An away file written by hand and got slightly wrong is said at each start
// of the program and of the guard: in the report, the diary and, to a person
// at the window, a message.
TEST_F(TripAppTest, AnAwayFileThatCannotBeUsedIsToldAtEveryStart)
{
    std::ofstream(home / "away") << "2026-12-20T08:00\n2026-12-27T1200\n";
    std::ofstream(home / "noises.hwt.ini") << "[row1]\nvolume=3\n";
    auto told = [&](size_t times, size_t messages) {
        std::string report;
        for (int i = 0; i < ProblemLog.problemCount; ++i)
            report += ProblemLog.problemLines[i].str() + "\n";
        EXPECT_NE(report.find(" the away file " + (home / "away") + " cannot be used: the return time"), std::string::npos)
            << report;
        EXPECT_EQ(report.find("\"volume\"") != std::string::npos, guardOn != 0)
            << "the extras file's lines come with a guard start: " << report;
        const std::vector<std::string> lines = Lines(DiaryLog());
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.find("\taway unusable\t") != std::string::npos; }),
                  static_cast<long>(times));
        EXPECT_EQ(messenger.unwaited.size(), messages);
    };
    StartProgram(false);
    told(1, 1);
    Key(Qt::Key_T, Qt::ControlModifier);
    told(2, 2);
    // A restart with nobody at the window: the report and the diary only.
    app->ExitInstance();
    InstallGuardEvents(nullptr);
    trip.reset();
    StartProgram(true);
    told(3, 2);
    // The row extras file's lines go to the diary as it is read with the settings.
    view()->GetDocument()->OnOpenDocument(SettingsPath);
    const std::vector<std::string> lines = Lines(DiaryLog());
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.find("\textras ignored\t") != std::string::npos; }),
              1);
}

TEST_F(TripAppTest, TheAutostartItemWritesAndRemovesTheEntryAndItsMarkShowsWhetherItIsThere)
{
    StartProgram(false);
    QMenu* menu = SayWhut();
    ASSERT_NE(menu, nullptr);
    QAction* autostart = trip->AutostartAction();
    ASSERT_TRUE(menu->actions().contains(autostart));
    ASSERT_TRUE(menu->actions().contains(trip->DiaryAction()));
    EXPECT_EQ(autostart->text(), "Guard Again After a Restart");
    EXPECT_EQ(trip->DiaryAction()->text(), "Mervo's Diary");
    EXPECT_EQ(trip->DiaryAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
    EXPECT_TRUE(autostart->isCheckable());
    EXPECT_FALSE(autostart->isChecked());

    const QString entry = QString::fromStdString(home / "xdg config/autostart/hauntwatch.desktop");
    const QString unit = QString::fromStdString(home / "xdg config/systemd/user/hauntwatch.service");
    EXPECT_EQ(trip::AutostartEntryPath(), entry);
    autostart->trigger();
    ASSERT_TRUE(QFileInfo::exists(entry));
    ASSERT_TRUE(QFileInfo::exists(unit)) << "the entry starts the service manager's unit";
    EXPECT_TRUE(autostart->isChecked());
    if (const QString validate = QStandardPaths::findExecutable("desktop-file-validate"); !validate.isEmpty()) {
        QProcess check;
        check.start(validate, {entry});
        ASSERT_TRUE(check.waitForFinished(30000));
        EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().toStdString();
    }
    // The manager reads the unit as it stands; a value it does not take is
    // only a warning there, so any word from it fails.
    EXPECT_EQ(Says("systemd-analyze", {"--user", "verify", unit}), "");
    const std::vector<std::string> lines = Lines(ReadWhole(unit.toStdString()));
    const std::string start = "ExecStart=\"" + QCoreApplication::applicationFilePath().toStdString() + "\" --resume";
    const std::string environmentLine = "Environment=\"HAUNTWATCH_HOME=" + home.path() + "\"";
    EXPECT_NE(std::find(lines.begin(), lines.end(), start), lines.end()) << ReadWhole(unit.toStdString());
    EXPECT_NE(std::find(lines.begin(), lines.end(), environmentLine), lines.end());

    // Removed by hand: the mark follows when the menu opens.
    QFile::remove(entry);
    QMetaObject::invokeMethod(menu, "aboutToShow");
    EXPECT_FALSE(autostart->isChecked());
    autostart->trigger();
    EXPECT_TRUE(QFileInfo::exists(entry));
    autostart->trigger();
    EXPECT_FALSE(QFileInfo::exists(entry));
    EXPECT_FALSE(QFileInfo::exists(unit)) << "choosing the item again removes both";
    EXPECT_FALSE(autostart->isChecked());
}

// The program unpacked under a path with "$", a space and "%", guarding a
// home with a backslash: neither the service manager nor its generator of
// units for autostart entries has a word for what is written.  A path
// systemd cannot run is refused, naming the character, and nothing is written.
TEST_F(TripAppTest, APathWithADollarASpaceAndAPercentIsCarriedAndOneSystemdCannotRunIsRefused)
{
    const std::string folder = home / "a$b c%d", made = home / "generated";
    std::filesystem::create_directories(folder);
    std::filesystem::create_directories(made);
    std::filesystem::create_symlink(QCoreApplication::applicationFilePath().toStdString(), folder + "/hauntwatch");
    QString error;
    ASSERT_TRUE(trip::WriteAutostartEntry(QString::fromStdString(folder + "/hauntwatch"), QString::fromStdString(home / "back\\slash"), &error));
    EXPECT_EQ(Says("systemd-analyze", {"--user", "verify", trip::ServiceUnitPath()}), "");
    EXPECT_EQ(QFileInfo(trip::AutostartWantsPath()).symLinkTarget(), trip::ServiceUnitPath()) << "wanted by the session's autostart";
    const QString out = QString::fromStdString(made);
    EXPECT_EQ(Says("/usr/lib/systemd/user-generators/systemd-xdg-autostart-generator", {out, out, out}), "");
    for (const auto& unit : std::filesystem::directory_iterator(made)) {
        if (unit.path().extension() == ".service") {
            EXPECT_EQ(Says("systemd-analyze", {"--user", "verify", QString::fromStdString(unit.path())}), "") << ReadWhole(unit.path());
        }
    }
    ASSERT_TRUE(trip::RemoveAutostartEntry(&error));
    EXPECT_FALSE(trip::WriteAutostartEntry(QString::fromStdString(home / "it's/hauntwatch"), {}, &error));
    EXPECT_TRUE(error.contains("a single quote (')")) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(trip::ServiceUnitPath()));
}

TEST(AutostartTest, ArgumentsAreQuotedForTheExecKey)
{
    EXPECT_EQ(trip::QuoteExecArgument("/usr/bin/hauntwatch"), "\"/usr/bin/hauntwatch\"");
    EXPECT_EQ(trip::QuoteExecArgument("/opt/my apps/hauntwatch"), "\"/opt/my apps/hauntwatch\"");
    // Quoting escapes " ` $ \, then the string escape doubles every backslash.
    EXPECT_EQ(trip::QuoteExecArgument("/a\"b$c`d\\e%f"), "\"/a\\\\\"b\\\\$c\\\\`d\\\\\\\\e%%f\"");
    EXPECT_EQ(trip::QuoteExecArgument("two\nlines"), "\"two\\nlines\"");
    // A unit's quoting: C escapes, "%" against specifiers, "$" against the
    // manager's expansion in ExecStart= only.
    EXPECT_EQ(trip::QuoteUnitArgument("/opt/my apps/a\"b\\c", true), "\"/opt/my apps/a\\\"b\\\\c\"");
    EXPECT_EQ(trip::QuoteUnitArgument("/x/100%$HOME\nz", true), "\"/x/100%%$$HOME\\nz\"");
    EXPECT_EQ(trip::QuoteUnitArgument("/x\r[Service]", true), "\"/x\\x0d[Service]\"") << "a raw CR ends a unit line too";
    EXPECT_EQ(trip::QuoteUnitArgument("H=/x/100%$HOME", false), "\"H=/x/100%%$HOME\"");
}

TEST_F(TripAppTest, TheDiaryWindowShowsTheWeekAndTheRunningGuardsNextDayWithoutDisturbingIt)
{
    WriteSettings(home / "noises.hwt", [](GuardSettingsRecord& s) {
        s.slots[0] = NoiseSlot{"Door", "/noises/door.wav", 30, kModeRandom, 2, CTime()};
        s.slots[3] = NoiseSlot{"Note", "/noises/note.txt", 45, kModeExact, 1, CTime()};
        s.quietWindow = {22, 6};
    });
    const CTime now = CTime::GetCurrentTime();
    auto at = [&](int hoursAgo) { return trip::IsoLocalTime(now + CTimeSpan(-hoursAgo * 3600)); };
    std::ofstream(home / "diary.log") << at(30) << "\tguard on\n"
                                      << at(29) << "\tplayed\t/noises/door.wav\n"
                                      << at(29) << "\tplayed\t/noises/dogs/bark-2.wav\tDog barking\tfrom 0:12 for 0:30\t\n"
                                      << at(28) << "\tfailed\t/noises/gone.wav\tfile missing\n"
                                      << at(27) << "\tquiet until\t" << at(20) << "\n"
                                      << at(26) << "\tunheard\tsilence\tBuilt-in Audio\n"
                                      << at(25) << "\tguard off\n"
                                      << at(24 * 9) << "\tplayed\t/noises/too-old.wav\n";
    StartProgram(false);
    Key(Qt::Key_T, Qt::ControlModifier);
    for (int i = 0; i < 3; ++i)
        TickLive();
    const ProblemLogRecord problems = ProblemLog;
    const UINT delay = timer.Delay(view());
    const int sets = timer.sets;
    const GuardSnapshot before = access.Snapshot();
    const size_t livePlays = heard.lines.size();
    heard.lines.clear();

    Key(Qt::Key_D, Qt::ControlModifier);
    trip::DiaryWindow* diary = trip->Diary();
    ASSERT_NE(diary, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(diary));
    EXPECT_EQ(diary->windowTitle(), "Mervo's Diary");

    // Nothing of the live guard moved.
    const GuardSnapshot after = access.Snapshot();
    EXPECT_EQ(after.randomState, before.randomState);
    EXPECT_EQ(after.armedWakeUp, before.armedWakeUp);
    for (int s = 0; s < kSlotCount; ++s)
        EXPECT_EQ(after.slots[s].nextDue, before.slots[s].nextDue);
    EXPECT_EQ(ProblemLog.problemCount, problems.problemCount);
    EXPECT_EQ(timer.Delay(view()), delay);
    EXPECT_EQ(timer.sets, sets);
    EXPECT_EQ(guardOn, 1);
    EXPECT_TRUE(heard.lines.empty()) << "the plan's plays are not told";

    // The past: the week's lines, the older one left out; the on-duty hours
    // of the day before, and of the guard now.
    const trip::TimelineData& data = diary->TimelineView().Data();
    int played = 0, failed = 0, planned = 0;
    for (const trip::TimelineMark& mark : data.marks) {
        played += mark.outcome == trip::TimelineMark::Outcome::Played || mark.outcome == trip::TimelineMark::Outcome::Started;
        failed += mark.outcome == trip::TimelineMark::Outcome::Failed;
        planned += mark.outcome == trip::TimelineMark::Outcome::Planned;
    }
    ASSERT_GT(livePlays, 0u);
    EXPECT_EQ(played, 2 + static_cast<int>(livePlays)) << "the week's plays before today's run, and today's";
    EXPECT_EQ(failed, 1);
    EXPECT_EQ(planned, static_cast<int>(diary->Plan().size()) - static_cast<int>(std::count_if(
        diary->Plan().begin(), diary->Plan().end(), [](const trip::PlanEvent& e) { return e.kind == trip::PlanEvent::Kind::QuietHold; })));
    ASSERT_EQ(data.onDuty.size(), 3u) << "yesterday's, today's until now, and the planned";
    EXPECT_EQ(data.onDuty.front().from, now + CTimeSpan(-30 * 3600));
    EXPECT_EQ(data.onDuty.front().to, now + CTimeSpan(-25 * 3600));
    EXPECT_EQ(data.end - data.now, CTimeSpan(86400));
    EXPECT_FALSE(data.futureIfStarted);

    QTreeWidget& list = diary->List();
    QStringList rows;
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        QStringList cells;
        for (int c = 0; c < 4; ++c)
            cells << list.topLevelItem(i)->text(c);
        rows << cells.join('|');
    }
    EXPECT_TRUE(rows.filter("|failed|gone.wav|/noises/gone.wav: file missing").size() == 1) << rows.join('\n').toStdString();
    EXPECT_TRUE(rows.filter("|played|Dog barking|/noises/dogs/bark-2.wav: from 0:12 for 0:30").size() == 1)
        << "a take under its noise's name";
    EXPECT_TRUE(rows.filter("|unheard||silence — Built-in Audio").size() == 1) << rows.join('\n').toStdString();
    EXPECT_TRUE(rows.filter("too-old").isEmpty());
    EXPECT_GE(rows.filter("|will play 2 times|Door|/noises/door.wav").size(), 20);

    // The live guard's next day is the plan the window showed.
    const CTime from = CTime::GetCurrentTime();
    while (clock.NowSeconds() + timer.Delay(view()) / 1000 <= from.GetTime() + 86400)
        TickLive();
    std::vector<std::string> planned_;
    for (const trip::PlanEvent& e : diary->Plan()) {
        if (e.kind == trip::PlanEvent::Kind::QuietHold)
            planned_.push_back(trip::IsoLocalTime(e.at) + "\tquiet until\t" + trip::IsoLocalTime(e.until));
        else
            for (int i = 0; i < e.repeatCount; ++i)
                planned_.push_back(trip::IsoLocalTime(e.at) + "\tplay\t" + e.path.str());
    }
    EXPECT_EQ(heard.lines, planned_);

    // A week ahead at a tick of the box.
    diary->WeekAhead().setChecked(true);
    EXPECT_EQ(diary->TimelineView().Data().end - diary->TimelineView().Data().now, CTimeSpan(7 * 86400));
    ASSERT_FALSE(diary->Plan().empty());
    EXPECT_GT(diary->Plan().back().at, CTime::GetCurrentTime() + CTimeSpan(6 * 86400));
}

// Day ten of a trip: on duty for nine days, a play every hour, the program
// down (or running off duty) since two hours ago and resumed now.  The band covers the whole week
// but those two hours; the list's columns fit all of it, and a path holding a
// line break still shows what follows it.
TEST_F(TripAppTest, OnDayTenTheBandCoversTheWholeWeekButTheHoursTheProgramWasDown)
{
    const CTime now = CTime::GetCurrentTime();
    const CTime began = now + CTimeSpan(-9 * 86400);
    const CTime lastBeforeDown = now + CTimeSpan(-2 * 3600);
    ASSERT_TRUE(trip::Diary::Append(began, "guard on"));
    for (CTime at = began + CTimeSpan(3600); at < lastBeforeDown; at = at + CTimeSpan(3600))
        ASSERT_TRUE(trip::Diary::Append(at, "played", {"/noises/door.wav"}));
    ASSERT_TRUE(trip::Diary::Append(lastBeforeDown, "failed", {"/noises/two\nlines.wav", "file missing"}));
    // Meanwhile a run that never went on duty: the broker's lines are no duty.
    ASSERT_TRUE(trip::Diary::Append(lastBeforeDown + CTimeSpan(1800), "remote", {"connected"}));
    ASSERT_TRUE(trip::Diary::Append(lastBeforeDown + CTimeSpan(3600), "played",
                                    {"/noises/door.wav", trip::kFromTheBroker}));
    ASSERT_TRUE(trip::WriteDutyRecord(began, nullptr));
    StartProgram(true);
    ASSERT_EQ(guardOn, 1);

    Key(Qt::Key_D, Qt::ControlModifier);
    trip::DiaryWindow* diary = trip->Diary();
    ASSERT_NE(diary, nullptr);
    const trip::TimelineData& data = diary->TimelineView().Data();
    ASSERT_EQ(data.onDuty.size(), 3u) << "the week until the program went down, the resume until now, and the plan";
    EXPECT_EQ(data.onDuty[0].from, data.begin) << "on duty since before the week began";
    EXPECT_EQ(data.onDuty[0].to, lastBeforeDown) << "until the last line before the program went down";
    EXPECT_EQ(data.onDuty[1].from, now);
    EXPECT_EQ(data.onDuty[1].to, now);
    EXPECT_EQ(data.onDuty[2].from, now);

    QTreeWidget& list = diary->List();
    const QFontMetrics metrics(list.font());
    bool reasonShown = false;
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list.topLevelItem(i);
        for (int c = 0; c < 3; ++c)
            ASSERT_LE(QFontMetrics(item->font(c)).horizontalAdvance(item->text(c)), list.columnWidth(c))
                << "row " << i << ": " << item->text(c).toStdString();
        reasonShown = reasonShown || item->text(3) == "/noises/two\\nlines.wav: file missing";
    }
    EXPECT_TRUE(reasonShown) << "a line break in a path cut off the reason";
}

TEST_F(TripAppTest, WhileTheGuardIsOffTheDiaryShowsWhatAStartNowWouldDo)
{
    WriteSettings(home / "noises.hwt", [](GuardSettingsRecord& s) { SetNoise(s, 1, 60, "/noises/door.wav"); });
    StartProgram(false);
    const unsigned int random = access.Snapshot().randomState;
    trip->DiaryAction()->trigger();
    trip::DiaryWindow* diary = trip->Diary();
    ASSERT_NE(diary, nullptr);
    EXPECT_TRUE(diary->TimelineView().Data().futureIfStarted);
    ASSERT_EQ(diary->Plan().size(), 24u);
    EXPECT_EQ(guardOn, 0);
    EXPECT_EQ(access.Snapshot().randomState, random);
    EXPECT_FALSE(access.Snapshot().armedWakeUp.has_value());
    EXPECT_FALSE(trip::DutyRecordPresent()) << "a plan is not a start";
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(home / "diary.log")));
}

}  // namespace
