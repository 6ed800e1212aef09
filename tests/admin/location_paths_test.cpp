#include <gtest/gtest.h>

#include "admin/location_paths.h"

namespace {

// The transfer tool expands a client folder in the user's own session, so
// the editor takes the forms that become absolute there.
TEST(IsClientPath, AbsoluteOrMadeAbsoluteByTheTransferTool)
{
    const std::pair<std::u16string_view, bool> cases[] = {
        {u"/home/anna/docs", true},
        {u"~/thinclient_drives/C/docs", true},
        {u"%HOME%/thinclient_drives/C", true},
        {u"~anna/docs", false},  // another user's home is not the session's own
        {u"~", false},
        {u"%%", false},
        {u"%HOME", false},
        {u"docs", false},
        {u"", false},
    };
    for (const auto& [path, valid] : cases)
        EXPECT_EQ(admin::IsClientPath(path), valid) << std::string(path.begin(), path.end());
}

} // namespace
