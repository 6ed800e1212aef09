#include "commands.h"

#include "accounts/session_environment.h"
#include "journal/journal.h"
#include "platform/accounts.h"

#include <iostream>

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    accounts::SetSessionEnvironment();
    quillonctl::Args args(argv + 1, argv + argc);
    quillonctl::SetTeardownAtExit(true);
    const journal::Journal journal = journal::SystemJournal("quillonctl", *platform::CreateSystemAccountServices());
    int rc = quillonctl::Run(args, std::cout, std::cerr, journal);
    std::cout.flush();
    return rc;
}
