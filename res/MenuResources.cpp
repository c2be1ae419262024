#include "MenuResources.h"

const ResourceSet& MenuResources()
{
    static const ResourceSet resources{
        .menus = {{IDR_MAINFRAME,
                   {
                       {"&What Should I Do?", ID_WHAT_SHOULD_I_DO, {}},
                       {"&Turn Me On", ID_TURN_ME_ON, {}},
                       {"&Quit", ID_APP_EXIT, {}},
                       {"&Say Whut?", 0,
                        {
                            {"What is this?", ID_WHAT_IS_THIS, {}},
                            {"&About Hauntwatch", ID_APP_ABOUT, {}},
                            {"Any errors?", ID_PROBLEM_REPORT, {}},
                        }},
                   }}},
        .acceleratorTables = {{IDR_MAINFRAME,
                               {
                                   {"Ctrl+C", ID_WHAT_SHOULD_I_DO},
                                   {"Ctrl+T", ID_TURN_ME_ON},
                                   {"Ctrl+E", ID_PROBLEM_REPORT},
                                   {"Ctrl+N", ID_FILE_NEW},
                                   {"Ctrl+O", ID_FILE_OPEN},
                                   {"Ctrl+V", ID_EDIT_PASTE},
                                   {"Shift+Ins", ID_EDIT_PASTE},
                                   {"Ctrl+X", ID_EDIT_CUT},
                                   {"Shift+Del", ID_EDIT_CUT},
                                   {"Ctrl+Ins", ID_EDIT_COPY},
                                   {"Ctrl+Z", ID_EDIT_UNDO},
                                   {"Alt+Backspace", ID_EDIT_UNDO},
                                   {"F6", ID_NEXT_PANE},
                                   {"Shift+F6", ID_PREV_PANE},
                               }}},
        .strings = {
            {IDR_MAINFRAME, "Hauntwatch\n\nPlomax\nPlomax Files (*.hwt)\n.HWT\nQwendrik.Document\nPlomax Document"},
            {AFX_IDS_APP_TITLE, "qwendrik"},
            {ID_INDICATOR_CAPS, "CAP"},
            {ID_INDICATOR_NUM, "NUM"},
            {ID_INDICATOR_SCRL, "SCRL"},
        },
    };
    return resources;
}
