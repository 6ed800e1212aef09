#include "commands.h"

#include "accounts/session_environment.h"

#include <iostream>

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    accounts::SetSessionEnvironment();
    quillonctl::Args args(argv + 1, argv + argc);
    quillonctl::SetTeardownAtExit(true);
    int rc = quillonctl::Run(args, std::cout, std::cerr);
    std::cout.flush();
    return rc;
}
