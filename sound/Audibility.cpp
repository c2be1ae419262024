#include "Audibility.h"

namespace sound {

namespace {

// The server's stand-in when it has no device at all (PulseAudio's and
// PipeWire's "Dummy Output"): it plays into nothing.
constexpr char kStandInOutput[] = "auto_null";

std::optional<Unheard> Hear(const SoundOutput* output)
{
    if (!output || output->name == kStandInOutput)
        return Unheard{Unheard::Reason::NoOutput, 0, {}};
    if (output->unplugged)
        return Unheard{Unheard::Reason::Unplugged, output->volumePercent, output->description};
    if (output->muted)
        return Unheard{Unheard::Reason::Muted, output->volumePercent, output->description};
    if (output->volumePercent < kQuietestHeardPercent)
        return Unheard{Unheard::Reason::Quiet, output->volumePercent, output->description};
    return std::nullopt;
}

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
    }
    return {};
}

Audibility Judge(const SoundServerView& view, const std::string& chosen)
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
