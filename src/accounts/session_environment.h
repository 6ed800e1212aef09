#pragma once

#include "accounts/net_management.h"

namespace accounts {

// Gives the process USERNAME, USERDOMAIN and COMPUTERNAME where its
// environment lacks them (unset or empty), from the account lookup, so that
// locations written as "/home/%USERNAME%" work as they do on Windows. A
// variable that is set keeps its value; one whose lookup fails stays unset.
void SetSessionEnvironment(NetManagement& net);
// The same over the system's account services; called at program start.
void SetSessionEnvironment();

} // namespace accounts
