#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>

// Builds byte strings for file-format tests from readable pieces.
namespace testbytes {

inline std::string Bytes(std::initializer_list<int> b)
{
    std::string s;
    for (int v : b)
        s.push_back(static_cast<char>(v));
    return s;
}

inline std::string U32(std::uint32_t v)
{
    return Bytes({int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF), int(v >> 24)});
}

// A string in the UTF-16 form the program writes (short lengths only).
inline std::string Wide(const std::u16string& s)
{
    std::string r = Bytes({0xFF, 0xFE, 0xFF, int(s.size())});
    for (char16_t c : s)
        r += Bytes({c & 0xFF, c >> 8});
    return r;
}

inline const std::string kEmpty = Wide(u"");

// The default script block.
inline const std::string kDefaultScript = kEmpty + U32(1) + kEmpty + kEmpty + U32(0) + U32(1) + kEmpty + U32(0);

} // namespace testbytes
