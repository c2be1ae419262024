#include "FilePicker.h"

#include <QFileDialog>
#include <QFileInfo>

#include "HomeFolder.h"

namespace {
std::function<std::optional<CString>()> replacement;
QString lastFolder;
}

std::optional<CString> FilePicker::PickSoundOrMovie()
{
    if (replacement)
        return replacement();
    if (lastFolder.isEmpty())
        lastFolder = QString::fromStdString(platform::DataFolder() + "/noises");
    QFileDialog picker(nullptr, QString(), lastFolder, QStringLiteral("Sounds and Movies(*.avi,*.wav) (*.wav *.avi)"));
    picker.setOption(QFileDialog::DontUseNativeDialog);
    picker.setFileMode(QFileDialog::ExistingFile);
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
