#pragma once
// What one Hauntwatch says on the broker: its topics, the Home Assistant
// discovery configurations and the payloads of its state.
#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "GuardEvents.h"

namespace remote {

// hauntwatch/ID/...
struct Topics {
    explicit Topics(const std::string& deviceId);
    std::string base;          // hauntwatch/ID
    std::string availability;  // online / offline
    std::string guard;         // ON / OFF
    std::string guardSet;      // commands
    std::string play;          // a noise's name: play it once
    std::string lastPlay;      // JSON
    std::string problems;      // a count
    std::string next;          // ISO time, or None
    std::string unheard;       // ON / OFF
    std::string away;          // JSON {"from", "until"}, or empty
};

// Home Assistant says "online" here when it (re)starts.
inline constexpr char kHomeAssistantStatus[] = "homeassistant/status";
inline constexpr char kOnline[] = "online";
inline constexpr char kOffline[] = "offline";
inline constexpr char kOn[] = "ON";
inline constexpr char kOff[] = "OFF";
// Home Assistant's MQTT sensors take this payload as "no value"; an empty
// retained message would delete the topic instead.
inline constexpr char kNoValue[] = "None";

struct Message {
    std::string topic;
    std::string payload;
};

// The switch, the three sensors and the binary sensor, each under
// homeassistant/<component>/hauntwatch_ID/<object>/config, sharing one device.
// `details`: the last play names its file when its noise has no name.
std::vector<Message> DiscoveryConfigs(const std::string& deviceId, const QString& deviceName, const QString& version,
                                      bool details);

// One noise of the library as a button ("Play Dog barking") that sends its
// name to the play topic.  Its id, in the topic and the unique id, comes
// from a hash of the name's bytes.
std::string ButtonId(const std::string& noiseName);
std::string ButtonConfigTopic(const std::string& deviceId, const std::string& buttonId);
Message ButtonConfig(const std::string& deviceId, const QString& deviceName, const QString& version,
                     const std::string& noiseName);
// The distinct names of the library, each once, that a button can send back.
std::vector<std::string> LibraryNames(const NoiseLibrary& library);

// Local time with its offset, 2026-12-07T23:30:00+01:00.
std::string IsoTime(std::int64_t secondsSinceEpoch);

// The diary's words for why a play failed ("file missing", ...); empty for None.
const char* FailureReason(platform::PlayFailure failure);

// Whoever may read the broker learns from the away dates how long the house
// stays empty, and from paths whose house it is: only with `details` are
// they said.  With: {"from", "until"}, local ISO times, or empty (the topic
// then leaves the broker) when no span is set; without: ON or OFF.
std::string AwayPayload(std::optional<std::pair<std::int64_t, std::int64_t>> span, bool details);

// {"time", "name", "path", "result": played|started|failed, "reason"}, the
// path only with `details`.
std::string LastPlayJson(const PlayReport& report, const std::string& name, bool details);

}  // namespace remote
