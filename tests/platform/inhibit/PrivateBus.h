#pragma once
// A message bus of the test's own: dbus-daemon on a socket in a fresh folder,
// with a configuration that allows everything.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QString>
#include <QTimer>
#include <functional>

#include "TempFolder.h"

class PrivateBus {
public:
    PrivateBus()
    {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        installed_ = !daemon.isEmpty();
        if (!installed_)
            return;
        const QString config = QString::fromStdString(folder_ / "bus.conf");
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly))
            return;
        file.write(QStringLiteral("<busconfig>\n"
                                  "  <listen>unix:path=%1</listen>\n"
                                  "  <auth>EXTERNAL</auth>\n"
                                  "  <policy context=\"default\">\n"
                                  "    <allow user=\"*\"/>\n"
                                  "    <allow own=\"*\"/>\n"
                                  "    <allow send_destination=\"*\"/>\n"
                                  "    <allow receive_sender=\"*\"/>\n"
                                  "  </policy>\n"
                                  "</busconfig>\n")
                       .arg(QString::fromStdString(folder_ / "socket"))
                       .toUtf8());
        file.close();
        daemon_.start(daemon, {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                               QStringLiteral("--nopidfile"), QStringLiteral("--print-address")});
        QByteArray printed;
        while (!printed.contains('\n') && daemon_.waitForReadyRead(10000))
            printed += daemon_.readAllStandardOutput();
        address_ = QString::fromUtf8(printed).trimmed();
    }
    ~PrivateBus()
    {
        daemon_.terminate();
        if (!daemon_.waitForFinished(10000))
            daemon_.kill();
    }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool Installed() const { return installed_; }
    // Empty when the daemon did not start.
    const QString& Address() const { return address_; }

private:
    TempFolder folder_;
    QProcess daemon_;
    bool installed_ = false;
    QString address_;
};

// Runs the event loop until `done`, for ten seconds at most.
inline bool RunEventsUntil(const std::function<bool()>& done)
{
    const QDeadlineTimer deadline(10000);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

inline constexpr char kSystemBusAddress[] = "DBUS_SYSTEM_BUS_ADDRESS";
inline constexpr char kSessionBusAddress[] = "DBUS_SESSION_BUS_ADDRESS";

// A suite on one private bus, standing in for the system's or the session's
// (`Variable`): set before anything in the process connects to that bus.  A
// test without dbus-daemon is skipped; derived set-ups return when skipped.
template <const char* Variable>
class PrivateBusSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        bus = new PrivateBus;
        if (!bus->Address().isEmpty())
            qputenv(Variable, bus->Address().toUtf8());
    }
    static void TearDownTestSuite()
    {
        delete bus;
        bus = nullptr;
    }
    void SetUp() override
    {
        if (!bus->Installed())
            GTEST_SKIP() << "dbus-daemon is not installed";
        ASSERT_FALSE(bus->Address().isEmpty()) << "dbus-daemon did not start";
    }

    static inline PrivateBus* bus = nullptr;
};
