#pragma once
// Message maps: each class that handles messages keeps a table from message
// (and, for WM_COMMAND, control id and notification code) to its handler.
// Dispatch walks the class's table, then its base class's; a message nobody
// lists is left to default processing.
#include <vector>

#include "WindowsMessages.h"

class CCmdTarget;

// One delivered message.  Only the fields its kind uses are set.
struct Msg {
    UINT message = 0;
    UINT id = 0;        // WM_COMMAND: command or control id; WM_TIMER: timer id
    UINT code = 0;      // WM_COMMAND: notification code (0 for menus and keys)
    UINT flags = 0;     // WM_LBUTTONDOWN: MK_ flags
    CPoint point;       // WM_LBUTTONDOWN: client coordinates
    UINT scrollCode = 0;  // WM_HSCROLL
    int scrollPos = 0;    // WM_HSCROLL
    void* control = nullptr;  // WM_HSCROLL: the CSliderCtrl / control object
    LPCREATESTRUCT createStruct = nullptr;  // WM_CREATE
    mutable int result = 0;   // WM_CREATE: the handler's answer, -1 refuses creation
};

struct MessageMapEntry {
    UINT message;
    UINT code;
    UINT id;
    void (*invoke)(CCmdTarget* target, const Msg& msg);
};

struct MessageMap {
    const MessageMap* base;
    std::vector<MessageMapEntry> entries;
};

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;

    // Runs the handler the map chain lists for the message; false when none does.
    bool Dispatch(const Msg& msg);
    // The WM_COMMAND message of a menu item or accelerator.
    static Msg CommandMessage(UINT id);
    // A command (menu item, accelerator) handled by this target alone.  Windows
    // that route further (view -> document -> frame -> application) override it.
    virtual bool OnCmdMsg(UINT id);

    virtual const MessageMap* GetMessageMap() const { return StaticMessageMap(); }
    static const MessageMap* StaticMessageMap();
};

#define DECLARE_MESSAGE_MAP()                                   \
public:                                                         \
    const MessageMap* GetMessageMap() const override;           \
    static const MessageMap* StaticMessageMap();

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                           \
    const MessageMap* theClass::GetMessageMap() const { return StaticMessageMap(); } \
    const MessageMap* theClass::StaticMessageMap()                       \
    {                                                                    \
        using ThisClass = theClass;                                      \
        static const MessageMap map{baseClass::StaticMessageMap(), {

#define END_MESSAGE_MAP() \
        }};               \
        return &map;      \
    }

#define ON_COMMAND(commandId, handler) \
    {WM_COMMAND, 0, static_cast<UINT>(commandId), [](CCmdTarget* t, const Msg&) { static_cast<ThisClass*>(t)->handler(); }},
#define ON_BN_CLICKED(controlId, handler) \
    {WM_COMMAND, BN_CLICKED, static_cast<UINT>(controlId), [](CCmdTarget* t, const Msg&) { static_cast<ThisClass*>(t)->handler(); }},
#define ON_CBN_SELCHANGE(controlId, handler) \
    {WM_COMMAND, CBN_SELCHANGE, static_cast<UINT>(controlId), [](CCmdTarget* t, const Msg&) { static_cast<ThisClass*>(t)->handler(); }},
#define ON_WM_LBUTTONDOWN() \
    {WM_LBUTTONDOWN, 0, 0, [](CCmdTarget* t, const Msg& m) { static_cast<ThisClass*>(t)->OnLButtonDown(m.flags, m.point); }},
#define ON_WM_TIMER() \
    {WM_TIMER, 0, 0, [](CCmdTarget* t, const Msg& m) { static_cast<ThisClass*>(t)->OnTimer(m.id); }},
#define ON_WM_PAINT() \
    {WM_PAINT, 0, 0, [](CCmdTarget* t, const Msg&) { static_cast<ThisClass*>(t)->OnPaint(); }},
#define ON_WM_HSCROLL() \
    {WM_HSCROLL, 0, 0, [](CCmdTarget* t, const Msg& m) { static_cast<ThisClass*>(t)->OnHScroll(m.scrollCode, m.scrollPos, m.control); }},
#define ON_WM_CREATE() \
    {WM_CREATE, 0, 0, [](CCmdTarget* t, const Msg& m) { m.result = static_cast<ThisClass*>(t)->OnCreate(m.createStruct); }},
