#pragma once
// A drawing context: either a window's (a painter during a paint) or a memory
// context holding a selected bitmap, which serves as a copy source.
#include "WinTypes.h"

class CBitmap;
class QPainter;

class CDC {
public:
    // A memory context; it draws nothing itself.
    CDC() = default;
    explicit CDC(QPainter& painter) : painter_(&painter) {}

    BOOL CreateCompatibleDC(CDC* dc);
    // Returns the bitmap selected before.
    CBitmap* SelectObject(CBitmap* bitmap);
    // Copies the source's bitmap block unscaled; only the plain copy (SRCCOPY)
    // is known.  The part of the block beyond the bitmap is left untouched.
    BOOL BitBlt(int x, int y, int width, int height, const CDC* source, int xSource, int ySource, DWORD rop);

private:
    QPainter* painter_ = nullptr;
    CBitmap* bitmap_ = nullptr;
};
