#pragma once
#include "config/records.h"

#include <memory>
#include <string>

namespace bench {

// A configuration shaped like a large site: every entry with a logon program
// and `locations` locations with realistic path lengths; `extra` more
// characters in each client folder make the file larger for the same counts.
inline CTSUserData MakeLarge(int entries, int locations, int extra = 0)
{
    CTSUserData data;
    for (int e = 0; e < entries; ++e) {
        auto name = u"QUILLONSRV\\user" + std::u16string(1, static_cast<char16_t>(u'a' + e % 26));
        for (char c : std::to_string(e))
            name.push_back(static_cast<char16_t>(c));
        // The names are unique by construction: no lookup per entry.
        data.m_items.push_back(std::make_unique<CTSUserDataItem>(name, e % 7 ? kEntryUser : kEntryGroup));
        CTSUserDataItem* item = data.m_items.back().get();
        item->m_script.m_strProgramPath = u"/usr/local/bin/logon-script-for-department";
        item->m_script.m_strArguments = u"--profile standard --verbose";
        item->m_script.m_strDisplayName = u"Department logon";
        item->m_script.m_strWorkingDirectory = u"/srv/logon";
        for (int l = 0; l < locations; ++l) {
            CTSAppDataItem loc;
            loc.m_strName = u"Loc " + std::u16string(1, static_cast<char16_t>(u'0' + l));
            loc.m_strServerLocation = u"/srv/p/%USERNAME%/" + loc.m_strName;
            loc.m_strClientLocation = u"/home/%USERNAME%/" + std::u16string(static_cast<std::size_t>(extra), u'd')
                + loc.m_strName;
            loc.m_nOverwriteMode = 101;
            loc.m_bSyncEnabled = 1;
            loc.m_nConnectAction = l % 5;
            loc.m_visualOptions.m_strImagePath = u"/usr/share/backgrounds/dept.png";
            item->m_locations.m_items.push_back(std::move(loc));
        }
    }
    return data;
}

} // namespace bench
