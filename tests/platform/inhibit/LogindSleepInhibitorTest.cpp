// The real inhibitor on a private bus that stands in for the system bus, with
// a stand-in login manager registered by the test.
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "LogindSleepInhibitor.h"
#include "PrivateBus.h"
#include "StandInLoginManager.h"

namespace {

using platform::LogindSleepInhibitor;

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kPath = QStringLiteral("/org/freedesktop/login1");

class LogindSleepInhibitorTest : public PrivateBusSuite<kSystemBusAddress> {
protected:
    void SetUp() override
    {
        PrivateBusSuite::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        static int connections = 0;
        connectionName_ = QStringLiteral("stand-in-%1").arg(++connections);
        managerBus_ = QDBusConnection::connectToBus(bus->Address(), connectionName_);
        ASSERT_TRUE(managerBus_.isConnected());
        ASSERT_TRUE(managerBus_.registerObject(kPath, &manager, QDBusConnection::ExportScriptableSlots));
    }
    void TearDown() override
    {
        if (connectionName_.isEmpty())
            return;
        managerBus_.unregisterService(kService);
        managerBus_.unregisterObject(kPath);
        QDBusConnection::disconnectFromBus(connectionName_);
    }

    void StartManager() { ASSERT_TRUE(managerBus_.registerService(kService)); }

    // Once this returns, every Inhibit the inhibitor sent before has reached the stand-in.
    void SyncWithManager()
    {
        const QDBusPendingCall sync = QDBusConnection::systemBus().asyncCall(
            QDBusMessage::createMethodCall(kService, kPath, QStringLiteral("org.freedesktop.login1.Manager"),
                                           QStringLiteral("Sync")));
        ASSERT_TRUE(RunEventsUntil([&] { return sync.isFinished(); }));
        ASSERT_FALSE(sync.isError()) << sync.error().message().toStdString();
    }

    StandInLoginManager manager;
    QString connectionName_;
    QDBusConnection managerBus_{QString()};
};

TEST_F(LogindSleepInhibitorTest, LockIsHeldFromHoldToReleaseAndClosedWithTheInhibitor)
{
    StartManager();
    auto inhibitor = std::make_unique<LogindSleepInhibitor>();

    inhibitor->Hold();
    inhibitor->Hold();
    EXPECT_TRUE(inhibitor->IsHeld());
    ASSERT_TRUE(RunEventsUntil([&] { return inhibitor->HoldsLock(); }));
    SyncWithManager();
    const QStringList expected{"sleep:idle", "Hauntwatch", "Guarding the house: noises are scheduled", "block"};
    EXPECT_THAT(manager.requests, ::testing::ElementsAre(expected));
    EXPECT_EQ(manager.OpenLocks(), 1);

    inhibitor->Release();
    EXPECT_FALSE(inhibitor->IsHeld());
    EXPECT_FALSE(inhibitor->HoldsLock());
    EXPECT_TRUE(RunEventsUntil([&] { return manager.OpenLocks() == 0; }));
    inhibitor->Release();

    // The next guard period asks again; the end of the program lets go.
    inhibitor->Hold();
    ASSERT_TRUE(RunEventsUntil([&] { return inhibitor->HoldsLock(); }));
    EXPECT_EQ(manager.requests.size(), 2u);
    EXPECT_EQ(manager.OpenLocks(), 1);
    inhibitor.reset();
    EXPECT_TRUE(RunEventsUntil([&] { return manager.OpenLocks() == 0; }));
}

TEST_F(LogindSleepInhibitorTest, LockArrivingAfterReleaseIsClosed)
{
    manager.holdReplies = true;
    StartManager();
    LogindSleepInhibitor inhibitor;

    inhibitor.Hold();
    EXPECT_TRUE(inhibitor.AwaitsReply());
    ASSERT_TRUE(RunEventsUntil([&] { return manager.requests.size() == 1; }));
    inhibitor.Release();
    manager.SendHeldReplies();

    ASSERT_TRUE(RunEventsUntil([&] { return !inhibitor.AwaitsReply(); }));
    EXPECT_FALSE(inhibitor.HoldsLock());
    EXPECT_TRUE(RunEventsUntil([&] { return manager.OpenLocks() == 0; }));
}

TEST_F(LogindSleepInhibitorTest, HoldAgainBeforeTheReplyEndsWithOneLock)
{
    manager.holdReplies = true;
    StartManager();
    LogindSleepInhibitor inhibitor;

    inhibitor.Hold();
    ASSERT_TRUE(RunEventsUntil([&] { return manager.requests.size() == 1; }));
    inhibitor.Release();
    inhibitor.Hold();
    manager.SendHeldReplies();

    ASSERT_TRUE(RunEventsUntil([&] { return inhibitor.HoldsLock(); }));
    SyncWithManager();
    EXPECT_EQ(manager.requests.size(), 1u);
    EXPECT_EQ(manager.OpenLocks(), 1);

    inhibitor.Release();
    EXPECT_TRUE(RunEventsUntil([&] { return manager.OpenLocks() == 0; }));
}

TEST_F(LogindSleepInhibitorTest, WithoutLoginManagerWarnsOnceAndHoldReturnsAtOnce)
{
    LogindSleepInhibitor inhibitor;

    ::testing::internal::CaptureStderr();
    inhibitor.Hold();
    // Nothing is known yet: Hold did not wait for the bus's answer.
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(inhibitor.IsHeld());
    EXPECT_TRUE(inhibitor.AwaitsReply());

    ::testing::internal::CaptureStderr();
    const bool answered = RunEventsUntil([&] { return !inhibitor.AwaitsReply(); });
    inhibitor.Release();
    inhibitor.Hold();
    const bool answeredAgain = RunEventsUntil([&] { return !inhibitor.AwaitsReply(); });
    const std::string warnings = ::testing::internal::GetCapturedStderr();

    ASSERT_TRUE(answered && answeredAgain);
    EXPECT_TRUE(inhibitor.IsHeld());
    EXPECT_FALSE(inhibitor.HoldsLock());
    EXPECT_EQ(std::count(warnings.begin(), warnings.end(), '\n'), 1) << warnings;
    EXPECT_THAT(warnings, ::testing::HasSubstr("org.freedesktop.DBus.Error.ServiceUnknown"));
    inhibitor.Release();
}

}  // namespace
