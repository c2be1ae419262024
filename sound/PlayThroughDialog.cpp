#include "PlayThroughDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QMetaObject>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "HomeFolder.h"
#include "MpvPreviewPlayer.h"
#include "OutputChoice.h"
#include "SoundServerWatcher.h"

namespace sound {

namespace {

constexpr int kNameRole = Qt::UserRole;
constexpr int kThereRole = Qt::UserRole + 1;
constexpr char kTestSound[] = "c:\\qwendrik\\thanks.wav";

void PostToWindowThread(std::function<void()> function)
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(function), Qt::QueuedConnection);
}

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

}  // namespace

PlayThroughDialog::PlayThroughDialog(SoundServerWatcher& watcher, OutputChoice& choice, QWidget* parent)
    : QDialog(parent), watcher_(watcher), choice_(choice)
{
    setWindowTitle(tr("Play Through"));
    // A dialog like the program's others: no minimise or maximise boxes.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(tr("Mervo plays through:"), this);
    layout->addWidget(heading);
    outputs_ = new QListWidget(this);
    outputs_->setObjectName(QStringLiteral("outputs"));
    outputs_->setIconSize(QSize(16, 16));
    heading->setBuddy(outputs_);
    layout->addWidget(outputs_);
    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("note"));
    note_->setWordWrap(true);
    layout->addWidget(note_);
    levels_ = new QLabel(this);
    levels_->setObjectName(QStringLiteral("levels"));
    levels_->setWordWrap(true);
    layout->addWidget(levels_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    test_ = buttons->addButton(tr("&Test"), QDialogButtonBox::ActionRole);
    test_->setObjectName(QStringLiteral("test"));
    test_->setToolTip(tr("Plays a short sound through the highlighted output"));
    setRight_ = buttons->addButton(tr("Set Hauntwatch &Right"), QDialogButtonBox::ActionRole);
    setRight_->setObjectName(QStringLiteral("setRight"));
    setRight_->setToolTip(tr("Unmutes Hauntwatch in the mixer and sets it to full volume, for every later play"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(test_, &QPushButton::clicked, this, &PlayThroughDialog::Test);
    connect(setRight_, &QPushButton::clicked, this, [this] { watcher_.SetOwnStreamRight(); });
    connect(outputs_, &QListWidget::currentRowChanged, this, &PlayThroughDialog::UpdateTest);
    connect(outputs_, &QListWidget::currentRowChanged, this, &PlayThroughDialog::UpdateLevels);
    connect(outputs_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(&watcher_, &SoundServerWatcher::Changed, this, &PlayThroughDialog::Fill);

    Fill();
    resize(sizeHint().expandedTo(QSize(420, 300)));
}

PlayThroughDialog::~PlayThroughDialog() = default;

void PlayThroughDialog::Fill()
{
    const SoundServerView& view = watcher_.View();
    const std::string chosen = choice_.Chosen();
    // The highlighted row stays highlighted while the server's list changes.
    const std::string highlighted = outputs_->count() > 0 ? Highlighted() : chosen;
    outputs_->clear();

    const QIcon mark = style()->standardIcon(QStyle::SP_DialogApplyButton);
    QPixmap blank(outputs_->iconSize());
    blank.fill(Qt::transparent);
    auto add = [&](const QString& text, const std::string& name, bool there) {
        auto* item = new QListWidgetItem(text, outputs_);
        item->setData(kNameRole, Text(name));
        item->setData(kThereRole, there);
        const bool current = name == chosen;
        item->setIcon(current ? mark : QIcon(blank));
        if (current) {
            QFont font = item->font();
            font.setBold(true);
            item->setFont(font);
            item->setToolTip(tr("Mervo plays through this now"));
        }
        if (name == highlighted)
            outputs_->setCurrentItem(item);
    };

    const SoundOutput* standard = view.Find(view.defaultOutput);
    add(standard ? tr("The desktop's default (%1)").arg(Text(standard->description)) : tr("The desktop's default"), {},
        true);
    for (const SoundOutput& output : view.outputs)
        add(Text(output.description), output.name, true);
    const bool chosenGone = !chosen.empty() && view.state == SoundServerView::State::Known && !view.Find(chosen);
    if (chosenGone || (!chosen.empty() && view.state != SoundServerView::State::Known))
        add(tr("%1 (not there now)").arg(Text(chosen)), chosen, false);

    switch (view.state) {
    case SoundServerView::State::NoServer:
        note_->setText(tr("No sound server answers: Mervo plays through the desktop's default output."));
        break;
    case SoundServerView::State::Settling:
        note_->setText(tr("Asking the sound server for its outputs..."));
        break;
    case SoundServerView::State::Known:
        note_->setText(chosenGone ? tr("The output you chose is gone: until it is back, Mervo plays through the "
                                       "desktop's default.")
                                  : QString());
        break;
    }
    note_->setVisible(!note_->text().isEmpty());
    UpdateTest();
    UpdateLevels();
}

// Both decide what is heard: the output's volume, and Hauntwatch's own
// entry, which the server gives every play and GNOME's settings list only
// while one plays.
void PlayThroughDialog::UpdateLevels()
{
    const SoundServerView& view = watcher_.View();
    const bool known = view.state == SoundServerView::State::Known;
    const std::string name = Highlighted();
    const SoundOutput* output = view.Find(name.empty() ? view.defaultOutput : name);
    auto level = [this](bool muted, int percent) {
        return muted ? tr("%1%, muted").arg(percent) : tr("%1%").arg(percent);
    };
    QString text;
    if (known && output)
        text = tr("This output: %1.").arg(level(output->muted, output->volumePercent)) + QLatin1Char(' ');
    if (known)
        text += view.ownStream ? tr("Hauntwatch's own in the mixer: %1.")
                                     .arg(level(view.ownStream->muted, view.ownStream->volumePercent))
                               : tr("Hauntwatch's own in the mixer: not set (full volume).");
    levels_->setText(text);
    levels_->setVisible(!text.isEmpty());
    setRight_->setEnabled(known && (!view.ownStream || view.ownStream->muted || view.ownStream->volumePercent < 100));
}

std::string PlayThroughDialog::Highlighted() const
{
    const QListWidgetItem* item = outputs_->currentItem();
    return item ? item->data(kNameRole).toString().toStdString() : std::string();
}

void PlayThroughDialog::UpdateTest()
{
    const QListWidgetItem* item = outputs_->currentItem();
    test_->setEnabled(!testing_ && item && item->data(kThereRole).toBool() &&
                      watcher_.View().state == SoundServerView::State::Known);
}

void PlayThroughDialog::Test()
{
    const std::string name = Highlighted();
    // Straight to the server's output, whatever is chosen or set for the
    // guard's plays.
    std::vector<platform::MpvOption> device = {{"ao", "pulse"}, {"audio-device", name.empty() ? "auto" : "pulse/" + name}};
    player_ = std::make_unique<platform::MpvPreviewPlayer>(PostToWindowThread, std::move(device));
    player_->onEnded = [this](bool) {
        testing_ = false;
        UpdateTest();
    };
    testing_ = player_->Play(platform::ProgramFilePath(kTestSound), {});
    UpdateTest();
}

void PlayThroughDialog::accept()
{
    const QListWidgetItem* item = outputs_->currentItem();
    if (item)
        choice_.Choose(Highlighted());
    QDialog::accept();
}

void PlayThroughDialog::done(int result)
{
    player_.reset();
    testing_ = false;
    QDialog::done(result);
}

}  // namespace sound
