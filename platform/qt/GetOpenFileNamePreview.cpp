#include "GetOpenFileNamePreview.h"

#include <cstring>

#include "DialogText.h"
#include "FilePicker.h"

namespace {

// The old double-terminated filter list in Qt's "Description (patterns)"
// form.  Qt matches the patterns without regard to case, as the old picker did.
QStringList QtNameFilters(const char* filter)
{
    QStringList filters;
    while (filter && *filter) {
        const QString description = QString::fromLocal8Bit(filter);
        filter += std::strlen(filter) + 1;
        if (!*filter)
            break;
        const QStringList patterns = QString::fromLocal8Bit(filter).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        filter += std::strlen(filter) + 1;
        filters << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters;
}

}  // namespace

namespace win {

BOOL GetOpenFileNamePreviewA(OPENFILENAMEA* ofn)
{
    FilePickerRequest request;
    request.owner = ofn->hwndOwner;
    request.nameFilters = QtNameFilters(ofn->lpstrFilter);
    const std::optional<QString> chosen = FilePicker::Run(request);
    if (!chosen)
        return FALSE;
    ofn->file = FromQString(*chosen);
    return TRUE;
}

}  // namespace win
