#include "ResourceTables.h"

namespace {
const ResourceSet* installed = nullptr;

template <class Entry>
const Entry* FindById(const std::vector<Entry>& entries, UINT id)
{
    for (const Entry& entry : entries)
        if (entry.id == id)
            return &entry;
    return nullptr;
}
}  // namespace

void AfxSetResources(const ResourceSet* resources)
{
    installed = resources;
}

const MenuResource* AfxFindMenu(UINT id)
{
    return installed ? FindById(installed->menus, id) : nullptr;
}

const AcceleratorTableResource* AfxFindAccelerators(UINT id)
{
    return installed ? FindById(installed->acceleratorTables, id) : nullptr;
}

bool AfxLoadString(UINT id, CString& text)
{
    const StringResource* entry = installed ? FindById(installed->strings, id) : nullptr;
    if (!entry)
        return false;
    text = entry->text;
    return true;
}
