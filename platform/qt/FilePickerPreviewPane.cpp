#include "FilePickerPreviewPane.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kPictureWidth = 160;
constexpr int kPictureHeight = 120;

bool IsMovie(const QString& path)
{
    return path.endsWith(QStringLiteral(".avi"), Qt::CaseInsensitive);
}

// Pictures only where a native window of the pane can take them.
bool CanShowPictures()
{
    return QGuiApplication::platformName() == QStringLiteral("xcb");
}

bool IsPreviewable(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() && (IsMovie(path) || path.endsWith(QStringLiteral(".wav"), Qt::CaseInsensitive));
}

}  // namespace

FilePickerPreviewPane::FilePickerPreviewPane(QWidget* parent)
    : QWidget(parent),
      player_(platform::MakePreviewPlayer()),
      name_(new QLabel(this)),
      picture_(new QWidget(this)),
      note_(new QLabel(this)),
      playStop_(new QPushButton(QStringLiteral("Play"), this))
{
    setObjectName(QStringLiteral("previewPane"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Preview"), this));
    name_->setWordWrap(true);
    name_->setFixedWidth(kPictureWidth);
    layout->addWidget(name_);
    // mpv draws a movie into this window of its own.
    picture_->setFixedSize(kPictureWidth, kPictureHeight);
    picture_->setAttribute(Qt::WA_NativeWindow);
    picture_->setStyleSheet(QStringLiteral("background: black"));
    picture_->setAutoFillBackground(true);
    picture_->hide();
    layout->addWidget(picture_);
    note_->setObjectName(QStringLiteral("previewNote"));
    note_->setWordWrap(true);
    note_->setFixedWidth(kPictureWidth);
    layout->addWidget(note_);
    playStop_->setAutoDefault(false);
    layout->addWidget(playStop_);
    layout->addStretch();
    if (player_)
        player_->onEnded = [this](bool played) { OnEnded(played); };
    QObject::connect(playStop_, &QPushButton::clicked, this, [this] { OnPlayStop(); });
    SetHighlighted(QString());
}

FilePickerPreviewPane::~FilePickerPreviewPane()
{
    StopPlaying();
}

void FilePickerPreviewPane::SetHighlighted(const QString& path)
{
    StopPlaying();
    previewed_ = IsPreviewable(path) ? path : QString();
    name_->setText(previewed_.isEmpty() ? QString() : QFileInfo(previewed_).fileName());
    picture_->setVisible(!previewed_.isEmpty() && IsMovie(previewed_) && CanShowPictures());
    ShowState(previewed_.isEmpty() ? QStringLiteral("No preview") : QString());
}

void FilePickerPreviewPane::StopPlaying()
{
    if (playing_ && player_)
        player_->Stop();
    playing_ = false;
    ShowState(note_->text());
}

void FilePickerPreviewPane::OnPlayStop()
{
    if (playing_) {
        StopPlaying();
        return;
    }
    if (previewed_.isEmpty() || !player_)
        return;
    const bool embed = IsMovie(previewed_) && CanShowPictures();
    const std::uintptr_t window = embed ? static_cast<std::uintptr_t>(picture_->winId()) : 0;
    playing_ = player_->Play(previewed_.toLocal8Bit().toStdString(), window);
    ShowState(playing_ ? QString() : QStringLiteral("This file cannot be played."));
}

void FilePickerPreviewPane::OnEnded(bool played)
{
    playing_ = false;
    ShowState(played ? QString() : QStringLiteral("This file cannot be played."));
}

void FilePickerPreviewPane::ShowState(const QString& note)
{
    note_->setText(note);
    playStop_->setText(playing_ ? QStringLiteral("Stop") : QStringLiteral("Play"));
    playStop_->setEnabled(!previewed_.isEmpty() && player_);
}
