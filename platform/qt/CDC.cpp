#include "CDC.h"

#include <QPainter>
#include <QRect>

#include "CBitmap.h"
#include "WindowsMessages.h"

BOOL CDC::CreateCompatibleDC(CDC* /*dc*/)
{
    painter_ = nullptr;
    bitmap_ = nullptr;
    return TRUE;
}

CBitmap* CDC::SelectObject(CBitmap* bitmap)
{
    CBitmap* previous = bitmap_;
    bitmap_ = bitmap;
    return previous;
}

BOOL CDC::BitBlt(int x, int y, int width, int height, const CDC* source, int xSource, int ySource, DWORD rop)
{
    if (!painter_ || !source || !source->bitmap_ || rop != SRCCOPY)
        return FALSE;
    const QImage& image = source->bitmap_->Image();
    const QRect block = QRect(xSource, ySource, width, height).intersected(image.rect());
    if (block.isEmpty())
        return TRUE;
    painter_->save();
    painter_->setCompositionMode(QPainter::CompositionMode_Source);
    painter_->drawImage(QPoint(x + block.x() - xSource, y + block.y() - ySource), image, block);
    painter_->restore();
    return TRUE;
}
