// A program for the process tests: writes its process id, its process
// group, its working directory and its arguments, each followed by a NUL
// byte, to the file named by PROBE_OUT, then ends (or, with PROBE_WAIT set,
// waits to be ended).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

int main(int argc, char** argv)
{
    const char* out = std::getenv("PROBE_OUT");
    if (!out)
        return 2;
    char cwd[4096];
    if (!::getcwd(cwd, sizeof cwd))
        return 3;
    // Written aside and renamed, so that a reader never sees half of it.
    std::string temp = std::string(out) + ".part";
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f)
        return 4;
    std::fprintf(f, "%d%c%d%c", static_cast<int>(::getpid()), 0, static_cast<int>(::getpgrp()), 0);
    std::fwrite(cwd, 1, std::strlen(cwd) + 1, f);
    for (int i = 0; i < argc; ++i)
        std::fwrite(argv[i], 1, std::strlen(argv[i]) + 1, f);
    if (std::fclose(f) != 0 || std::rename(temp.c_str(), out) != 0)
        return 5;
    if (std::getenv("PROBE_WAIT"))
        for (;;)
            ::pause();
    return 0;
}
