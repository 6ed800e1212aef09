#include "platform/journal.h"

#include <cstdint>

namespace platform {

std::string EncodeJournalFields(const JournalFields& fields)
{
    std::string out;
    for (const JournalField& f : fields) {
        out += f.name;
        if (f.value.find('\n') == std::string::npos) {
            out += '=';
            out += f.value;
        } else {
            out += '\n';
            std::uint64_t size = f.value.size();
            for (int i = 0; i < 8; ++i, size >>= 8)
                out += static_cast<char>(size & 0xff);
            out += f.value;
        }
        out += '\n';
    }
    return out;
}

} // namespace platform
