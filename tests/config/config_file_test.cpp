#include "config/config_file.h"
#include "config/bytes.h"
#include "config/text.h"
#include "platform/files.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace config;
using namespace testbytes;
namespace fs = std::filesystem;

namespace {

std::string Write(const CTSUserData& data)
{
    StringSink sink;
    WriteConfiguration(sink, data);
    return sink.Bytes();
}

StoreResult Read(const std::string& bytes, CTSUserData& out)
{
    MemorySource src(bytes.data(), bytes.size());
    return ReadConfiguration(src, out);
}

// A location in the old layout (items 1 to 11).
std::string OldLocation(const std::u16string& name)
{
    return Wide(name) + Wide(u"/srv") + Wide(u"/cli") + U32(101) + U32(1) + U32(0) + U32(1) + U32(1) + U32(0) + U32(3)
        + U32(1);
}

std::string NewLocationTail(bool showTasks, int rawBool)
{
    return U32(1) + Bytes({showTasks ? rawBool : 0}) + Wide(u"/i") + U32(16) + U32(4);
}

std::string OneEntryFile(std::uint32_t schema, const std::string& locations, std::uint32_t count)
{
    return U32(schema) + U32(1) + U32(1) + Wide(u"D\\u") + U32(count) + locations + kDefaultScript;
}

CTSUserData Sample()
{
    CTSUserData data;
    CTSUserDataItem* u = data.Add(u"HOST\\anna", kEntryUser, false);
    CTSAppDataItem l;
    l.m_strName = u"Documents \u00E9\u20AC";
    l.m_strServerLocation = u"/srv/%USERNAME%";
    l.m_strClientLocation = std::u16string(300, u'c');
    l.m_nOverwriteMode = 1042;
    l.m_bSyncEnabled = 1;
    l.m_nConnectAction = 4;
    l.m_visualOptions.m_bShowCommonTasks = true;
    l.m_visualOptions.m_nViewStyle = 7;
    u->m_locations.Add(l, false);
    u->m_script.m_strProgramPath = u"/usr/bin/logon";
    u->m_script.m_nTimeout = -1;
    u->m_script.m_bEnabled = 1;
    data.Add(u"HOST\\staff", kEntryGroup, false);
    return data;
}

fs::path TempDir()
{
    return testfiles::ScratchDir("config");
}

} // namespace

TEST(ConfigFormat, EmptyConfigurationIsEightBytes)
{
    CTSUserData empty;
    EXPECT_EQ(Write(empty), Bytes({0xEB, 0x03, 0, 0, 0, 0, 0, 0}));
    CTSUserData back;
    back.Add(u"D\\x", 1, false);
    ASSERT_TRUE(Read(Write(empty), back));
    EXPECT_EQ(back.GetSize(), 0u);
}

TEST(ConfigFormat, GroupWithoutLocationsIs58Bytes)
{
    const std::string expected = Bytes({0xEB, 0x03, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 0xFF, 0xFE, 0xFF, 3, 0x41, 0, 0x5C,
                                        0, 0x42, 0, 0, 0, 0, 0, 0xFF, 0xFE, 0xFF, 0, 1, 0, 0, 0, 0xFF, 0xFE, 0xFF,
                                        0, 0xFF, 0xFE, 0xFF, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0xFF, 0xFE, 0xFF, 0, 0, 0, 0,
                                        0});
    ASSERT_EQ(expected.size(), 58u);
    CTSUserData data;
    data.Add(u"A\\B", kEntryGroup, false);
    EXPECT_EQ(Write(data), expected);

    CTSUserData back;
    ASSERT_TRUE(Read(expected, back));
    EXPECT_EQ(back, data);
}

TEST(ConfigFormat, RoundTripIsExact)
{
    CTSUserData data = Sample();
    const std::string bytes = Write(data);
    CTSUserData back;
    StoreResult r = Read(bytes, back);
    ASSERT_TRUE(r) << r.message;
    EXPECT_EQ(r.schema, 1003u);
    EXPECT_EQ(back, data);
    EXPECT_EQ(Write(back), bytes);
}

TEST(ConfigFormat, SchemasUpTo1001HaveNoVisualOptions)
{
    struct Case {
        std::uint32_t schema;
        bool hasTail;
    };
    for (Case c : {Case{1000, false}, Case{1001, false}, Case{1002, true}, Case{1003, true}, Case{5000, true}}) {
        std::string loc = OldLocation(u"L") + (c.hasTail ? NewLocationTail(true, 7) : "");
        CTSUserData data;
        StoreResult r = Read(OneEntryFile(c.schema, loc + loc.substr(0, 0), 1), data);
        ASSERT_TRUE(r) << c.schema << ": " << r.message;
        EXPECT_EQ(r.schema, c.schema);
        const CTSAppDataItem& l = data.GetAt(0).m_locations.GetAt(0);
        EXPECT_EQ(l.m_nConnectAction, 3);
        EXPECT_EQ(l.m_bRightMouseButton, 1);
        if (c.hasTail) {
            EXPECT_EQ(l.m_bExpandEnvironment, 1);
            EXPECT_TRUE(l.m_visualOptions.m_bShowCommonTasks);  // any non-zero byte
            EXPECT_EQ(l.m_visualOptions.m_strImagePath, u"/i");
            EXPECT_EQ(l.m_visualOptions.m_nImageStyle, 16);
        } else {
            EXPECT_EQ(l.m_bExpandEnvironment, 0);
            EXPECT_EQ(l.m_visualOptions, CLocationVisualOptions());
        }
    }
}

TEST(ConfigFormat, Schema1001WithTwoLocationsPassesTheSchemaToEach)
{
    CTSUserData data;
    ASSERT_TRUE(Read(OneEntryFile(1001, OldLocation(u"a") + OldLocation(u"b"), 2), data));
    ASSERT_EQ(data.GetAt(0).m_locations.GetSize(), 2u);
    EXPECT_EQ(data.GetAt(0).m_locations.GetAt(1).m_strName, u"b");

    // Written back in the current format with all sixteen fields.
    const std::string out = Write(data);
    EXPECT_EQ(out.substr(0, 4), U32(1003));
    CTSUserData again;
    ASSERT_TRUE(Read(out, again));
    EXPECT_EQ(again, data);
}

TEST(ConfigFormat, VisualBoolIsWrittenAsOne)
{
    CTSUserData data;
    ASSERT_TRUE(Read(OneEntryFile(1003, OldLocation(u"L") + NewLocationTail(true, 0x80), 1), data));
    const std::string out = Write(data);
    const std::string tail = NewLocationTail(true, 1);
    EXPECT_NE(out.find(tail), std::string::npos);
}

TEST(ConfigFormat, BytesAfterTheLastEntryAreIgnored)
{
    CTSUserData data;
    ASSERT_TRUE(Read(Write(Sample()) + "trailing", data));
    EXPECT_EQ(data, Sample());
}

TEST(ConfigFile, ARewriteKeepsBytesOnlyWhenTheyAreInTheWritersForm)
{
    const std::string written = Write(Sample());
    const std::string location = OldLocation(u"L") + NewLocationTail(true, 1);
    const std::string ansiName = U32(1003) + U32(1) + U32(1) + Bytes({3, 'D', '\\', 'u'}) + U32(0) + kDefaultScript;
    const std::string longLength = U32(1003) + U32(1) + U32(1) + Bytes({0xFF, 0xFE, 0xFF, 0xFF, 3, 0, 'D', 0, '\\', 0, 'u', 0})
        + U32(0) + kDefaultScript;
    struct Case {
        const char* name;
        std::string bytes;
        bool kept;
    } cases[] = {
        {"as written", written, true},
        {"one location", OneEntryFile(1003, location, 1), true},
        {"a one-byte string", ansiName, false},
        {"a longer length field than needed", longLength, false},
        {"a flag stored as 0x80", OneEntryFile(1003, OldLocation(u"L") + NewLocationTail(true, 0x80), 1), false},
        {"bytes after the last entry", written + "x", false},
        {"an older schema", OneEntryFile(1001, OldLocation(u"L"), 1), false},
        {"empty", "", false},
    };
    const fs::path dir = TempDir();
    for (const Case& c : cases) {
        CTSUserData expected;
        ASSERT_TRUE(Read(c.bytes, expected)) << c.name;
        testfiles::Put(dir / "in", c.bytes);
        CTSUserData out;
        platform::WholeFile asRead;
        ASSERT_TRUE(LoadForRewrite(dir / "in", out, asRead)) << c.name;
        EXPECT_EQ(bool(asRead.bytes), c.kept) << c.name;
        EXPECT_EQ(out.GetSize(), c.kept ? 0u : expected.GetSize()) << c.name;
        // Either way the file written is what writing the records gives.
        const StoreResult saved = c.kept ? SaveConfigurationBytes(dir / "out", asRead) : SaveConfigurationFile(dir / "out", out);
        ASSERT_TRUE(saved) << c.name;
        EXPECT_EQ(testfiles::Slurp(dir / "out"), Write(expected)) << c.name;
    }
    CTSUserData untouched;
    platform::WholeFile none;
    testfiles::Put(dir / "in", written.substr(0, 30));
    platform::RetryPolicy once;
    once.budget = std::chrono::milliseconds(0);
    once.minTries = 1;
    EXPECT_EQ(LoadForRewrite(dir / "in", untouched, none, once).cause, ArchiveCause::EndOfFile);
    EXPECT_FALSE(none.bytes);
}

TEST(ConfigFormat, EveryTruncationFailsCleanly)
{
    const std::string bytes = Write(Sample());
    for (std::size_t n = 1; n < bytes.size(); ++n) {
        CTSUserData out;
        out.Add(u"D\\keep", kEntryUser, false);
        StoreResult r = Read(bytes.substr(0, n), out);
        ASSERT_FALSE(r) << "truncated at " << n;
        EXPECT_EQ(r.cause, ArchiveCause::EndOfFile) << n;
        EXPECT_LE(r.offset, n) << n;
        EXPECT_NE(r.message.find("offset"), std::string::npos);
        // A failed read leaves the caller's configuration as it was.
        ASSERT_EQ(out.GetSize(), 1u) << n;
        EXPECT_EQ(out.GetAt(0).m_strName, u"D\\keep");
    }
}

TEST(ConfigFormat, DamagedCountsAreReportedWithCauseAndOffset)
{
    struct Case {
        const char* name;
        std::string bytes;
        ArchiveCause cause;
        std::uint64_t offset;
    };
    const Case cases[] = {
        {"entry count above 2^31-1", U32(1003) + U32(0x80000000), ArchiveCause::InvalidArgument, 4},
        {"entry count beyond the file", U32(1003) + U32(1000) + std::string(100, '\0'), ArchiveCause::EndOfFile, 4},
        {"location count beyond the file", OneEntryFile(1003, "", 0x7FFFFFFF), ArchiveCause::EndOfFile, 22},
        {"location count above 2^31-1", OneEntryFile(1003, "", 0xFFFFFFFF), ArchiveCause::InvalidArgument, 22},
        {"name with a 64-bit length", U32(1003) + U32(1) + U32(1) + Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF})
                                          + U32(0xFFFFFFFF) + U32(0) + U32(1) + std::string(64, '\0'),
         ArchiveCause::Generic, 12},
    };
    for (const auto& c : cases) {
        CTSUserData out;
        StoreResult r = Read(c.bytes, out);
        ASSERT_FALSE(r) << c.name;
        EXPECT_EQ(r.cause, c.cause) << c.name << ": " << r.message;
        EXPECT_EQ(r.offset, c.offset) << c.name << ": " << r.message;
        EXPECT_EQ(out.GetSize(), 0u);
    }
}

TEST(ConfigFile, EmptyFileIsAnEmptyConfiguration)
{
    auto path = TempDir() / "empty.QLNData";
    std::ofstream(path).close();
    CTSUserData data;
    data.Add(u"D\\x", kEntryUser, false);
    EXPECT_TRUE(LoadConfigurationFile(path, data));
    EXPECT_EQ(data.GetSize(), 0u);
}

TEST(ConfigFile, MissingFileIsFileNotFound)
{
    CTSUserData data;
    StoreResult r = LoadConfigurationFile(TempDir() / "absent.QLNData", data);
    EXPECT_FALSE(r);
    EXPECT_EQ(r.cause, ArchiveCause::FileNotFound);
}

TEST(ConfigFile, AFailedReadGivesTheIdentityTheNameShows)
{
    const fs::path dir = TempDir();
    const struct {
        const char* name;
        void (*make)(const fs::path&);
        bool exists;
    } cases[] = {
        {"damaged", [](const fs::path& p) { testfiles::Put(p, "\x01\x02\x03"); }, true},
        {"folder", [](const fs::path& p) { fs::create_directory(p); }, true},
        {"fifo", [](const fs::path& p) { ::mkfifo(p.c_str(), 0600); }, true},
        {"missing", [](const fs::path&) {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path path = dir / c.name;
        c.make(path);
        CTSUserData data;
        platform::FileIdentity read, now;
        platform::RetryPolicy once;
        once.budget = {};
        once.minTries = 1;
        EXPECT_FALSE(LoadConfigurationFile(path, data, {}, &read, once));
        ASSERT_FALSE(platform::IdentifyFile(path, now));
        EXPECT_EQ(read.exists, c.exists);
        EXPECT_EQ(read, now);
    }
}

TEST(ConfigFile, SaveCreatesReadableFileAndKeepsExistingBits)
{
    auto dir = TempDir();
    auto path = dir / "perm.QLNData";
    fs::remove(path);
    ASSERT_TRUE(SaveConfigurationFile(path, Sample()));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);

    ::chmod(path.c_str(), 0664);
    ASSERT_TRUE(SaveConfigurationFile(path, CTSUserData()));
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0664u);
    EXPECT_EQ(fs::file_size(path), 8u);

    // No temporary file is left beside it.
    std::size_t files = 0;
    for (auto& e : fs::directory_iterator(dir))
        files += e.path().filename().string().rfind("perm.QLNData", 0) == 0;
    EXPECT_EQ(files, 1u);
}

TEST(ConfigFile, SaveThroughALinkReplacesTheLinkedFile)
{
    auto dir = TempDir();
    auto real = dir / "real.QLNData";
    auto link = dir / "link.QLNData";
    fs::remove(real);
    fs::remove(link);
    ASSERT_TRUE(SaveConfigurationFile(real, CTSUserData()));
    fs::create_symlink(real, link);
    ASSERT_TRUE(SaveConfigurationFile(link, Sample()));
    EXPECT_TRUE(fs::is_symlink(link));
    CTSUserData back;
    ASSERT_TRUE(LoadConfigurationFile(real, back));
    EXPECT_EQ(back, Sample());
}

// Runs a save as an ordinary user: in a child process dropped to "nobody"
// when the tests run as root, in this process otherwise.
StoreResult SaveAsOrdinaryUser(const fs::path& path)
{
    if (::geteuid() != 0)
        return SaveConfigurationFile(path, CTSUserData());
    pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(3);
        StoreResult r = SaveConfigurationFile(path, CTSUserData());
        ::_exit(r.ok ? 1 : r.cause == ArchiveCause::AccessDenied ? 0 : 2);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    StoreResult r;
    r.ok = WIFEXITED(status) && WEXITSTATUS(status) == 1;
    r.cause = WIFEXITED(status) && WEXITSTATUS(status) == 0 ? ArchiveCause::AccessDenied : ArchiveCause::FileError;
    return r;
}

TEST(ConfigFile, FailedSaveLeavesTheOldFile)
{
    auto dir = TempDir() / "locked";
    fs::create_directories(dir);
    ::chmod(TempDir().c_str(), 0755);
    auto path = dir / "cfg.QLNData";
    ASSERT_TRUE(SaveConfigurationFile(path, Sample()));
    const auto before = fs::file_size(path);

    // A folder the saving user may not write into: no temporary file.
    ::chmod(dir.c_str(), 0555);
    StoreResult r = SaveAsOrdinaryUser(path);
    ::chmod(dir.c_str(), 0755);
    EXPECT_FALSE(r);
    EXPECT_EQ(r.cause, ArchiveCause::AccessDenied);
    EXPECT_EQ(fs::file_size(path), before);
}

TEST(ConfigFile, FailedRenameLeavesNoTemporaryFile)
{
    // The target is a folder: everything is written, the final rename fails.
    auto dir = TempDir() / "target-is-folder";
    fs::create_directories(dir / "child");
    StoreResult r = SaveConfigurationFile(dir, Sample());
    EXPECT_FALSE(r);
    EXPECT_TRUE(fs::is_directory(dir / "child"));
    for (auto& e : fs::directory_iterator(TempDir()))
        EXPECT_EQ(e.path().filename().string().find("target-is-folder."), std::string::npos) << e.path();
}

TEST(ConfigFile, SaveIntoMissingFolderIsNotFound)
{
    StoreResult r = SaveConfigurationFile(TempDir() / "no-such-folder" / "cfg.QLNData", Sample());
    EXPECT_FALSE(r);
    EXPECT_EQ(r.cause, ArchiveCause::FileNotFound);
}

TEST(ConfigFormat, FilteredReadKeepsMatchesButChecksEverything)
{
    const std::string bytes = Write(Sample());
    auto onlyStaff = [](const std::u16string& name) { return name == u"HOST\\staff"; };

    CTSUserData data;
    ASSERT_TRUE(Read(bytes, data));
    CTSUserData part;
    MemorySource src(bytes.data(), bytes.size());
    ASSERT_TRUE(ReadConfiguration(src, part, onlyStaff));
    ASSERT_EQ(part.GetSize(), 1u);
    EXPECT_EQ(part.GetAt(0), data.GetAt(1));

    // A damaged entry that would be dropped still fails the read.
    const std::string cut = bytes.substr(0, bytes.size() - 3);
    MemorySource damaged(cut.data(), cut.size());
    CTSUserData none;
    EXPECT_FALSE(ReadConfiguration(damaged, none, [](const std::u16string& name) { return name == u"HOST\\anna"; }));
    EXPECT_EQ(none.GetSize(), 0u);
}

namespace {

// An input handed out a few bytes per read, as a slow share may.
class Trickle final : public ChunkSource {
public:
    Trickle(const std::string& bytes, std::size_t step) : m_bytes(bytes), m_step(step) {}
    std::uint64_t Size() const override { return m_bytes.size(); }
    std::size_t Read(void* data, std::size_t n) override
    {
        n = std::min({n, m_step, m_bytes.size() - m_at});
        std::memcpy(data, m_bytes.data() + m_at, n);
        m_at += n;
        return n;
    }

private:
    const std::string& m_bytes;
    std::size_t m_step;
    std::size_t m_at = 0;
};

} // namespace

TEST(ConfigFormat, ProfileReadBuildsOnlyTheBestEntryAndFailsWhereAFullReadFails)
{
    CTSUserData three = Sample();
    CTSUserDataItem* dev = three.Add(u"HOST\\dev", kEntryGroup, false);
    dev->m_locations = three.GetAt(0).m_locations;
    dev->m_script.m_strArguments = u"-x";
    const std::string files[] = {Write(three), OneEntryFile(1001, OldLocation(u"a") + OldLocation(u"b"), 2)};
    using Ranks = std::vector<std::pair<std::u16string, std::size_t>>;
    const struct {
        Ranks ranks;
        const char16_t* built;  // where the file has it
    } cases[] = {
        {{{u"HOST\\anna", 1}, {u"HOST\\staff", 2}}, u"HOST\\anna"},
        {{{u"host\\DEV", 1}, {u"HOST\\anna", 2}}, u"HOST\\dev"},  // a later, better entry replaces
        {{{u"HOST\\staff", 1}, {u"HOST\\dev", 1}}, u"HOST\\staff"},  // the first of equal ranks
        {{{u"D\\u", 1}}, u"D\\u"},
    };
    for (const auto& c : cases) {
        const CTSUserData::EntryRank rank = [&](const std::u16string& name) -> std::size_t {
            for (const auto& [n, r] : c.ranks)
                if (EqualsNoCase(n, name))
                    return r;
            return 0;
        };
        for (std::size_t f = 0; f < std::size(files); ++f) {
            const std::string& bytes = files[f];
            CTSUserData full, part;
            ASSERT_TRUE(Read(bytes, full));
            const StoreResult r = ReadConfiguration(MemorySource(bytes.data(), bytes.size()), part, rank);
            ASSERT_TRUE(r) << r.message;
            EXPECT_EQ(r.entries, full.GetSize());
            EXPECT_EQ(r.locations, 2u);
            const CTSUserDataItem* want = full.Find(c.built);
            ASSERT_EQ(part.GetSize(), want ? 1u : 0u);
            if (want) {
                EXPECT_EQ(part.GetAt(0), *want);
            }
            // Cut anywhere or with a length byte spoilt, the profile read fails
            // exactly as the full read does.
            for (std::size_t n = 0; n < bytes.size(); ++n) {
                std::string spoilt = bytes;
                spoilt[n] = static_cast<char>(0xFF);
                for (const std::string& bad : {bytes.substr(0, n), spoilt}) {
                    CTSUserData a, b, c;
                    const StoreResult x = Read(bad, a);
                    Trickle trickle(bad, 1 + n % 5);
                    for (const StoreResult& y : {ReadConfiguration(MemorySource(bad.data(), bad.size()), b, rank),
                                                 ReadConfiguration(trickle, c, rank)}) {
                        EXPECT_EQ(x.ok, y.ok) << n;
                        EXPECT_EQ(x.cause, y.cause) << n;
                        EXPECT_EQ(x.offset, y.offset) << n;
                        EXPECT_EQ(x.message, y.message) << n;
                    }
                    EXPECT_EQ(b, c) << n;
                }
            }
        }
    }
}

TEST(ConfigFormat, AWindowedReadHoldsStringsLongerThanItsWindow)
{
    // More than one window of entries, one name longer than a window, and the
    // profile after both: a window that slides or grows wrongly shows here.
    CTSUserData data;
    for (int i = 0; i < 4000; ++i) {
        const std::string n = std::to_string(i);
        data.Add(u"HOST\\user" + std::u16string(60, u'u') + std::u16string(n.begin(), n.end()), kEntryUser, false);
    }
    data.Add(u"HOST\\" + std::u16string(300000, u'l'), kEntryUser, false);
    data.Add(u"HOST\\last", kEntryUser, false);
    const std::string bytes = Write(data);
    ASSERT_GT(bytes.size(), 1000000u);
    for (const std::u16string& wanted : {data.GetAt(4000).m_strName, std::u16string(u"HOST\\last")}) {
        const auto rank = [&](const std::u16string& name) { return std::size_t(name == wanted); };
        CTSUserData viaMemory, viaWindow;
        const StoreResult x = ReadConfiguration(MemorySource(bytes.data(), bytes.size()), viaMemory, rank);
        Trickle trickle(bytes, 70000);
        const StoreResult y = ReadConfiguration(trickle, viaWindow, rank);
        ASSERT_TRUE(x && y) << y.message;
        EXPECT_EQ(y.entries, 4002u);
        ASSERT_EQ(viaWindow.GetSize(), 1u);
        EXPECT_EQ(viaWindow.GetAt(0).m_strName, wanted);
        EXPECT_EQ(viaMemory, viaWindow);
    }
}

TEST(ConfigFile, ContentCutShortIsReadAgainUntilTheBudgetIsSpent)
{
    // A cached size of a replaced file reads as a cut-off file: the second
    // read by name finds it whole. One that stays cut fails with its offset.
    const fs::path path = TempDir() / "replaced.QLNData";
    const std::string whole = Write(Sample()), cut = whole.substr(0, whole.size() - 3);
    CTSUserData unused;
    const std::uint64_t cutAt = Read(cut, unused).offset;
    const CTSUserData::EntryRank profile = [](const std::u16string& name) { return std::size_t(name == u"HOST\\anna"); };
    for (const auto& [healed, rank] : {std::pair{true, CTSUserData::EntryRank{}}, std::pair{false, CTSUserData::EntryRank{}},
                                       std::pair{true, profile}, std::pair{false, profile}}) {
        testfiles::Put(path, cut);
        std::chrono::steady_clock::time_point clock{};
        int reads = 0;
        platform::RetryPolicy policy;
        policy.now = [&] { return clock; };
        policy.pause = [&](std::chrono::milliseconds d) {
            clock += d;
            if (healed && ++reads == 2)
                testfiles::Put(path, whole);
        };
        CTSUserData data;
        const StoreResult r = LoadConfigurationFile(path, data, rank, nullptr, policy);
        EXPECT_EQ(r.ok, healed) << r.message;
        EXPECT_EQ(data.GetSize(), healed ? (rank ? 1u : 2u) : 0u);
        EXPECT_EQ(r.offset, healed ? 0u : cutAt) << r.message;
        EXPECT_EQ(clock.time_since_epoch() > std::chrono::seconds(1), !healed);
    }
}

TEST(ConfigFile, SaveRemovesTemporaryFilesThatAKilledSaveLeft)
{
    const fs::path dir = TempDir();
    for (const char* name : {"cfg.QLNData.k1lled", "cfg.QLNData.w0rkin"})
        std::ofstream(dir / name) << "half a configuration";
    fs::last_write_time(dir / "cfg.QLNData.k1lled", fs::file_time_type::clock::now() - std::chrono::hours(1));
    ASSERT_TRUE(SaveConfigurationFile(dir / "cfg.QLNData", Sample()));
    EXPECT_FALSE(fs::exists(dir / "cfg.QLNData.k1lled"));
    EXPECT_TRUE(fs::exists(dir / "cfg.QLNData.w0rkin"));  // as if another save were writing it
}
