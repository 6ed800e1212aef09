// libFuzzer entry: any bytes must either read or be refused cleanly, and what
// reads must write back and read again to the same records.
#include "config/config_file.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    config::MemorySource source(data, size);
    CTSUserData first;
    if (!config::ReadConfiguration(source, first))
        return 0;
    config::StringSink sink;
    config::WriteConfiguration(sink, first);
    config::MemorySource again(sink.Bytes().data(), sink.Bytes().size());
    CTSUserData second;
    if (!config::ReadConfiguration(again, second) || !(first == second))
        std::abort();
    return 0;
}
