#include <cstdio>

#include "app/program_info.h"
#include "app/run_quillon.h"

int main(int argc, char** argv)
{
    // --help and --version need no display and open no window.
    if (const auto text = app::InformationText({argv + 1, argv + argc})) {
        std::fputs(text->c_str(), stdout);
        return 0;
    }
    return app::RunQuillon(argc, argv);
}
