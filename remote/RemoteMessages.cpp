#include "RemoteMessages.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

#include "CommandInbox.h"

namespace remote {

namespace {

std::string Compact(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

}  // namespace

Topics::Topics(const std::string& deviceId)
    : base("hauntwatch/" + deviceId),
      availability(base + "/availability"),
      guard(base + "/guard"),
      guardSet(base + "/guard/set"),
      play(base + "/play"),
      lastPlay(base + "/last_play"),
      problems(base + "/problems"),
      next(base + "/next"),
      unheard(base + "/unheard"),
      away(base + "/away")
{
}

namespace {

std::string Node(const std::string& deviceId)
{
    return "hauntwatch_" + deviceId;
}

// One entity of the device: its component, object, name and own fields.
// The entity id Home Assistant gives it is asked for as `default_entity_id`
// (domain.slug); before 2025.10 it named the entity from its name instead.
Message Entity(const std::string& deviceId, const QString& deviceName, const QString& version, const std::string& component,
               const std::string& object, const QString& name, QJsonObject fields)
{
    const Topics topics(deviceId);
    const std::string node = Node(deviceId);
    const QJsonObject device{
        {QStringLiteral("identifiers"), QJsonArray{Q(node)}},
        {QStringLiteral("name"), deviceName},
        {QStringLiteral("manufacturer"), QStringLiteral("Hauntwatch")},
        {QStringLiteral("model"), QStringLiteral("Hauntwatch")},
        {QStringLiteral("sw_version"), version},
    };
    fields.insert(QStringLiteral("name"), name);
    fields.insert(QStringLiteral("unique_id"), Q(node + "_" + object));
    fields.insert(QStringLiteral("default_entity_id"), Q(component + "." + node + "_" + object));
    fields.insert(QStringLiteral("availability_topic"), Q(topics.availability));
    fields.insert(QStringLiteral("payload_available"), QString::fromLatin1(kOnline));
    fields.insert(QStringLiteral("payload_not_available"), QString::fromLatin1(kOffline));
    fields.insert(QStringLiteral("device"), device);
    return Message{"homeassistant/" + component + "/" + node + "/" + object + "/config", Compact(fields)};
}

}  // namespace

std::vector<Message> DiscoveryConfigs(const std::string& deviceId, const QString& deviceName, const QString& version,
                                      bool details)
{
    const Topics topics(deviceId);
    auto entity = [&](const char* component, const char* object, const char* name, QJsonObject fields) {
        return Entity(deviceId, deviceName, version, component, object, QString::fromUtf8(name), std::move(fields));
    };
    return {
        entity("switch", "guard", "Guard",
               {{QStringLiteral("state_topic"), Q(topics.guard)},
                {QStringLiteral("command_topic"), Q(topics.guardSet)},
                {QStringLiteral("payload_on"), QString::fromLatin1(kOn)},
                {QStringLiteral("payload_off"), QString::fromLatin1(kOff)},
                {QStringLiteral("state_on"), QString::fromLatin1(kOn)},
                {QStringLiteral("state_off"), QString::fromLatin1(kOff)},
                {QStringLiteral("icon"), QStringLiteral("mdi:ghost")}}),
        // The state is what happened to what; every field is an attribute.
        entity("sensor", "last_play", "Last play",
               {{QStringLiteral("state_topic"), Q(topics.lastPlay)},
                {QStringLiteral("value_template"),
                 // At most 255 characters, Home Assistant's limit for a state:
                 // no leeway, the "..." counted in.
                 details ? QStringLiteral("{{ (value_json.result ~ ' ' ~ (value_json.name or value_json.path)) | truncate(255, true, '...', 0) }}")
                         : QStringLiteral("{{ (value_json.result ~ ' ' ~ (value_json.name or 'a noise')) | truncate(255, true, '...', 0) }}")},
                {QStringLiteral("json_attributes_topic"), Q(topics.lastPlay)},
                {QStringLiteral("icon"), QStringLiteral("mdi:volume-high")}}),
        entity("sensor", "problems", "Problems",
               {{QStringLiteral("state_topic"), Q(topics.problems)},
                {QStringLiteral("state_class"), QStringLiteral("measurement")},
                {QStringLiteral("icon"), QStringLiteral("mdi:alert-circle-outline")}}),
        entity("sensor", "next", "Next wake-up",
               {{QStringLiteral("state_topic"), Q(topics.next)},
                {QStringLiteral("device_class"), QStringLiteral("timestamp")}}),
        entity("binary_sensor", "unheard", "Nobody can hear Mervo",
               {{QStringLiteral("state_topic"), Q(topics.unheard)},
                {QStringLiteral("device_class"), QStringLiteral("problem")},
                {QStringLiteral("payload_on"), QString::fromLatin1(kOn)},
                {QStringLiteral("payload_off"), QString::fromLatin1(kOff)}}),
    };
}

std::string ButtonId(const std::string& noiseName)
{
    return "play_" + QCryptographicHash::hash(QByteArray::fromStdString(noiseName), QCryptographicHash::Sha256)
                         .toHex()
                         .left(12)
                         .toStdString();
}

std::string ButtonConfigTopic(const std::string& deviceId, const std::string& buttonId)
{
    return "homeassistant/button/" + Node(deviceId) + "/" + buttonId + "/config";
}

Message ButtonConfig(const std::string& deviceId, const QString& deviceName, const QString& version,
                     const std::string& noiseName)
{
    // Names are the system's 8-bit text, as file names are.
    const QString name = QFile::decodeName(QByteArray::fromStdString(noiseName));
    return Entity(deviceId, deviceName, version, "button", ButtonId(noiseName), QStringLiteral("Play ") + name,
                  {{QStringLiteral("command_topic"), Q(Topics(deviceId).play)},
                   {QStringLiteral("payload_press"), name},
                   {QStringLiteral("icon"), QStringLiteral("mdi:play")}});
}

std::vector<std::string> LibraryNames(const NoiseLibrary& library)
{
    std::vector<std::string> names;
    for (int i = 0; i < library.noiseCount && i < kMaxNoises; ++i) {
        const std::string name = library.noises[i].name.str();
        // Home Assistant sends back the text of payload_press: a name that is
        // not UTF-8 would come back as other bytes, and one longer than a
        // play can be would be dropped.  Such a button could never work.
        const bool pressable = name.size() <= CommandInbox::kLongestNoiseName &&
                               QFile::encodeName(QFile::decodeName(QByteArray::fromStdString(name))).toStdString() == name;
        if (!name.empty() && pressable && std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    }
    return names;
}

std::string IsoTime(std::int64_t secondsSinceEpoch)
{
    const QDateTime local = QDateTime::fromSecsSinceEpoch(secondsSinceEpoch);
    // As an offset from UTC, so that the text carries it.
    return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODate).toStdString();
}

const char* FailureReason(platform::PlayFailure failure)
{
    switch (failure) {
    case platform::PlayFailure::None:
        return "";
    case platform::PlayFailure::FileMissing:
        return "file missing";
    case platform::PlayFailure::NoSoundOutput:
        return "no sound output";
    case platform::PlayFailure::CannotDecode:
        return "cannot be decoded";
    case platform::PlayFailure::NoDisplay:
        return "no display";
    case platform::PlayFailure::TimedOut:
        return "timed out";
    case platform::PlayFailure::StarterFailed:
        return "starter failed";
    case platform::PlayFailure::NoTakes:
        return "no takes";
    }
    return "";
}

std::string AwayPayload(std::optional<std::pair<std::int64_t, std::int64_t>> span, bool details)
{
    if (!details)
        return span ? kOn : kOff;
    if (!span)
        return {};
    return Compact(QJsonObject{{QStringLiteral("from"), Q(IsoTime(span->first))}, {QStringLiteral("until"), Q(IsoTime(span->second))}});
}

std::string LastPlayJson(const PlayReport& report, const std::string& name, bool details)
{
    const char* result = report.outcome == PlayOutcome::Played    ? "played"
                         : report.outcome == PlayOutcome::Started ? "started"
                                                                  : "failed";
    // Names and paths are the system's 8-bit text, as file names are.
    QJsonObject json{
        {QStringLiteral("time"), Q(IsoTime(report.at.GetTime()))},
        {QStringLiteral("name"), QFile::decodeName(QByteArray::fromStdString(name))},
        {QStringLiteral("result"), QString::fromLatin1(result)},
        {QStringLiteral("reason"), QString::fromLatin1(FailureReason(report.failure))},
    };
    if (details)
        json.insert(QStringLiteral("path"), QFile::decodeName(QByteArray::fromStdString(report.path.str())));
    return Compact(json);
}

}  // namespace remote
