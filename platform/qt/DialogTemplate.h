#pragma once
// Dialog templates as data: controls with their ids, kinds, styles and texts,
// placed in dialog units (a quarter of the average letter width across, an
// eighth of the character height down; DialogLayout.h converts them).
#include <string>
#include <vector>

struct DialogControl {
    enum class Kind { Static, Edit, MultiLineEdit, Button, DefaultButton, Icon, ComboBox, ListBox, Slider, RadioFirst, Radio };
    Kind kind;
    int id;  // -1 for controls nobody addresses
    int x, y, width, height;
    std::string text;
    bool hidden = false;
    bool readOnly = false;
    bool border = true;
    int maxChars = 0;  // 0: no limit
    // A control without a tab stop is skipped by Tab and by the first focus.
    bool tabStop = true;
    // A number field must have room for every whole number from fitLow to fitHigh.
    int fitLow = 0;
    int fitHigh = -1;
};

struct DialogTemplate {
    int id;
    std::string caption;
    int width, height;
    std::vector<DialogControl> controls;
};

// The template with that resource id, or nullptr.
const DialogTemplate* FindDialogTemplate(int id);
