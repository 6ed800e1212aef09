#include "commands.h"

#include <iostream>

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    quillonctl::Args args(argv + 1, argv + argc);
    quillonctl::SetTeardownAtExit(true);
    int rc = quillonctl::Run(args, std::cout, std::cerr);
    std::cout.flush();
    return rc;
}
