#include "FilePicker.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>

#include "FilePickerPreviewPane.h"
#include "HomeFolder.h"

namespace {
std::function<std::optional<CString>()> replacement;
QString lastFolder;

// Beside the folder view, as tall as the picker; whatever plays stops when
// the highlight moves and when the picker closes.
void AddPreviewPane(QFileDialog& picker)
{
    auto* pane = new FilePickerPreviewPane(&picker);
    if (auto* grid = qobject_cast<QGridLayout*>(picker.layout()))
        grid->addWidget(pane, 0, grid->columnCount(), grid->rowCount(), 1, Qt::AlignTop);
    QObject::connect(&picker, &QFileDialog::currentChanged, pane, &FilePickerPreviewPane::SetHighlighted);
    QObject::connect(&picker, &QDialog::finished, pane, &FilePickerPreviewPane::StopPlaying);
}

}  // namespace

std::optional<CString> FilePicker::PickSoundOrMovie()
{
    if (replacement)
        return replacement();
    if (lastFolder.isEmpty())
        lastFolder = QString::fromStdString(platform::DataFolder() + "/noises");
    QFileDialog picker(nullptr, QString(), lastFolder, QStringLiteral("Sounds and Movies(*.avi,*.wav) (*.wav *.avi)"));
    picker.setOption(QFileDialog::DontUseNativeDialog);
    picker.setFileMode(QFileDialog::ExistingFile);
    AddPreviewPane(picker);
    if (picker.exec() != QDialog::Accepted || picker.selectedFiles().isEmpty())
        return std::nullopt;
    const QString chosen = picker.selectedFiles().first();
    lastFolder = QFileInfo(chosen).absolutePath();
    return CString(chosen.toLocal8Bit().toStdString());
}

void FilePicker::ReplaceForTests(std::function<std::optional<CString>()> picker)
{
    replacement = std::move(picker);
}
