// The screen inhibitor against a private session bus, with GNOME's session
// manager and the freedesktop screen saver stood in for by the test.
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "PrivateBus.h"
#include "ScreenInhibitor.h"

namespace {

struct Hold {
    QString application;
    uint flags;
    QString sender;
};

class StandInSessionManager : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.SessionManager")
public:
    std::vector<Hold> holds;
public Q_SLOTS:
    Q_SCRIPTABLE uint Inhibit(const QString& application, uint, const QString&, uint flags)
    {
        holds.push_back({application, flags, message().service()});
        return 1;
    }
};

class StandInScreenSaver : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    std::vector<Hold> holds;
public Q_SLOTS:
    Q_SCRIPTABLE uint Inhibit(const QString& application, const QString&)
    {
        holds.push_back({application, 0, message().service()});
        return 1;
    }
};

class ScreenInhibitorTest : public PrivateBusSuite<kSessionBusAddress> {
protected:
    void TearDown() override { QDBusConnection::disconnectFromBus(QStringLiteral("stand-ins")); }

    template <class StandIn>
    void Register(StandIn& standIn, const char* service, const char* path)
    {
        ASSERT_TRUE(services.registerService(QString::fromLatin1(service)));
        ASSERT_TRUE(services.registerObject(QString::fromLatin1(path), &standIn, QDBusConnection::ExportScriptableSlots));
    }

    bool Connected(const QString& sender) const { return services.interface()->isServiceRegistered(sender); }

    QDBusConnection services = QDBusConnection::connectToBus(bus->Address(), QStringLiteral("stand-ins"));
    std::vector<std::string> refusals;
    platform::SessionScreenInhibitor inhibitor{[this](const std::string& why) { refusals.push_back(why); }};
};

// GNOME's session manager first, else the screen saver, else one refusal.
// A crash must let go too: only the connection of its own holds it.
TEST_F(ScreenInhibitorTest, GnomeThenTheScreenSaverThenOneRefusalEachOnAConnectionOfItsOwn)
{
    {
        StandInSessionManager gnome;
        Register(gnome, "org.gnome.SessionManager", "/org/gnome/SessionManager");
        inhibitor.Hold();
        ASSERT_TRUE(RunEventsUntil([&] { return inhibitor.Holder() == "GNOME"; }));
        ASSERT_EQ(gnome.holds.size(), 1u);
        EXPECT_EQ(gnome.holds[0].application, QStringLiteral("hauntwatch"));
        EXPECT_EQ(gnome.holds[0].flags, 4u | 8u) << "suspend and idle";
        EXPECT_NE(gnome.holds[0].sender, QDBusConnection::sessionBus().baseService());
        EXPECT_TRUE(Connected(gnome.holds[0].sender));
        inhibitor.Hold();
        inhibitor.Release();
        EXPECT_TRUE(RunEventsUntil([&] { return !Connected(gnome.holds[0].sender); }));
        EXPECT_EQ(gnome.holds.size(), 1u);
        services.unregisterService(QStringLiteral("org.gnome.SessionManager"));
    }
    {
        StandInScreenSaver saver;
        Register(saver, "org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver");
        inhibitor.Hold();
        ASSERT_TRUE(RunEventsUntil([&] { return inhibitor.Holder() == "screen saver"; }));
        ASSERT_EQ(saver.holds.size(), 1u);
        EXPECT_EQ(saver.holds[0].application, QStringLiteral("Hauntwatch"));
        inhibitor.Release();
        services.unregisterService(QStringLiteral("org.freedesktop.ScreenSaver"));
    }
    EXPECT_TRUE(refusals.empty());
    inhibitor.Hold();
    ASSERT_TRUE(RunEventsUntil([&] { return !refusals.empty(); }));
    EXPECT_NE(refusals[0].find("neither GNOME's session manager nor a screen saver service"), std::string::npos)
        << refusals[0];
    EXPECT_EQ(inhibitor.Holder(), "");
}

}  // namespace

#include "ScreenInhibitorTest.moc"
