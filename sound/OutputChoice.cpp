#include "OutputChoice.h"

#include "UserSettings.h"

namespace sound {

namespace {
const QString kKey = QStringLiteral("Sound/Output");
}

OutputChoice::OutputChoice() : chosen_(UserSettings().value(kKey).toString().toStdString()) {}

void OutputChoice::Choose(const std::string& name)
{
    chosen_ = name;
    QSettings settings = UserSettings();
    settings.setValue(kKey, QString::fromStdString(name));
    settings.sync();
}

std::string MpvAudioDevice(const SoundServerView& view, const std::string& chosen)
{
    if (chosen.empty())
        return {};
    switch (view.state) {
    case SoundServerView::State::NoServer:
        return {};
    case SoundServerView::State::Settling:
        break;
    case SoundServerView::State::Known:
        if (!view.Find(chosen))
            return {};
        break;
    }
    return "pulse/" + chosen;
}

}  // namespace sound
