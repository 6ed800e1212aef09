#include "app/desktop.h"

namespace app {

std::optional<KeyLocks> QueryKeyLocks() { return std::nullopt; }

bool HasWindowManager() { return true; }

} // namespace app
