#pragma once
#include <string_view>
#include <vector>

#include "accounts/object_picker.h"
#include "platform/accounts.h"

namespace accounts {

// The users and groups the chooser offers, and the objects a typed name
// designates. Paths take the WinNT form the group lookup's names match:
// WinNT://DOMAIN/name, with the computer name as a local account's domain.
class AccountDirectory {
public:
    explicit AccountDirectory(platform::AccountServices& services) : m_services(services) {}

    // Regular users, then every group, in the system's order.
    std::vector<PickedObject> Enumerate();
    // The user and the group of that name, either possibly missing; blanks
    // around the name are ignored, and a name holding a NUL finds nothing.
    std::vector<PickedObject> Lookup(std::u16string_view typed);

    static PickedObject ToPickedObject(const platform::AccountRecord& record);

private:
    platform::AccountServices& m_services;
};

} // namespace accounts
