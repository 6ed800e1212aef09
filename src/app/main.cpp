#include "app/run_quillon.h"

int main(int argc, char** argv) { return app::RunQuillon(argc, argv); }
