#include "StandInLoginManager.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

StandInLoginManager::~StandInLoginManager()
{
    for (int readEnd : readEnds_)
        ::close(readEnd);
}

QDBusUnixFileDescriptor StandInLoginManager::Inhibit(const QString& what, const QString& who, const QString& why,
                                                     const QString& mode)
{
    requests.push_back({what, who, why, mode});
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return {};
    readEnds_.push_back(ends[0]);
    const QDBusUnixFileDescriptor lock(ends[1]);  // a copy of its own
    ::close(ends[1]);
    if (!holdReplies)
        return lock;
    setDelayedReply(true);
    replyBus_ = connection();
    heldReplies_.emplace_back(message(), lock);
    return {};
}

void StandInLoginManager::SendHeldReplies()
{
    for (const auto& [request, lock] : heldReplies_)
        replyBus_.send(request.createReply(QVariant::fromValue(lock)));
    heldReplies_.clear();
}

int StandInLoginManager::OpenLocks() const
{
    int open = 0;
    for (int readEnd : readEnds_) {
        pollfd end{readEnd, POLLIN, 0};
        if (::poll(&end, 1, 0) == 0 || !(end.revents & POLLHUP))
            ++open;
    }
    return open;
}
