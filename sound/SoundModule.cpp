#include "SoundModule.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

#include "MpvOptions.h"
#include "PlayThroughDialog.h"

namespace sound {

SoundModule::SoundModule(GuardAccess& guard, SoundServerWatcher::Timing timing)
    : watcher_(timing), check_(watcher_, choice_, guard)
{
    // Asked on the window thread by every play as it starts: the guard's
    // sounds and movies, the guard-on and -off sounds, the picker's preview.
    platform::InstallAudioDeviceChooser([this] { return MpvAudioDevice(watcher_.View(), choice_.Chosen()); });
    platform::InstallStreamLevelListener(
        [this](const platform::StreamLevel& level) { check_.StreamHeard(StreamMemory{level.muted, level.volumePercent}); });
}

SoundModule::~SoundModule()
{
    platform::InstallStreamLevelListener({});
    platform::InstallAudioDeviceChooser({});
    delete dialog_;
}

void SoundModule::AttachTo(QWidget& window, QMenu& menu)
{
    auto* action = new QAction(QString::fromUtf8("Play Through\u2026"), &menu);
    action->setObjectName(QStringLiteral("playThrough"));
    connect(action, &QAction::triggered, this, [this, &window] { ShowPlayThrough(&window); });
    menu.addAction(action);
}

PlayThroughDialog* SoundModule::ShowPlayThrough(QWidget* parent)
{
    // One closed a moment ago may still be waiting for its deletion.
    if (!dialog_ || !dialog_->isVisible()) {
        dialog_ = new PlayThroughDialog(watcher_, choice_, parent);
        dialog_->setAttribute(Qt::WA_DeleteOnClose);
        dialog_->open();
    }
    dialog_->raise();
    dialog_->activateWindow();
    return dialog_;
}

}  // namespace sound
