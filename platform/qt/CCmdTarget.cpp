#include "CCmdTarget.h"

namespace {
bool Matches(const MessageMapEntry& entry, const Msg& msg)
{
    if (entry.message != msg.message)
        return false;
    if (msg.message != WM_COMMAND)
        return true;
    return entry.id == msg.id && entry.code == msg.code;
}
}

const MessageMap* CCmdTarget::StaticMessageMap()
{
    static const MessageMap map{nullptr, {}};
    return &map;
}

bool CCmdTarget::Dispatch(const Msg& msg)
{
    for (const MessageMap* map = GetMessageMap(); map; map = map->base)
        for (const MessageMapEntry& entry : map->entries)
            if (Matches(entry, msg)) {
                entry.invoke(this, msg);
                return true;
            }
    return false;
}

Msg CCmdTarget::CommandMessage(UINT id)
{
    Msg msg;
    msg.message = WM_COMMAND;
    msg.id = id;
    return msg;
}

bool CCmdTarget::OnCmdMsg(UINT id)
{
    return Dispatch(CommandMessage(id));
}
