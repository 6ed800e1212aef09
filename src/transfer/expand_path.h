#pragma once
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Environment references in stored paths ("%USERNAME%"), expanded the same
// way on every platform and by every caller.
namespace transfer {

// The value of a variable, or nothing when it is not set.
using VariableLookup = std::function<std::optional<std::u16string>(std::u16string_view name)>;

// Replaces each %NAME% whose NAME is set by its value. A reference to a name
// that is not set stays as written, percent signs included, and scanning
// goes on after it; a lone '%' stays. Values are not expanded again.
std::u16string ExpandReferences(std::u16string_view text, const VariableLookup& lookup);

// Room for the expansion, counted in UTF-16 units with the terminating null,
// so the longest expansion is one unit shorter.
inline constexpr std::size_t kExpandBufferSize = 520;

// Expands `path` into `out`. When the expansion does not fit, `out` is left
// empty and the result is false.
bool ExpandPath(std::u16string_view path, std::u16string& out, const VariableLookup& lookup);
// The same over this process's environment.
bool ExpandPath(std::u16string_view path, std::u16string& out);

} // namespace transfer
