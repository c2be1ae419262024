#include "DialogResources.h"

#include "DialogTemplate.h"

#include <vector>

namespace {

using Kind = DialogControl::Kind;

// An edit field for a whole number that must show every value from low to high.
DialogControl NumberField(int id, int x, int y, int width, int height, int low, int high)
{
    DialogControl field{Kind::Edit, id, x, y, width, height, ""};
    field.fitLow = low;
    field.fitHigh = high;
    return field;
}

// A read-only field without border or tab stop, that shows a text it is given.
DialogControl ShownText(int id, int x, int y, int width, int height)
{
    DialogControl field{Kind::Edit, id, x, y, width, height, ""};
    field.readOnly = true;
    field.border = false;
    field.tabStop = false;
    return field;
}

// Five rows of the same shape, then the quiet window and the buttons.
DialogTemplate ScheduleTemplate()
{
    DialogTemplate t{IDD_SCHEDULE, "So, What Do You Want the Vorn to do?", 300, 271, {}};
    for (const ScheduleRowIds& row : kScheduleRows) {
        const int y = row.top;
        t.controls.insert(t.controls.end(), {
            {Kind::Static, -1, 7, y - 11, 113, 8, "Play This Noise"},
            {Kind::ComboBox, row.noiseList, 7, y, 113, 12, ""},
            {Kind::Static, -1, 133, y - 11, 30, 8, "Every"},
            NumberField(row.hours, 133, y, 12, 12, 0, 24),
            {Kind::Static, -1, 146, y + 2, 9, 8, "hr"},
            NumberField(row.minutes, 155, y, 18, 12, 0, 59),
            {Kind::Static, -1, 174, y + 2, 14, 8, "min"},
            {Kind::Slider, row.slider, 126, y + 14, 58, 13, ""},
            {Kind::Static, -1, 191, y - 11, 25, 8, "Repeat"},
            NumberField(row.repeat, 191, y, 20, 12, 1, 9),
            {Kind::RadioFirst, row.random, 223, y - 5, 45, 10, "Random"},
            {Kind::Radio, row.exact, 223, y + 6, 45, 10, "Exact"},
        });
    }
    t.controls.insert(t.controls.end(), {
        {Kind::Static, -1, 33, 223, 50, 8, "Be quiet from"},
        NumberField(IDC_QUIET_FROM, 7, 238, 20, 12, 1, 12),
        {Kind::RadioFirst, IDC_QUIET_FROM_AM, 31, 234, 28, 10, "am"},
        {Kind::Radio, IDC_QUIET_FROM_PM, 31, 245, 28, 10, "pm"},
        {Kind::Static, -1, 64, 239, 14, 8, "to "},
        NumberField(IDC_QUIET_TO, 81, 238, 20, 12, 1, 12),
        {Kind::RadioFirst, IDC_QUIET_TO_AM, 105, 234, 28, 10, "am"},
        {Kind::Radio, IDC_QUIET_TO_PM, 105, 245, 28, 10, "pm"},
        {Kind::Button, IDC_EDIT_NOISES, 136, 250, 50, 14, "Edit Noises"},
        {Kind::Button, IDC_PREVIEW, 190, 250, 50, 14, "Preview"},
        {Kind::Button, 1, 243, 250, 50, 14, "OK"},
        {Kind::DefaultButton, IDC_SCHEDULE_DUMMY, 243, 235, 50, 14, "dummy", true},
    });
    return t;
}

const std::vector<DialogTemplate> kTemplates = {
    {IDD_ABOUTBOX, "About qwendrik", 310, 55, {
        {Kind::Icon, -1, 7, 15, 21, 20, ":/res/128.png"},
        {Kind::Static, -1, 40, 10, 200, 8, ""},
        {Kind::DefaultButton, 1, 271, 7, 32, 14, "OK"},
    }},
    {IDD_NOISES, "Add or Delete Noises", 317, 166, {
        {Kind::ListBox, IDC_NOISE_LIST, 20, 15, 274, 118, ""},
        {Kind::Button, IDC_ADD_NOISE, 103, 145, 64, 14, "Add a Noise"},
        {Kind::Button, IDC_DELETE_NOISE, 173, 145, 64, 14, "Delete This Noise"},
        {Kind::DefaultButton, 1, 246, 145, 64, 14, "OK"},
    }},
    {IDD_NAME_EVENT, "Name the Event", 250, 95, {
        {Kind::Static, -1, 15, 14, 217, 11, "What do you want to call the event in"},
        ShownText(IDC_FILE_NAME, 44, 33, 145, 12),
        {Kind::Edit, IDC_EVENT_NAME, 15, 53, 219, 15, ""},
        {Kind::Button, 2, 136, 74, 50, 14, "Cancel"},
        {Kind::Button, 1, 193, 74, 50, 14, "OK"},
    }},
    ScheduleTemplate(),
    {IDD_HELP, "What is this?", 311, 234, {
        {Kind::MultiLineEdit, IDC_TEXT, 7, 7, 297, 220, "", false, true, false},
        {Kind::DefaultButton, 1018, 261, 218, 43, 15, "Button1", true},
    }},
    {IDD_PROBLEMS, "Any errors?", 367, 218, {
        {Kind::DefaultButton, 1049, 310, 13, 50, 14, "Button3", true},
        {Kind::MultiLineEdit, IDC_TEXT, 7, 28, 353, 183, "", false, true, true},
        {Kind::Static, -1, 7, 13, 191, 12, "The Vorn had problems with these files:"},
        {Kind::DefaultButton, 1047, 155, 14, 30, 9, "Button2", true},
    }},
};

}  // namespace

const DialogTemplate* FindDialogTemplate(int id)
{
    for (const DialogTemplate& t : kTemplates)
        if (t.id == id)
            return &t;
    return nullptr;
}
