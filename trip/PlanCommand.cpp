#include "PlanCommand.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>

#include "AwaySpan.h"
#include "CQwendrikDoc.h"
#include "DiaryFormat.h"
#include "DiaryWords.h"
#include "GuardSettings.h"
#include "HomeFolder.h"
#include "MediaLengths.h"
#include "Messenger.h"
#include "Random.h"

namespace trip {

namespace {

// The load's own messages, kept instead of shown.
class KeptMessages final : public platform::Messenger {
public:
    KeptMessages() : previous_(&platform::InstalledMessenger()) { platform::InstallMessenger(this); }
    ~KeptMessages() override { platform::InstallMessenger(previous_); }
    KeptMessages(const KeptMessages&) = delete;
    KeptMessages& operator=(const KeptMessages&) = delete;

    void ShowMessage(const std::string& text) override { failures.push_back(text); }
    void ShowNote(const std::string& text) override { notes.push_back(text); }
    void ShowWithoutWaiting(const std::string& text) override { failures.push_back(text); }

    std::vector<std::string> failures;
    std::vector<std::string> notes;

private:
    platform::Messenger* previous_;
};

std::string OneLine(std::string text)
{
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    return text;
}

}  // namespace

std::optional<CTimeSpan> ParsePlanDuration(std::string_view text, std::string* error)
{
    const auto bad = [&](const std::string& why) {
        *error = "bad duration \"" + std::string(text) + "\": " + why;
        return std::nullopt;
    };
    if (text.size() < 2)
        return bad("give a whole number and a unit, such as 90m, 12h or 3d");
    std::int64_t count = 0;
    const std::string_view digits = text.substr(0, text.size() - 1);
    const auto [stop, status] = std::from_chars(digits.data(), digits.data() + digits.size(), count);
    if (status != std::errc() || stop != digits.data() + digits.size() || digits.front() == '+' || digits.front() == '-')
        return bad("give a whole number and a unit, such as 90m, 12h or 3d");
    std::int64_t unit = 0;
    switch (text.back()) {
    case 'm': unit = 60; break;
    case 'h': unit = 3600; break;
    case 'd': unit = 86400; break;
    default: return bad("the unit is m (minutes), h (hours) or d (days)");
    }
    if (count <= 0)
        return bad("a plan covers at least one minute");
    if (count > kLongestPlanSeconds / unit)
        return bad("a plan covers at most 14 days (14d)");
    return CTimeSpan(count * unit);
}

std::string FormatPlanLine(const PlanEvent& event)
{
    if (event.kind == PlanEvent::Kind::QuietHold)
        return JoinFields({IsoLocalTime(event.at), words::kQuietUntil, IsoLocalTime(event.until)});
    std::vector<std::string> fields{IsoLocalTime(event.at), "play", event.noiseName.str(),
                                    std::to_string(event.repeatCount), event.path.str()};
    if (!event.excerpt.empty())
        fields.push_back(event.excerpt);
    if (event.continuously)
        fields.emplace_back("continuously");
    return JoinFields(fields);
}

int RunPlanCommand(std::string_view duration, std::ostream& out, std::ostream& err, const std::string& cacheFile)
{
    std::string error;
    const std::optional<CTimeSpan> span = ParsePlanDuration(duration, &error);
    if (!span) {
        err << "hauntwatch: " << error << '\n';
        return 2;
    }
    {
        // What a start does before the guard can be turned on: the random
        // source seeded as the view's initial update seeds it, then the load.
        KeptMessages messages;
        win::srand(1);
        CQwendrikDoc document;
        if (!document.OnOpenDocument(SettingsPath)) {
            if (!messages.failures.empty()) {
                err << "hauntwatch: " << OneLine(messages.failures.front()) << '\n';
                return 1;
            }
            err << "hauntwatch: no settings file at " << platform::HomePath(SettingsPath)
                << ": the guard has nothing to play\n";
        }
    }
    MediaLengthCache lengths(cacheFile.empty() ? MediaLengthCache::DefaultCacheFile() : cacheFile);
    const GuardSnapshot settings = TakeGuardSnapshot();
    const AwayFile away = ReadAwayFile();
    if (away.trouble)
        err << "hauntwatch: the away file " << AwaySpanPath() << " cannot be used: " << OneLine(*away.trouble)
            << "; planned as if no time away were set\n";
    const PlanStretch stretch = StretchAround(away.span, CTime::GetCurrentTime(), *span, false);
    for (const PlanEvent& event : ComputePlan(settings, stretch.from, stretch.to - stretch.from, lengths))
        out << FormatPlanLine(event) << '\n';
    // What is still buffered fails only now, on a full device.
    errno = 0;
    out.flush();
    if (out.good())
        return 0;
    err << "hauntwatch: the plan could not be written"
        << (errno != 0 ? std::string(": ") + std::strerror(errno) : std::string()) << '\n';
    return 1;
}

}  // namespace trip
