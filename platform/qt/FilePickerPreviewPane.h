#pragma once
// The file picker's preview: the highlighted sound or movie, with a button
// that plays or stops it while the picker stays usable.  Whatever plays stops
// when the highlight moves and when the pane goes away with the picker.
#include <QString>
#include <QWidget>
#include <memory>

#include "PreviewPlayer.h"

class QLabel;
class QPushButton;

class FilePickerPreviewPane : public QWidget {
    Q_OBJECT
public:
    explicit FilePickerPreviewPane(QWidget* parent);
    ~FilePickerPreviewPane() override;

    // The file the picker highlights now; any path, a folder or nothing.
    void SetHighlighted(const QString& path);
    void StopPlaying();

    bool IsPlaying() const { return playing_; }
    QPushButton* PlayButton() const { return playStop_; }

private:
    void OnPlayStop();
    void OnEnded(bool played);
    void ShowFrame(const platform::PreviewFrame& frame);
    void ShowState(const QString& note);

    std::unique_ptr<platform::PreviewPlayer> player_;
    QLabel* name_;
    QLabel* picture_;
    QLabel* note_;
    QPushButton* playStop_;
    QString previewed_;
    bool playing_ = false;
};
