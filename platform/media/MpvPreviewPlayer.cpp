#include "MpvPreviewPlayer.h"

#include <cstdlib>
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

bool MpvPreviewPlayer::Play(const std::string& path, PictureSize picture)
{
    const std::string file = CanonicalRegularFile(path);
    if (file.empty())
        return false;
    // A fresh handle for every play: loading a file into the last one would
    // wait for its core, which a stalled sound server may be holding.
    DestroyHandle();
    if (!MakeHandle(picture))
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

bool MpvPreviewPlayer::MakeHandle(PictureSize picture)
{
    handle_ = CreateMpvHandle();
    if (!handle_ || !Configure(picture, ChosenAudioDevice()) || Mpv()->initialize(handle_) < 0) {
        DestroyHandle();
        return false;
    }
    // Without a renderer the picture fails to start and the sound plays on.
    if (picture.Any())
        StartRenderer(picture);
    Mpv()->set_wakeup_callback(handle_, &MpvPreviewPlayer::OnWakeup, this);
    return true;
}

bool MpvPreviewPlayer::Configure(PictureSize picture, const std::string& audioDevice)
{
    if (!SetHardenedOptions(handle_) || !SetOptions(handle_, kPreviewOptions) || !SetAudioOutput(handle_, audioDevice))
        return false;
    bool optionsSet = true;
    if (!picture.Any() || !Mpv()->render_context_create)
        optionsSet = Mpv()->set_option_string(handle_, "vid", "no") >= 0;
    else if (std::getenv("HAUNTWATCH_VO"))
        optionsSet = SetVideoOutput(handle_);
    else
        // Pictures come through the render API; drawing one must not wait
        // for the moment it is due.
        optionsSet = SetOptions(handle_, {{"vo", "libmpv"}, {"video-timing-offset", "0"}});
    return optionsSet && SetOptions(handle_, tuning_);
}

bool MpvPreviewPlayer::StartRenderer(PictureSize picture)
{
    if (!Mpv()->render_context_create || std::getenv("HAUNTWATCH_VO"))
        return false;
    char api[] = MPV_RENDER_API_TYPE_SW;
    mpv_render_param params[] = {{MPV_RENDER_PARAM_API_TYPE, api}, {MPV_RENDER_PARAM_INVALID, nullptr}};
    if (Mpv()->render_context_create(&renderer_, handle_, params) < 0) {
        renderer_ = nullptr;
        return false;
    }
    picture_ = picture;
    const std::size_t size = static_cast<std::size_t>(picture.width) * 4 * static_cast<std::size_t>(picture.height);
    // Rounded up to whole 64-byte blocks, as aligned_alloc asks.
    pixels_.reset(static_cast<unsigned char*>(std::aligned_alloc(64, (size + 63) / 64 * 64)));
    Mpv()->render_context_set_update_callback(renderer_, &MpvPreviewPlayer::OnFrameReady, this);
    return true;
}

void MpvPreviewPlayer::DestroyHandle()
{
    if (renderer_)
        // mpv runs no update callback after this returns.
        Mpv()->render_context_set_update_callback(renderer_, nullptr, nullptr);
    if (handle_) {
        // mpv runs no wake-up after this returns, so none can start on a
        // player that is going.
        Mpv()->set_wakeup_callback(handle_, nullptr, nullptr);
        DestroyElsewhere(handle_, renderer_);
    }
    handle_ = nullptr;
    renderer_ = nullptr;
    awaitedEntry_ = -1;
}

void MpvPreviewPlayer::Post(void (MpvPreviewPlayer::*work)())
{
    std::weak_ptr<MpvPreviewPlayer*> alive = alive_;
    post_([alive, work] {
        if (const auto owner = alive.lock())
            ((*owner)->*work)();
    });
}

void MpvPreviewPlayer::OnWakeup(void* self)
{
    static_cast<MpvPreviewPlayer*>(self)->Post(&MpvPreviewPlayer::ReadEvents);
}

void MpvPreviewPlayer::OnFrameReady(void* self)
{
    static_cast<MpvPreviewPlayer*>(self)->Post(&MpvPreviewPlayer::DrawFrame);
}

// A picture posted by a renderer that has gone since is drawn by the new
// one, or by none.
void MpvPreviewPlayer::DrawFrame()
{
    if (!renderer_ || !(Mpv()->render_context_update(renderer_) & MPV_RENDER_UPDATE_FRAME))
        return;
    int size[] = {picture_.width, picture_.height};
    char format[] = "rgb0";
    std::size_t stride = static_cast<std::size_t>(picture_.width) * 4;
    mpv_render_param params[] = {{MPV_RENDER_PARAM_SW_SIZE, size},
                                 {MPV_RENDER_PARAM_SW_FORMAT, format},
                                 {MPV_RENDER_PARAM_SW_STRIDE, &stride},
                                 {MPV_RENDER_PARAM_SW_POINTER, pixels_.get()},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    if (Mpv()->render_context_render(renderer_, params) < 0 || !onFrame)
        return;
    onFrame(PreviewFrame{picture_.width, picture_.height, static_cast<int>(stride), pixels_.get()});
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
