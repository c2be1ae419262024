#include "Audibility.h"

namespace sound {

namespace {

// The server's stand-in when it has no device at all (PulseAudio's and
// PipeWire's "Dummy Output"): it plays into nothing.
constexpr char kStandInOutput[] = "auto_null";

std::optional<Unheard> Hear(const SoundOutput* output)
{
    if (!output || output->name == kStandInOutput)
        return Unheard{Unheard::Reason::NoOutput, 0, 0, {}};
    if (output->unplugged)
        return Unheard{Unheard::Reason::Unplugged, output->volumePercent, 0, output->description};
    if (output->muted)
        return Unheard{Unheard::Reason::Muted, output->volumePercent, 0, output->description};
    if (output->volumePercent < kQuietestHeardPercent)
        return Unheard{Unheard::Reason::Quiet, output->volumePercent, 0, output->description};
    return std::nullopt;
}

// The stream's volume scales the output's: 20% of 20% is heard as 4%.
std::optional<Unheard> HearStream(const SoundOutput& output, const StreamMemory& stream)
{
    if (stream.muted)
        return Unheard{Unheard::Reason::StreamMuted, stream.volumePercent, output.volumePercent, output.description};
    if (stream.volumePercent * output.volumePercent < kQuietestHeardPercent * 100)
        return Unheard{Unheard::Reason::StreamQuiet, stream.volumePercent, output.volumePercent, output.description};
    return std::nullopt;
}

constexpr char kWhereTheEntryIs[] =
    "under Say Whut? > Play Through, or in the mixer's Hauntwatch entry (GNOME's Settings > Sound lists it only "
    "while Hauntwatch plays).";

std::string WithOutput(const Unheard& unheard)
{
    const std::string reason = unheard.ReasonText();
    return unheard.output.empty() ? reason : reason + " (" + unheard.output + ")";
}

}  // namespace

std::string Unheard::ReasonText() const
{
    switch (reason) {
    case Reason::NoOutput:
        return "there is no sound output";
    case Reason::Unplugged:
        return "the speakers are unplugged";
    case Reason::Muted:
        return "the sound is muted";
    case Reason::Quiet:
        return "the volume is at " + std::to_string(volumePercent) + "%";
    case Reason::StreamMuted:
        return "Hauntwatch is muted in the mixer";
    case Reason::StreamQuiet:
        if (outputVolumePercent >= 100)
            return "Hauntwatch's own volume is at " + std::to_string(volumePercent) + "%";
        return "Hauntwatch's own volume is at " + std::to_string(volumePercent) + "% of the output's " +
               std::to_string(outputVolumePercent) + "%";
    }
    return {};
}

Audibility Judge(const SoundServerView& view, const std::string& chosen, const std::optional<StreamMemory>& seen)
{
    Audibility audibility;
    if (view.state != SoundServerView::State::Known)
        return audibility;
    const SoundOutput* output = chosen.empty() ? nullptr : view.Find(chosen);
    if (!output) {
        output = view.Find(view.defaultOutput);
        if (!chosen.empty() && output)
            audibility.fallback = output->description;
    }
    audibility.unheard = Hear(output);
    const std::optional<StreamMemory>& stream = seen ? seen : view.ownStream;
    if (!audibility.unheard && stream)
        audibility.unheard = HearStream(*output, *stream);
    return audibility;
}

std::string UnheardLine(CTime at, const Unheard& unheard)
{
    return at.Format("At %H:%M").str() + " nobody can hear Mervo: " + WithOutput(unheard);
}

std::string FallbackLine(CTime at, const std::string& fallback)
{
    return at.Format("At %H:%M").str() + " the chosen output is gone: playing through " + fallback;
}

std::string Advice(const Audibility& audibility)
{
    std::string text;
    if (audibility.unheard) {
        const Unheard& unheard = *audibility.unheard;
        text = "Mervo is on duty, but nobody will hear him: " + WithOutput(unheard) + ".\n\n";
        switch (unheard.reason) {
        case Unheard::Reason::NoOutput:
            text += "Connect speakers, then check that the desktop's sound settings offer them as an output.";
            break;
        case Unheard::Reason::Unplugged:
            text += "Plug the speakers in, or pick another output under Say Whut? > Play Through.";
            break;
        case Unheard::Reason::Muted:
            text += "Unmute it in the desktop's sound settings.";
            break;
        case Unheard::Reason::Quiet:
            text += "Turn it up in the desktop's sound settings.";
            break;
        case Unheard::Reason::StreamMuted:
            text += std::string("Unmute Hauntwatch ") + kWhereTheEntryIs;
            break;
        case Unheard::Reason::StreamQuiet:
            text += std::string("Turn Hauntwatch up ") + kWhereTheEntryIs;
            break;
        }
    }
    if (audibility.fallback) {
        if (!text.empty())
            text += "\n\n";
        text += "The output you chose for him is gone, so he plays through " + *audibility.fallback +
                ". Connect it again, or pick another under Say Whut? > Play Through.";
    }
    return text;
}

}  // namespace sound
