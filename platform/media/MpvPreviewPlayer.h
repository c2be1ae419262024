#pragma once
// The preview player on libmpv.  One handle per video window, kept from file
// to file; mpv plays in its own threads, and its events are read on the
// owner's thread, which `post` reaches.
#include <cstdint>
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

    bool Play(const std::string& path, std::uintptr_t videoWindow) override;
    void Stop() override;

private:
    bool EnsureHandle(std::uintptr_t videoWindow);
    bool Configure(std::uintptr_t videoWindow, const std::string& audioDevice);
    void DestroyHandle();
    void ReadEvents();
    static void OnWakeup(void* self);

    Poster post_;
    std::vector<MpvOption> tuning_;
    mpv_handle* handle_ = nullptr;
    std::uintptr_t handleWindow_ = 0;
    std::string handleAudioDevice_;
    // Reads queued by mpv that run after the player has gone find it expired.
    std::shared_ptr<MpvPreviewPlayer*> alive_;
    // The playlist entry whose end is to be told; -1 for none.
    std::int64_t awaitedEntry_ = -1;
};

}  // namespace platform
