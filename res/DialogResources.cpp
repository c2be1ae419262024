#include "DialogResources.h"

#include "DialogTemplate.h"

namespace {

using Kind = DialogControl::Kind;

const DialogTemplate kTemplates[] = {
    {IDD_ABOUTBOX, "About qwendrik", 310, 55, {
        {Kind::Icon, -1, 7, 15, 21, 20, ":/res/128.png"},
        {Kind::Static, -1, 40, 10, 200, 8, ""},
        {Kind::DefaultButton, 1, 271, 7, 32, 14, "OK"},
    }},
    // FIXME: the rows and buttons of the schedule dialog.
    {134, "So, What Do You Want the Vorn to do?", 300, 271, {
        {Kind::DefaultButton, 1047, 0, 0, 10, 10, "dummy", true},
    }},
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
