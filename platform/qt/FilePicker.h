#pragma once
// The file-open picker: Qt's own file dialog, the same on every desktop, with
// a preview pane that plays the highlighted sound or movie.  It opens where a
// file was last picked, the first time in the installed sample-noises folder.
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

struct FilePickerRequest {
    QWidget* owner = nullptr;
    QStringList nameFilters;  // Qt's form: "Description (patterns)"; the first is chosen
};

class FilePicker {
public:
    // The chosen path, whatever its length; nothing when the user cancelled.
    static std::optional<QString> Run(const FilePickerRequest& request);
    // Lets tests answer in the picker's place; an empty function brings it back.
    static void ReplaceForTests(std::function<std::optional<QString>(const FilePickerRequest&)> picker);
};
