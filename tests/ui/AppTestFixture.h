#pragma once
// A started program (application, frame, view, document) on the offscreen
// platform, with fake services and its home, runtime and settings folders in
// a fresh temporary folder.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>

#include "CMainFrame.h"
#include "CRecentFileList.h"
#include "CQwendrikApp.h"
#include "CQwendrikDoc.h"
#include "CQwendrikView.h"
#include "CTime.h"
#include "FakeClock.h"
#include "FakeMessenger.h"
#include "FakeSound.h"
#include "FakeTimer.h"
#include "GuardRealism.h"
#include "GuardScheduler.h"
#include "GuardSettings.h"
#include "HomeFolder.h"
#include "MenuResources.h"
#include "ProblemLog.h"
#include "TempFolder.h"

inline constexpr char kGreeting[] = "Hand me that cupcake. I'll guard your mansion while you're on tour.";
inline constexpr char kOnDuty[] = "Mervo on duty. Click the mansion to stop me.";

class AppTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::setenv("HAUNTWATCH_HOME", home.path().c_str(), 1);
        std::filesystem::create_directory(home / "run");
        std::filesystem::permissions(home / "run", std::filesystem::perms::owner_all);
        ::setenv("XDG_RUNTIME_DIR", (home / "run").c_str(), 1);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(home / "config"));
        ResetEngine();
        // A quiet start: a settings file with five empty rows.
        WriteSettings(home / "noises.hwt", NothingRows);
    }

    void TearDown() override
    {
        modalWatch.reset();
        if (app)
            app->ExitInstance();
        app.reset();
        statusBar = nullptr;
        currentDocument = nullptr;
        ResetEngine();
    }

    static void ResetEngine()
    {
        GuardSettings = GuardSettingsRecord{};
        ProblemLog = ProblemLogRecord{};
        GuardRealism = GuardRealismRecord{};
        guardOn = 0;
    }

    // InitInstance with these arguments after the program's name.
    BOOL Start(std::vector<CString> arguments = {})
    {
        app = std::make_unique<CQwendrikApp>();
        app->SetCommandLine(std::move(arguments));
        const BOOL started = app->InitInstance();
        if (started) {
            frameWidget()->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(frameWidget()));
        }
        return started;
    }

    CMainFrame* frame() const { return static_cast<CMainFrame*>(app->m_pMainWnd); }
    CQwendrikView* view() const { return static_cast<CQwendrikView*>(frame()->GetActiveView()); }
    QWidget* frameWidget() const { return frame()->GetSafeHwnd(); }
    QWidget* viewWidget() const { return view()->GetSafeHwnd(); }
    CString PaneText(int pane = 0) const { return frame()->m_wndStatusBar.GetPaneText(pane); }

    // A menu-bar or popup item, by its text.
    QAction* MenuAction(const QString& text) const
    {
        for (QAction* action : frameWidget()->findChildren<QAction*>())
            if (action->text() == text)
                return action;
        return nullptr;
    }

    static std::vector<std::string> Files(const CRecentFileList& list)
    {
        std::vector<std::string> files;
        for (int i = 0; i < list.GetSize(); ++i)
            files.push_back(list[i].str());
        return files;
    }
    std::vector<std::string> RecentFiles() const { return Files(*app->GetRecentFileList()); }

    // Writes a settings file holding what `fill` puts into five empty rows;
    // the record in memory is left as it was.
    static void WriteSettings(const std::string& path, const std::function<void(GuardSettingsRecord&)>& fill)
    {
        const GuardSettingsRecord kept = GuardSettings;
        GuardSettings = GuardSettingsRecord{};
        NothingRows(GuardSettings);
        fill(GuardSettings);
        CQwendrikDoc document;
        EXPECT_TRUE(document.OnSaveDocument(path.c_str()));
        GuardSettings = kept;
    }

    static void NothingRows(GuardSettingsRecord& settings)
    {
        for (NoiseSlot& slot : settings.slots) {
            slot.noiseName = kNothing;
            slot.filePath = kNone;
        }
    }

    static void SetNoise(GuardSettingsRecord& settings, int slot, int intervalMinutes, const char* path = "/noises/door.wav")
    {
        settings.slots[slot] = NoiseSlot{"door", path, intervalMinutes, kModeExact, 1, CTime()};
    }

    // Runs `act` on the next modal window as soon as it is up; a later call
    // or the end of the test forgets a watch that never fired.
    void OnNextModal(std::function<void(QWidget*)> act)
    {
        modalWatch = std::make_unique<QTimer>();
        QObject::connect(modalWatch.get(), &QTimer::timeout, modalWatch.get(), [this, act] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                modalWatch->stop();
                act(modal);
            }
        });
        modalWatch->start(10);
    }

    // Closes every modal window that comes up while it lives and keeps its
    // caption: a step that should open none fails instead of hanging.
    struct ModalSentry {
        ModalSentry()
        {
            QObject::connect(&timer, &QTimer::timeout, [this] {
                if (QWidget* modal = QApplication::activeModalWidget()) {
                    seen << modal->windowTitle();
                    modal->close();
                }
            });
            timer.start(5);
        }
        QStringList seen;
        QTimer timer;
    };

    void Click(int x, int y) { QTest::mouseClick(viewWidget(), Qt::LeftButton, Qt::NoModifier, QPoint(x, y)); }
    // Accelerators work in the active frame only, as after a modal window closed.
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        frameWidget()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frameWidget()));
        QTest::keyClick(frameWidget(), key, modifiers);
    }

    static std::string ProgramSound(const char* name) { return platform::ProgramFilePath(std::string("c:\\qwendrik\\") + name); }

    TempFolder home;
    platform::FakeSound sound;
    platform::FakeTimer timer;
    platform::FakeClock clock{CTime(2026, 12, 7, 10, 0, 0).GetTime()};
    platform::FakeMessenger messenger;
    std::unique_ptr<CQwendrikApp> app;
    std::unique_ptr<QTimer> modalWatch;
};
