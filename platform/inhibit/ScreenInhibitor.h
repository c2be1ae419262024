#pragma once
// Keeping the screen from blanking and locking while a movie must be seen:
// the desktop's session decides that, not the login manager.  GNOME's
// session manager first, the freedesktop screen saver service (KDE, Xfce
// and others) where there is none.  Each hold is a bus connection of its
// own, so that a crash lets go with the connection.
#include <QString>
#include <functional>
#include <string>

namespace platform {

class ScreenInhibitor {
public:
    virtual ~ScreenInhibitor() = default;
    // Holding while held and releasing while not held do nothing.
    virtual void Hold() = 0;
    virtual void Release() = 0;
    virtual bool IsHeld() const = 0;
};

class SessionScreenInhibitor final : public ScreenInhibitor {
public:
    // Told, on the window thread, why a hold could not be had.
    using Refusal = std::function<void(const std::string& why)>;

    explicit SessionScreenInhibitor(Refusal refused = {});
    ~SessionScreenInhibitor() override;
    SessionScreenInhibitor(const SessionScreenInhibitor&) = delete;
    SessionScreenInhibitor& operator=(const SessionScreenInhibitor&) = delete;

    // Asks and returns at once; the answer comes on the event loop.
    void Hold() override;
    void Release() override;
    // True from Hold to Release, whether or not the desktop granted it.
    bool IsHeld() const override { return wanted_; }
    // Who holds it now: "GNOME", "screen saver", or empty.
    const std::string& Holder() const { return holder_; }

private:
    void AskGnome();
    void AskScreenSaver(const QString& whyNotGnome);
    void Refuse(const QString& why);

    Refusal refused_;
    bool wanted_ = false;
    // Answers to an earlier hold are for a connection already let go.
    unsigned attempt_ = 0;
    QString connectionName_;
    std::string holder_;
};

}  // namespace platform
