// libFuzzer entry: any bytes must either read or be refused cleanly, and what
// reads must write back and read again to the same records. The profile-only
// read must fail exactly where the full read fails and build the entry the
// full read holds, read from memory or through a window fed a few bytes at a
// time. Bytes the walk finds in the writer's form must be what
// writing their records gives.
#include "config/config_file.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// Hands out the input a few bytes per read, the count taken from its size.
class Trickle final : public config::ChunkSource {
public:
    Trickle(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size), m_step(1 + size % 7) {}
    std::uint64_t Size() const override { return m_size; }
    std::size_t Read(void* out, std::size_t n) override
    {
        n = std::min({n, m_step, m_size - m_at});
        if (n)
            std::memcpy(out, m_data + m_at, n);
        m_at += n;
        return n;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size, m_step, m_at = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const config::MemorySource source(data, size);
    CTSUserData first;
    const config::StoreResult full = config::ReadConfiguration(source, first);

    // Ranks by the name's length, so that later entries replace earlier ones.
    const auto rank = [](const std::u16string& name) -> std::size_t { return name.size() % 3; };
    CTSUserData part;
    const config::StoreResult profile = config::ReadConfiguration(source, part, rank);
    if (full.ok != profile.ok || full.cause != profile.cause || full.offset != profile.offset
        || full.entries != profile.entries || full.locations != profile.locations)
        std::abort();
    Trickle trickle(data, size);
    CTSUserData windowed;
    const config::StoreResult throughWindow = config::ReadConfiguration(trickle, windowed, rank);
    if (throughWindow.ok != profile.ok || throughWindow.offset != profile.offset
        || throughWindow.message != profile.message || !(windowed == part))
        std::abort();
    bool writerForm = false;
    const config::StoreResult walk = config::WalkConfiguration(source, writerForm);
    if (full.ok != walk.ok || full.offset != walk.offset || full.entries != walk.entries)
        std::abort();
    if (!full)
        return 0;
    const CTSUserDataItem* best = nullptr;
    for (const auto& entry : first.m_items) {
        const std::size_t r = rank(entry->m_strName);
        if (r && (!best || r < rank(best->m_strName)))
            best = entry.get();
    }
    if (part.GetSize() != (best ? 1u : 0u) || (best && !(part.GetAt(0) == *best)))
        std::abort();

    config::StringSink sink;
    config::WriteConfiguration(sink, first);
    CTSUserData second;
    if (!config::ReadConfiguration(config::MemorySource(sink.Bytes().data(), sink.Bytes().size()), second)
        || !(first == second) || (writerForm && sink.Bytes() != std::string(reinterpret_cast<const char*>(data), size))
        || sink.Bytes() != [&] {
               config::StringSink again;
               config::WriteConfiguration(again, second);
               return again.Bytes();
           }())
        std::abort();
    return 0;
}
