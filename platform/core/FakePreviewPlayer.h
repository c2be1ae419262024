#pragma once
#include <string>
#include <vector>

#include "PreviewPlayer.h"

namespace platform {

// Installs itself as the factory: every player it makes writes "play <path>"
// and "stop" into the same list; nothing is heard.
class FakePreviewPlayers {
public:
    FakePreviewPlayers()
    {
        InstallPreviewPlayerFactory([this] { return std::make_unique<Player>(this); });
    }
    ~FakePreviewPlayers() { InstallPreviewPlayerFactory({}); }
    FakePreviewPlayers(const FakePreviewPlayers&) = delete;
    FakePreviewPlayers& operator=(const FakePreviewPlayers&) = delete;

    // Ends the last play started, as the file's own end would.
    void EndLastPlay(bool played)
    {
        if (last && last->onEnded)
            last->onEnded(played);
    }

    std::vector<std::string> calls;
    bool canStart = true;

private:
    class Player final : public PreviewPlayer {
    public:
        explicit Player(FakePreviewPlayers* owner) : owner_(owner) {}
        ~Player() override
        {
            if (owner_->last == this)
                owner_->last = nullptr;
        }
        bool Play(const std::string& path, PictureSize) override
        {
            owner_->calls.push_back("play " + path);
            owner_->last = this;
            return owner_->canStart;
        }
        void Stop() override { owner_->calls.push_back("stop"); }

    private:
        FakePreviewPlayers* owner_;
    };

    PreviewPlayer* last = nullptr;
};

}  // namespace platform
