#include "SoundCheck.h"

#include <utility>

#include "Audibility.h"
#include "Messenger.h"
#include "OutputChoice.h"
#include "SoundServerWatcher.h"

namespace sound {

SoundCheck::SoundCheck(SoundServerWatcher& watcher, const OutputChoice& choice, GuardAccess& guard)
    : watcher_(watcher), choice_(choice), guard_(guard)
{
    connect(&watcher_, &SoundServerWatcher::Changed, this, &SoundCheck::OnServerChanged);
}

void SoundCheck::GuardStarted(CTime at, GuardStartOrigin origin)
{
    // A new guard: what an earlier one waited for is no longer its business.
    waiting_.clear();
    unheardTold_ = false;
    Ask(Check{at, origin == GuardStartOrigin::Person});
}

void SoundCheck::GuardStopped(CTime /*at*/)
{
    waiting_.clear();
}

void SoundCheck::PassWillPlay(CTime at, bool soundOrMovie)
{
    unheardTold_ = false;
    if (soundOrMovie)
        Ask(Check{at, false});
}

void SoundCheck::StreamHeard(const StreamMemory& seen)
{
    watcher_.NoteOwnStream(seen);
    if (unheardTold_ || watcher_.View().state != SoundServerView::State::Known || !guard_.Snapshot().on)
        return;
    const Audibility audibility = Judge(watcher_.View(), choice_.Chosen(), seen);
    // The output's own faults were judged before the pass; a fallback is
    // told there too.
    if (audibility.unheard)
        Report(Check{CTime::GetCurrentTime(), false}, Audibility{std::nullopt, audibility.unheard});
}

// The start and the pass are the window thread's and never wait on the
// server: what the watcher knows is used at once; while it is still asking
// (the program has just started, or a server came back), the check runs when
// the answer comes, bounded by the watcher's own patience; where no server
// answers, nothing is claimed.
void SoundCheck::Ask(Check check)
{
    if (watcher_.View().state == SoundServerView::State::NoServer)
        watcher_.Nudge();
    switch (watcher_.View().state) {
    case SoundServerView::State::NoServer:
        return;
    case SoundServerView::State::Settling:
        waiting_.push_back(check);
        return;
    case SoundServerView::State::Known:
        Run(check);
        return;
    }
}

void SoundCheck::OnServerChanged()
{
    switch (watcher_.View().state) {
    case SoundServerView::State::Settling:
        return;
    case SoundServerView::State::NoServer:
        waiting_.clear();
        return;
    case SoundServerView::State::Known: {
        const std::vector<Check> checks = std::move(waiting_);
        waiting_.clear();
        for (const Check& check : checks)
            Run(check);
        return;
    }
    }
}

void SoundCheck::Run(const Check& check)
{
    Report(check, Judge(watcher_.View(), choice_.Chosen()));
}

void SoundCheck::Report(const Check& check, const Audibility& audibility)
{
    if (audibility.fallback)
        guard_.AppendProblem(FallbackLine(check.at, *audibility.fallback));
    if (audibility.unheard && !std::exchange(unheardTold_, true)) {
        guard_.AppendProblem(UnheardLine(check.at, *audibility.unheard));
        if (unheardSink_)
            unheardSink_(UnheardNote{check.at, audibility.unheard->ReasonText(), audibility.unheard->output});
    }
    if (findingSink_)
        findingSink_(audibility.unheard.has_value());
    // Nobody is there to read it on a resumed or remote start.
    if (check.byPerson) {
        const std::string advice = Advice(audibility);
        if (!advice.empty())
            platform::InstalledMessenger().ShowWithoutWaiting(advice);
    }
}

}  // namespace sound
