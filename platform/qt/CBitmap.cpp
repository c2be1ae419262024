#include "CBitmap.h"

#include <QFile>
#include <QString>

BOOL CBitmap::LoadBitmap(UINT resourceId)
{
    const QString path = QStringLiteral(":/res/%1.bmp").arg(resourceId);
    image_ = QFile::exists(path) ? QImage(path) : QImage();
    return image_.isNull() ? FALSE : TRUE;
}
