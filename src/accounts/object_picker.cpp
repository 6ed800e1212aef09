#include "accounts/object_picker.h"

#include "config/records.h"
#include "config/text.h"

#include <algorithm>

namespace accounts {

bool NoCaseLess::operator()(std::u16string_view a, std::u16string_view b) const
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char16_t x, char16_t y) {
        return config::FoldCase(x) < config::FoldCase(y);
    });
}

int CObjectPicker::Init(std::int32_t mode)
{
    m_nMode = mode;
    return 0;
}

void CObjectPicker::ProcessSelections(const std::vector<PickedObject>& chosen)
{
    m_selections.clear();
    m_selections.resize(chosen.size());
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        const PickedObject& object = chosen[i];
        SelectionMap& map = m_selections[i];
        map[u"Name"] = object.name;
        map[u"Class"] = object.className;
        map[u"ADPath"] = object.adsPath;
        map[u"UPN"] = object.upn;
        if (m_nMode != kModeUsersAndGroups)
            continue;
        std::u16string domain;
        SplitADsPath(object.adsPath, &domain, nullptr);
        map[u"DomainName"] = domain;
        if (object.description)
            map[u"Description"] = *object.description;
        if (object.objectSid)
            map[u"objectSID"] = *object.objectSid;
    }
}

bool SplitADsPath(std::u16string_view path, std::u16string* domain, std::u16string* name)
{
    const auto last = path.rfind(u'/');
    if (last == std::u16string_view::npos || last == 0)
        return false;
    const auto before = path.rfind(u'/', last - 1);
    if (before == std::u16string_view::npos)
        return false;
    if (domain)
        *domain = path.substr(before + 1, last - before - 1);
    if (name)
        *name = path.substr(last + 1);
    return true;
}

std::u16string SelectionValue(const SelectionMap& selection, std::u16string_view key)
{
    auto it = selection.find(key);
    return it == selection.end() ? std::u16string() : it->second;
}

SelectionEntry EntryForSelection(const SelectionMap& selection)
{
    SelectionEntry entry;
    entry.name = SelectionValue(selection, u"DomainName") + u'\\' + SelectionValue(selection, u"Name");
    entry.type = config::EqualsNoCase(SelectionValue(selection, u"Class"), u"group") ? kEntryGroup : kEntryUser;
    return entry;
}

} // namespace accounts
