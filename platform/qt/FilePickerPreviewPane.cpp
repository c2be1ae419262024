#include "FilePickerPreviewPane.h"

#include <QFileInfo>
#include <QImage>
#include <QPixmap>
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
      picture_(new QLabel(this)),
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
    // The movie's pictures, drawn by the player into memory.  A native
    // window for mpv to draw into would make the whole picker a tree of
    // native windows, which took no clicks under X11.
    picture_->setObjectName(QStringLiteral("previewPicture"));
    picture_->setAccessibleName(QStringLiteral("Movie picture"));
    picture_->setFixedSize(kPictureWidth, kPictureHeight);
    picture_->setStyleSheet(QStringLiteral("background: black"));
    picture_->hide();
    layout->addWidget(picture_);
    note_->setObjectName(QStringLiteral("previewNote"));
    note_->setWordWrap(true);
    note_->setFixedWidth(kPictureWidth);
    layout->addWidget(note_);
    playStop_->setAutoDefault(false);
    layout->addWidget(playStop_);
    layout->addStretch();
    if (player_) {
        player_->onEnded = [this](bool played) { OnEnded(played); };
        player_->onFrame = [this](const platform::PreviewFrame& frame) { ShowFrame(frame); };
    }
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
    picture_->clear();
    picture_->setVisible(!previewed_.isEmpty() && IsMovie(previewed_));
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
    const platform::PictureSize picture =
        IsMovie(previewed_) ? platform::PictureSize{kPictureWidth, kPictureHeight} : platform::PictureSize{};
    playing_ = player_->Play(previewed_.toLocal8Bit().toStdString(), picture);
    ShowState(playing_ ? QString() : QStringLiteral("This file cannot be played."));
}

void FilePickerPreviewPane::ShowFrame(const platform::PreviewFrame& frame)
{
    const QImage image(frame.pixels, frame.width, frame.height, frame.stride, QImage::Format_RGBX8888);
    picture_->setPixmap(QPixmap::fromImage(image));
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
