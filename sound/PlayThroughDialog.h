#pragma once
// "Play Through": the sound server's outputs by their descriptions, the one
// Mervo plays through marked, a Test that plays a short sound through the
// highlighted one, and OK to keep the choice.  Beside the output's volume it
// shows Hauntwatch's own in the mixer, which it can set right.  It follows
// the server while open.
#include <QDialog>
#include <memory>
#include <string>

class QLabel;
class QListWidget;
class QPushButton;

namespace platform {
class PreviewPlayer;
}

namespace sound {

class OutputChoice;
class SoundServerWatcher;

class PlayThroughDialog final : public QDialog {
    Q_OBJECT
public:
    PlayThroughDialog(SoundServerWatcher& watcher, OutputChoice& choice, QWidget* parent = nullptr);
    ~PlayThroughDialog() override;

    void accept() override;
    void done(int result) override;

private:
    void Fill();
    void UpdateTest();
    void UpdateLevels();
    void Test();
    // The server's name of the highlighted output; empty for the default.
    std::string Highlighted() const;

    SoundServerWatcher& watcher_;
    OutputChoice& choice_;
    QListWidget* outputs_;
    QLabel* note_;
    QLabel* levels_;
    QPushButton* test_;
    QPushButton* setRight_;
    std::unique_ptr<platform::PreviewPlayer> player_;
    bool testing_ = false;
};

}  // namespace sound
