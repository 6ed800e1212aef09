#include "accounts/account_directory.h"

#include "config/text.h"

namespace accounts {

namespace {

std::u16string_view Trimmed(std::u16string_view s)
{
    auto blank = [](char16_t c) { return c == u' ' || c == u'\t'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::vector<PickedObject> Convert(const std::vector<platform::AccountRecord>& records)
{
    std::vector<PickedObject> out;
    out.reserve(records.size());
    for (const auto& r : records)
        out.push_back(AccountDirectory::ToPickedObject(r));
    return out;
}

} // namespace

std::vector<PickedObject> AccountDirectory::Enumerate()
{
    return Convert(m_services.EnumerateAccounts());
}

std::vector<PickedObject> AccountDirectory::Lookup(std::u16string_view typed)
{
    typed = Trimmed(typed);
    // The system's lookup would stop at a NUL and find another name.
    if (typed.empty() || typed.find(u'\0') != std::u16string_view::npos)
        return {};
    return Convert(m_services.FindAccounts(config::ToUtf8(typed)));
}

PickedObject AccountDirectory::ToPickedObject(const platform::AccountRecord& record)
{
    const bool user = record.kind == platform::AccountRecord::Kind::User;
    PickedObject o;
    o.name = config::FromUtf8(record.name);
    o.className = user ? u"user" : u"group";
    o.adsPath = u"WinNT://" + config::FromUtf8(record.domain) + u'/' + o.name;
    if (user && !record.fullName.empty())
        o.description = config::FromUtf8(record.fullName);
    // The usual mapping of Unix ids into SIDs.
    o.objectSid = config::FromUtf8((user ? "S-1-22-1-" : "S-1-22-2-") + std::to_string(record.id));
    return o;
}

} // namespace accounts
