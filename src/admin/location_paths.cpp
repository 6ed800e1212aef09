#include "admin/location_paths.h"

#include "transfer/expand_path.h"

namespace admin {

bool IsDrivePath(std::u16string_view text) { return !text.empty() && text.front() == u'/'; }

bool IsClientPath(std::u16string_view text)
{
    if (IsDrivePath(text) || text.starts_with(u"~/"))
        return true;
    // %NAME% first, with a name in it.
    return text.size() > 2 && text.front() == u'%' && text.find(u'%', 2) != std::u16string_view::npos;
}

bool EndsWithSeparator(std::u16string_view text) { return text.size() > 1 && text.back() == u'/'; }

bool IsValidDriveOrDir(std::u16string_view text, bool expand)
{
    std::u16string copy(text);
    if (expand) {
        std::u16string expanded;
        if (transfer::ExpandPath(copy, expanded))
            copy = std::move(expanded);
    }
    return IsDrivePath(copy);
}

bool IsCreatableFolder(std::u16string_view text)
{
    return IsDrivePath(text) && text.find_first_not_of(u'/') != std::u16string_view::npos;
}

std::u16string WithoutTrailingSeparator(std::u16string text)
{
    if (EndsWithSeparator(text))
        text.pop_back();
    return text;
}

} // namespace admin
