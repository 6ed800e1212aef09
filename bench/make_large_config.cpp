// Writes the large benchmark configuration to a file, for measuring the
// command-line tools on it: make_large_config OUT [ENTRIES] [LOCATIONS] [EXTRA]
#include "config/config_file.h"
#include "large_config.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_large_config OUT [ENTRIES] [LOCATIONS] [EXTRA]\n");
        return 2;
    }
    int entries = argc > 2 ? std::atoi(argv[2]) : 20000;
    int locations = argc > 3 ? std::atoi(argv[3]) : 10;
    int extra = argc > 4 ? std::atoi(argv[4]) : 0;
    auto r = config::SaveConfigurationFile(argv[1], bench::MakeLarge(entries, locations, extra));
    if (!r) {
        std::fprintf(stderr, "%s\n", r.message.c_str());
        return 1;
    }
    return 0;
}
