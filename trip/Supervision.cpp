#include "Supervision.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <systemd/sd-daemon.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace trip {

ServiceManagerLink TakeServiceManagerLink()
{
    ServiceManagerLink link;
    if (const char* socket = std::getenv("NOTIFY_SOCKET"))
        link.socket = socket;
    ::unsetenv("NOTIFY_SOCKET");
    // libsystemd's reading: only a period meant for this process counts; it
    // removes WATCHDOG_USEC and WATCHDOG_PID as it reads them.
    std::uint64_t usec = 0;
    if (sd_watchdog_enabled(1, &usec) > 0)
        link.watchdog = std::chrono::microseconds(usec);
    return link;
}

// libsystemd's sd_notify finds the socket in the environment at every call,
// and the environment no longer holds it: the datagrams are sent here, to
// the address read at start, in the protocol's own form.
Supervision::Supervision(ServiceManagerLink link) : watchdog_(link.watchdog)
{
    const std::string& socket = link.socket;
    // A path, or "@name" for an abstract socket; nothing else is the manager's.
    if (socket.empty() || (socket[0] != '/' && socket[0] != '@') || socket.size() >= sizeof(sockaddr_un::sun_path))
        return;
    fd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    address_ = socket;
    if (address_[0] == '@')
        address_[0] = '\0';
    if (fd_ < 0 || watchdog_.count() <= 0)
        return;
    heartbeat_.setTimerType(Qt::PreciseTimer);
    heartbeat_.setInterval(BeatSpacing());
    connect(&heartbeat_, &QTimer::timeout, this, &Supervision::Alive);
    heartbeat_.start();
}

Supervision::~Supervision()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::chrono::milliseconds Supervision::BeatSpacing() const
{
    return std::max(std::chrono::milliseconds(1), std::chrono::duration_cast<std::chrono::milliseconds>(watchdog_ / 4));
}

void Supervision::Ready()
{
    Send("READY=1");
}

void Supervision::Stopping()
{
    heartbeat_.stop();
    Send("STOPPING=1");
}

void Supervision::Alive()
{
    if (watchdog_.count() <= 0)
        return;
    // Half the spacing: the timer's own beat, a hair early, still goes.
    const auto now = std::chrono::steady_clock::now();
    if (now - lastBeat_ < BeatSpacing() / 2)
        return;
    lastBeat_ = now;
    Send("WATCHDOG=1");
}

void Supervision::Send(const std::string& message)
{
    if (fd_ < 0)
        return;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, address_.data(), address_.size());
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + address_.size());
    // A manager that has gone cannot be told; the program goes on.
    ::sendto(fd_, message.data(), message.size(), MSG_NOSIGNAL | MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&address),
             length);
}

}  // namespace trip
