#include "FilePicker.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QTreeView>

#include "FilePickerPreviewPane.h"
#include "HomeFolder.h"
#include "UserSettings.h"

namespace {

std::function<std::optional<QString>(const FilePickerRequest&)>& Replacement()
{
    static std::function<std::optional<QString>(const FilePickerRequest&)> replacement;
    return replacement;
}

const QString kLastFolderKey = QStringLiteral("File Picker/Last Folder");

// Kept in the user's settings, so a later run starts there too.
QString StartFolder()
{
    const QString last = UserSettings().value(kLastFolderKey).toString();
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    const QString samples = QString::fromStdString(platform::DataFolder() + "/noises");
    return QFileInfo(samples).isDir() ? samples : QDir::homePath();
}

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

// Qt's picker sizes its columns for a font of its own guess: a size, a type
// or a date cut short ("223…KiB", "WA", "8 Dec 2…5:58") says nothing.  Each
// folder's columns are fitted to what it holds once it is read, and the
// picker opens wide enough for them beside the preview.
void FitColumns(QFileDialog& picker)
{
    auto* details = picker.findChild<QTreeView*>(QStringLiteral("treeView"));
    auto* model = details ? qobject_cast<QFileSystemModel*>(details->model()) : nullptr;
    if (!model)
        return;
    QObject::connect(model, &QFileSystemModel::directoryLoaded, details, [details] {
        for (int column : {1, 2, 3})
            details->resizeColumnToContents(column);
    });
    const QFontMetrics metrics(picker.font());
    QSize size = picker.sizeHint().expandedTo(QSize(metrics.averageCharWidth() * 130, metrics.height() * 26));
    if (const QScreen* screen = picker.screen())
        size = size.boundedTo(screen->availableGeometry().size());
    picker.resize(size);
}

// A folder of takes is picked where a file is: the folder highlighted, or
// else the one shown.  Its name is kept as the picker keeps a file's.
QString* AddFolderButton(QFileDialog& picker)
{
    auto* chosen = new QString;
    auto* buttons = picker.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    if (!buttons)
        return chosen;
    QPushButton* take = buttons->addButton(QStringLiteral("Take the &Folder"), QDialogButtonBox::ActionRole);
    take->setObjectName(QStringLiteral("takeFolder"));
    take->setToolTip(QStringLiteral("The folder's sounds or movies become one noise: each play picks one of them"));
    QObject::connect(take, &QPushButton::clicked, &picker, [&picker, chosen] {
        const QStringList highlighted = picker.selectedFiles();
        const QFileInfo folder(highlighted.isEmpty() ? QString() : highlighted.front());
        *chosen = folder.isDir() ? folder.absoluteFilePath() : picker.directory().absolutePath();
        static_cast<QDialog&>(picker).done(QDialog::Accepted);
    });
    QObject::connect(&picker, &QObject::destroyed, [chosen] { delete chosen; });
    return chosen;
}

}  // namespace

std::optional<QString> FilePicker::Run(const FilePickerRequest& request)
{
    if (Replacement())
        return Replacement()(request);
    QFileDialog picker(request.owner, QString(), StartFolder());
    picker.setOption(QFileDialog::DontUseNativeDialog);
    // Filters show by their names alone, as the old picker showed them.
    picker.setOption(QFileDialog::HideNameFilterDetails);
    picker.setAcceptMode(QFileDialog::AcceptOpen);
    picker.setFileMode(QFileDialog::ExistingFile);
    if (!request.nameFilters.isEmpty())
        picker.setNameFilters(request.nameFilters);
    AddPreviewPane(picker);
    const QString* folder = AddFolderButton(picker);
    FitColumns(picker);
    if (picker.exec() != QDialog::Accepted)
        return std::nullopt;
    if (!folder->isEmpty()) {
        UserSettings().setValue(kLastFolderKey, QFileInfo(*folder).absolutePath());
        return *folder;
    }
    if (picker.selectedFiles().isEmpty())
        return std::nullopt;
    const QString chosen = picker.selectedFiles().front();
    UserSettings().setValue(kLastFolderKey, QFileInfo(chosen).absolutePath());
    return chosen;
}

void FilePicker::ReplaceForTests(std::function<std::optional<QString>(const FilePickerRequest&)> picker)
{
    Replacement() = std::move(picker);
}
