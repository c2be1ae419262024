#pragma once
// A picture from the program's resources: bitmap resource N is ":/res/N.bmp".
#include <QImage>

#include "WinTypes.h"

class CBitmap {
public:
    // Reads the picture afresh; FALSE when the resource is missing or unreadable.
    BOOL LoadBitmap(UINT resourceId);
    const QImage& Image() const { return image_; }

private:
    QImage image_;
};
