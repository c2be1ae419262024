#include "CommandInbox.h"

#include <algorithm>
#include <cstdio>

#include "RemoteMessages.h"

namespace remote {

std::string CommandInbox::Printable(std::string_view payload, std::size_t longest)
{
    std::string text;
    for (const char c : payload.substr(0, longest)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f && byte != '\\') {
            text += c;
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            text += escaped;
        }
    }
    if (payload.size() > longest)
        text += "...";
    return text;
}

bool CommandInbox::CountLocked(std::string text)
{
    setAside_.last = std::move(text);
    if (setAside_.count++ > 0)
        return false;
    setAside_.since = std::time(nullptr);
    return true;
}

bool CommandInbox::WakeLocked()
{
    return !std::exchange(told_, true);
}

bool CommandInbox::OfferGuard(const char* payload, std::size_t length, bool retained)
{
    std::lock_guard lock(mutex_);
    // Longer than ON or OFF can be: not even copied.
    if (length > kLongestGuardCommand) {
        // The window's thread need only hear of the first: it then writes
        // the summary at the end of the minute.
        return CountLocked("a command of " + std::to_string(length) + " bytes") && WakeLocked();
    }
    const std::string_view text(payload, length);
    if (retained || (text != kOn && text != kOff)) {
        return CountLocked((retained ? "retained \"" : "\"") + Printable(text) + "\"") && WakeLocked();
    }
    // Only the newest guard command waiting counts: a flood ends in the
    // state its last command asked for.
    const auto older = std::find_if(waiting_.begin(), waiting_.end(),
                                    [](const Command& c) { return c.kind == Command::Kind::Guard; });
    if (older != waiting_.end()) {
        CountLocked("\"" + older->payload + "\", overtaken by a later one");
        waiting_.erase(older);
    }
    waiting_.push_back({Command::Kind::Guard, std::string(text)});
    return WakeLocked();
}

bool CommandInbox::OfferPlay(const char* payload, std::size_t length, bool retained)
{
    std::lock_guard lock(mutex_);
    if (length > kLongestNoiseName) {
        return CountLocked("a play of " + std::to_string(length) + " bytes") && WakeLocked();
    }
    const std::string_view name(payload, length);
    const auto plays = std::count_if(waiting_.begin(), waiting_.end(),
                                     [](const Command& c) { return c.kind == Command::Kind::Play; });
    if (retained || static_cast<std::size_t>(plays) >= kMostWaitingPlays) {
        return CountLocked((retained ? "retained play \"" : "play \"") + Printable(name) + "\"") && WakeLocked();
    }
    // The library looks names up as C strings: "Door\0junk" would play Door.
    if (name.find('\0') != std::string_view::npos) {
        return CountLocked("play \"" + Printable(name) + "\", no such noise") && WakeLocked();
    }
    waiting_.push_back({Command::Kind::Play, std::string(name)});
    return WakeLocked();
}

std::optional<CommandInbox::Command> CommandInbox::Take()
{
    std::lock_guard lock(mutex_);
    if (waiting_.empty()) {
        // Looked and found nothing: the next offer tells again.
        told_ = false;
        return std::nullopt;
    }
    Command command = std::move(waiting_.front());
    waiting_.pop_front();
    return command;
}

void CommandInbox::SetAside(std::string_view payload)
{
    std::lock_guard lock(mutex_);
    CountLocked("play \"" + Printable(payload) + "\", no such noise");
}

void CommandInbox::Abandon()
{
    std::lock_guard lock(mutex_);
    for (const Command& command : waiting_) {
        CountLocked((command.kind == Command::Kind::Play ? "play \"" : "\"") + Printable(command.payload) +
                    "\", still waiting at exit");
    }
    waiting_.clear();
}

std::optional<CommandInbox::Summary> CommandInbox::TakeSummary()
{
    std::lock_guard lock(mutex_);
    if (setAside_.count == 0)
        return std::nullopt;
    return std::exchange(setAside_, Summary{});
}

bool CommandInbox::SomethingSetAside() const
{
    std::lock_guard lock(mutex_);
    return setAside_.count > 0;
}

}  // namespace remote
