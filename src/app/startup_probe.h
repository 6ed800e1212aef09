#pragma once
#include <chrono>

class QWidget;

namespace app {

// For measuring start-up: with QUILLON_EXIT_AFTER_SHOW set in the
// environment, the program writes to standard error how long it took from
// `start` until the window was first painted, and quits after the number of
// milliseconds the variable gives (0 when it is no number). Without the
// variable nothing happens.
void ArmStartupProbe(QWidget& window, std::chrono::steady_clock::time_point start);

} // namespace app
