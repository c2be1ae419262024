#pragma once
// The engine tells one listener; the program has several.
#include <vector>

#include "GuardEvents.h"

class GuardEventsFanout final : public GuardEvents {
public:
    void Add(GuardEvents* listener) { listeners_.push_back(listener); }

    void GuardStarted(CTime at, GuardStartOrigin origin) override
    {
        for (GuardEvents* l : listeners_)
            l->GuardStarted(at, origin);
    }
    void GuardStopped(CTime at) override
    {
        for (GuardEvents* l : listeners_)
            l->GuardStopped(at);
    }
    void PassWillPlay(CTime at, bool soundOrMovie) override
    {
        for (GuardEvents* l : listeners_)
            l->PassWillPlay(at, soundOrMovie);
    }
    void Played(const PlayReport& report) override
    {
        for (GuardEvents* l : listeners_)
            l->Played(report);
    }
    void QuietHold(CTime until, CTime at) override
    {
        for (GuardEvents* l : listeners_)
            l->QuietHold(until, at);
    }
    void WakeUpArmed(CTime wake) override
    {
        for (GuardEvents* l : listeners_)
            l->WakeUpArmed(wake);
    }
    void TimerFailed(CTime at) override
    {
        for (GuardEvents* l : listeners_)
            l->TimerFailed(at);
    }
    void LibraryChanged() override
    {
        for (GuardEvents* l : listeners_)
            l->LibraryChanged();
    }
    void ScheduleChanged() override
    {
        for (GuardEvents* l : listeners_)
            l->ScheduleChanged();
    }
    void ExtrasRead(const std::vector<std::string>& problems) override
    {
        for (GuardEvents* l : listeners_)
            l->ExtrasRead(problems);
    }

private:
    std::vector<GuardEvents*> listeners_;
};
