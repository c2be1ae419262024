#pragma once
// The preview player on libmpv.  A fresh handle for every play; mpv plays in
// its own threads, and its events are read, and a movie's pictures drawn
// (by libmpv's software renderer, into memory), on the owner's thread, which
// `post` reaches.  No native window is involved, so the picker around the
// preview stays an ordinary widget tree.
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

#include "MpvOptions.h"
#include "PreviewPlayer.h"

namespace platform {

class MpvPreviewPlayer final : public PreviewPlayer {
public:
    // Queues a function to run on the owner's thread; called from mpv's threads.
    using Poster = std::function<void(std::function<void()>)>;

    explicit MpvPreviewPlayer(Poster post, std::vector<MpvOption> tuning = {});
    ~MpvPreviewPlayer() override;
    MpvPreviewPlayer(const MpvPreviewPlayer&) = delete;
    MpvPreviewPlayer& operator=(const MpvPreviewPlayer&) = delete;

    bool Play(const std::string& path, PictureSize picture) override;
    void Stop() override;

private:
    bool MakeHandle(PictureSize picture);
    bool Configure(PictureSize picture, const std::string& audioDevice);
    bool StartRenderer(PictureSize picture);
    void DestroyHandle();
    void ReadEvents();
    void DrawFrame();
    void Post(void (MpvPreviewPlayer::*work)());
    static void OnWakeup(void* self);
    static void OnFrameReady(void* self);

    Poster post_;
    std::vector<MpvOption> tuning_;
    mpv_handle* handle_ = nullptr;
    mpv_render_context* renderer_ = nullptr;
    PictureSize picture_;
    // rgb0 pixels, rows and start aligned as libmpv's renderer likes them.
    std::unique_ptr<unsigned char[], void (*)(void*)> pixels_{nullptr, &std::free};
    // Reads queued by mpv that run after the player has gone find it expired.
    std::shared_ptr<MpvPreviewPlayer*> alive_;
    // The playlist entry whose end is to be told; -1 for none.
    std::int64_t awaitedEntry_ = -1;
};

}  // namespace platform
