#include "transfer/expand_path.h"

#include "config/text.h"
#include "platform/environment.h"

namespace transfer {

std::u16string ExpandReferences(std::u16string_view text, const VariableLookup& lookup)
{
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] != u'%') {
            out.push_back(text[i++]);
            continue;
        }
        const std::size_t close = text.find(u'%', i + 1);
        if (close == std::u16string_view::npos) {
            out.append(text.substr(i));
            break;
        }
        const std::u16string_view name = text.substr(i + 1, close - i - 1);
        std::optional<std::u16string> value;
        if (!name.empty())
            value = lookup(name);
        if (value)
            out.append(*value);
        else
            out.append(text.substr(i, close - i + 1));
        i = close + 1;
    }
    return out;
}

bool ExpandPath(std::u16string_view path, std::u16string& out, const VariableLookup& lookup)
{
    std::u16string expanded = ExpandReferences(path, lookup);
    if (expanded.size() + 1 > kExpandBufferSize) {
        out.clear();
        return false;
    }
    out = std::move(expanded);
    return true;
}

bool ExpandPath(std::u16string_view path, std::u16string& out)
{
    return ExpandPath(path, out, [](std::u16string_view name) -> std::optional<std::u16string> {
        if (auto value = platform::LookupEnvironmentVariable(config::ToUtf8(name)))
            return config::FromUtf8(*value);
        return std::nullopt;
    });
}

} // namespace transfer
