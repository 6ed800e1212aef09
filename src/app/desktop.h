#pragma once
#include <optional>

// What the program asks of the display it runs on. The X11 build asks the
// X server; other builds answer from defaults.
namespace app {

struct KeyLocks {
    bool caps = false;
    bool num = false;
    bool scroll = false;
    bool operator==(const KeyLocks&) const = default;
};

// The lock keys' lights; nothing when the display cannot say.
std::optional<KeyLocks> QueryKeyLocks();

// Whether a window manager runs on the display. True when it cannot be
// told, so that only a display known to be bare gets special treatment.
bool HasWindowManager();

} // namespace app
