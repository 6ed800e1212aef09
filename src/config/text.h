#pragma once
#include <string>
#include <string_view>

// Text helpers for the configuration's UTF-16 strings. The records keep the
// exact UTF-16 code units read from a file, so that files round-trip byte for
// byte even when they hold text that is not valid Unicode.
namespace config {

// UTF-8 to UTF-16; invalid sequences become U+FFFD.
std::u16string FromUtf8(std::string_view utf8);
// UTF-16 to UTF-8; unpaired surrogates become U+FFFD. `lossless` (when given)
// tells whether the text converted without replacement.
std::string ToUtf8(std::u16string_view utf16, bool* lossless = nullptr);

// One Windows-1252 byte as UTF-16. The five unassigned bytes map to the
// control character of the same value, as Windows does.
char16_t FromWindows1252(unsigned char byte);

// Case-insensitive comparison of account names: simple one-to-one case folding
// of ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic letters.
char16_t FoldCase(char16_t c);
bool EqualsNoCase(std::u16string_view a, std::u16string_view b);

} // namespace config
