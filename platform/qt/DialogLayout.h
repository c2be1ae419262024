#pragma once
// Where a dialog template's controls go in pixels.  Dialog units follow the
// old framework: a horizontal unit is a quarter of the dialog font's average
// letter width, a vertical one an eighth of its height, and each edge of a
// rectangle is converted on its own with rounding.  A control whose text
// would be cut off grows into free space beside or below it; where the
// template leaves none, the whole dialog is scaled until every text fits.
#include <QFont>
#include <QRect>
#include <QSize>
#include <vector>

#include "DialogTemplate.h"

class QWidget;

struct DialogUnits {
    explicit DialogUnits(const QFont& font);
    DialogUnits(int baseX, int baseY) : baseX(baseX), baseY(baseY) {}
    // Pixels of 4 horizontal and of 8 vertical dialog units.
    int baseX;
    int baseY;

    QRect Rect(int x, int y, int width, int height, double scale = 1.0) const;
    int Width(int dialogUnits, double scale = 1.0) const;
};

struct DialogLayout {
    QSize size;
    std::vector<QRect> geometry;  // one per template control, in template order
    double scale = 1.0;
};

// `needed[i]` is what control i must have to show its whole text; an empty
// size asks for nothing.
DialogLayout FitDialog(const DialogTemplate& dialog, const DialogUnits& units, const std::vector<QSize>& needed);

// What `control`, made for `item`, needs to show its whole text (or, for a
// number field, its widest valid value), measured as the text's advance plus
// what the control's style adds around it; empty when it shows no text.
QSize NeededSize(const DialogControl& item, const QWidget& control);
