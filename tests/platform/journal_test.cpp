#include <gtest/gtest.h>

#include <string>

#include "platform/journal.h"
#include "support/journal_listener.h"
#include "support/temp_files.h"

using platform::JournalFields;

namespace {

std::string Length(std::uint64_t n)
{
    std::string bytes;
    for (int i = 0; i < 8; ++i, n >>= 8)
        bytes += static_cast<char>(n & 0xff);
    return bytes;
}

} // namespace

// Plain values as NAME=value lines; a value with a newline in the length-prefixed form.
TEST(JournalEncoding, FieldsAreLinesAndNewlinesGoLengthPrefixed)
{
    const struct {
        JournalFields fields;
        std::string expected;
    } cases[] = {
        {{{"MESSAGE", "hello"}}, "MESSAGE=hello\n"},
        {{{"A", ""}, {"B", "x=y"}}, "A=\nB=x=y\n"},
        {{{"COMMAND", "two\nlines"}}, "COMMAND\n" + Length(9) + "two\nlines\n"},
        {{{"BIN", std::string("a\0\nb", 4)}}, "BIN\n" + Length(4) + std::string("a\0\nb", 4) + "\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::EncodeJournalFields(c.fields), c.expected);
        EXPECT_EQ(testjournal::Decode(c.expected).size(), c.fields.size());
    }
}

// A record reaches the socket whole, a record larger than a datagram too
// (as a memory file), and a missing socket costs the caller nothing.
TEST(JournalSink, RecordsReachTheSocketWhateverTheirSize)
{
    testjournal::Listener listener(testfiles::ScratchDir("journal-sink"));
    const auto sink = platform::CreateSystemJournalSink(listener.Path());
    const std::string big(600 * 1024, 'x');
    sink->Send({{"MESSAGE", "small"}, {"QUILLON_EVENT", "test"}});
    sink->Send({{"MESSAGE", "big"}, {"QUILLON_DATA", big}});
    const auto records = listener.Take();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(testjournal::Field(records[0], "QUILLON_EVENT"), "test");
    EXPECT_EQ(testjournal::Field(records[1], "QUILLON_DATA"), big);

    platform::CreateSystemJournalSink(listener.Path() + ".absent")->Send({{"MESSAGE", "nobody listens"}});
}
