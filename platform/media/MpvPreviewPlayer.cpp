#include "MpvPreviewPlayer.h"

#include <string>

#include "MpvLibrary.h"

namespace platform {

namespace {

// A clip whose picture cannot be shown still lets its sound be heard, and
// the picker's keys stay the picker's.
const std::vector<MpvOption> kPreviewOptions = {
    {"stop-playback-on-init-failure", "no"},
    {"audio-display", "no"},
    {"input-vo-keyboard", "no"},
    {"input-cursor", "no"},
};

}  // namespace

MpvPreviewPlayer::MpvPreviewPlayer(Poster post, std::vector<MpvOption> tuning)
    : post_(std::move(post)), tuning_(std::move(tuning)), alive_(std::make_shared<MpvPreviewPlayer*>(this))
{
}

MpvPreviewPlayer::~MpvPreviewPlayer()
{
    DestroyHandle();
}

bool MpvPreviewPlayer::Play(const std::string& path, std::uintptr_t videoWindow)
{
    const std::string file = CanonicalRegularFile(path);
    if (file.empty())
        return false;
    // A fresh handle for every play: loading a file into the last one would
    // wait for its core, which a stalled sound server may be holding.
    DestroyHandle();
    if (!EnsureHandle(videoWindow))
        return false;
    awaitedEntry_ = LoadFile(handle_, file);
    return awaitedEntry_ >= 0;
}

// Any command waits for mpv's core, which a stalled sound server can hold:
// the handle is let go instead, and the next play makes a fresh one.
void MpvPreviewPlayer::Stop()
{
    DestroyHandle();
}

bool MpvPreviewPlayer::EnsureHandle(std::uintptr_t videoWindow)
{
    // mpv takes its window and its audio output only when the handle starts.
    const std::string audioDevice = ChosenAudioDevice();
    if (handle_ && handleWindow_ == videoWindow && handleAudioDevice_ == audioDevice)
        return true;
    DestroyHandle();
    handle_ = CreateMpvHandle();
    if (!handle_ || !Configure(videoWindow, audioDevice) || Mpv()->initialize(handle_) < 0) {
        DestroyHandle();
        return false;
    }
    handleWindow_ = videoWindow;
    handleAudioDevice_ = audioDevice;
    Mpv()->set_wakeup_callback(handle_, &MpvPreviewPlayer::OnWakeup, this);
    return true;
}

bool MpvPreviewPlayer::Configure(std::uintptr_t videoWindow, const std::string& audioDevice)
{
    if (!SetHardenedOptions(handle_) || !SetOptions(handle_, kPreviewOptions) || !SetAudioOutput(handle_, audioDevice))
        return false;
    const bool optionsSet = videoWindow == 0
        ? Mpv()->set_option_string(handle_, "vid", "no") >= 0
        : SetVideoOutput(handle_) && Mpv()->set_option_string(handle_, "wid", std::to_string(videoWindow).c_str()) >= 0;
    return optionsSet && SetOptions(handle_, tuning_);
}

void MpvPreviewPlayer::DestroyHandle()
{
    if (handle_) {
        // mpv runs no wake-up after this returns, so none can start on a
        // player that is going.
        Mpv()->set_wakeup_callback(handle_, nullptr, nullptr);
        DestroyElsewhere(handle_);
    }
    handle_ = nullptr;
    handleWindow_ = 0;
    awaitedEntry_ = -1;
}

void MpvPreviewPlayer::OnWakeup(void* self)
{
    auto* player = static_cast<MpvPreviewPlayer*>(self);
    std::weak_ptr<MpvPreviewPlayer*> alive = player->alive_;
    player->post_([alive] {
        if (const auto owner = alive.lock())
            (*owner)->ReadEvents();
    });
}

void MpvPreviewPlayer::ReadEvents()
{
    while (handle_) {
        const mpv_event* event = Mpv()->wait_event(handle_, 0);
        if (event->event_id == MPV_EVENT_NONE)
            return;
        if (event->event_id != MPV_EVENT_END_FILE)
            continue;
        const auto& end = *static_cast<const mpv_event_end_file*>(event->data);
        // Ends of files stopped or replaced are nobody's business.
        if (end.playlist_entry_id != awaitedEntry_ || awaitedEntry_ < 0)
            continue;
        awaitedEntry_ = -1;
        if (onEnded)
            onEnded(end.reason == MPV_END_FILE_REASON_EOF);
    }
}

}  // namespace platform
