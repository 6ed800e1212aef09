#pragma once
#include <string>
#include <string_view>

// The path rules of the location editor. Where the classic program wants a
// drive path ("X:" first, "X:\" as a prefix) this program wants an absolute
// path: a '/' first. A trailing '/' is dropped, but "/" itself stays.
namespace admin {

// The text (expanded first when `expand` is set; a text that does not
// expand is checked as written) names a drive or folder. Whether it exists
// is not checked.
bool IsValidDriveOrDir(std::u16string_view text, bool expand);
// An absolute path, as written.
bool IsDrivePath(std::u16string_view text);
// A client folder: an absolute path, or one the transfer tool makes
// absolute in the user's session: a leading "~/" or a leading %NAME%
// reference (xrdp puts a client's drives in each user's own home).
bool IsClientPath(std::u16string_view text);
// One trailing separator less, when the path has one after something else.
std::u16string WithoutTrailingSeparator(std::u16string text);
bool EndsWithSeparator(std::u16string_view text);
// A folder "Create Folder" may make: absolute, as written, and more than
// the root (the classic rule wants a drive, a colon and something after).
bool IsCreatableFolder(std::u16string_view text);

} // namespace admin
