#include "config/config_file.h"

#include "platform/files.h"

#include <functional>
#include <optional>

namespace config {

namespace {

ArchiveCause CauseOf(const platform::FileError& e)
{
    switch (e.kind) {
    case platform::FileErrorKind::NotFound: return ArchiveCause::FileNotFound;
    case platform::FileErrorKind::AccessDenied: return ArchiveCause::AccessDenied;
    case platform::FileErrorKind::DiskFull: return ArchiveCause::DiskFull;
    case platform::FileErrorKind::OutOfMemory: return ArchiveCause::OutOfMemory;
    default: return ArchiveCause::FileError;
    }
}

StoreResult Failure(ArchiveCause cause, std::uint64_t offset, std::string message)
{
    StoreResult r;
    r.ok = false;
    r.cause = cause;
    r.offset = offset;
    r.message = std::move(message);
    return r;
}

class FileSink final : public ByteSink {
public:
    explicit FileSink(platform::AtomicFileWriter& file) : m_file(file) {}
    void Write(const void* data, std::size_t n) override
    {
        if (!m_file.Write(data, n))
            throw ArchiveError(CauseOf(m_file.Error()), m_offset, "cannot write the file: " + m_file.Error().message);
        m_offset += n;
    }

private:
    platform::AtomicFileWriter& m_file;
    std::uint64_t m_offset = 0;
};

} // namespace

StoreResult FileFailure(const platform::FileError& error, const std::filesystem::path& path)
{
    return Failure(CauseOf(error), 0, path.string() + ": " + error.message);
}

namespace {

template <typename Source>
StoreResult ReadRecords(Source& source, CTSUserData& out, const CTSUserData::EntryRank& rank,
                        bool* writerForm = nullptr)
{
    if (writerForm)
        *writerForm = false;
    StoreResult result;
    if (source.Size() == 0) {
        out.RemoveAll();
        result.schema = CTSUserData::kCurrentSchema;
        return result;
    }
    CTSUserData fresh;
    try {
        Archive ar(source);
        const CTSUserData::Tally tally = fresh.LoadMatching(ar, rank);
        result.schema = ar.GetObjectSchema();
        result.entries = tally.entries;
        result.locations = tally.locations;
        if (writerForm)
            *writerForm = ar.WriterForm() && ar.Remaining() == 0 && result.schema == CTSUserData::kCurrentSchema;
    } catch (const ArchiveError& e) {
        return Failure(e.Cause(), e.Offset(), e.what());
    } catch (const std::bad_alloc&) {
        return Failure(ArchiveCause::OutOfMemory, 0, "out of memory while reading the configuration");
    }
    out.m_items.swap(fresh.m_items);
    return result;
}

} // namespace

StoreResult ReadConfiguration(const MemorySource& source, CTSUserData& out, const CTSUserData::EntryRank& rank)
{
    return ReadRecords(source, out, rank);
}

StoreResult ReadConfiguration(ChunkSource& source, CTSUserData& out, const CTSUserData::EntryRank& rank)
{
    return ReadRecords(source, out, rank);
}

StoreResult WalkConfiguration(const MemorySource& source, bool& writerForm)
{
    CTSUserData none;
    return ReadRecords(source, none, [](const std::u16string&) { return std::size_t(0); }, &writerForm);
}

namespace {

// One try at reading and parsing. `parsed` is set once the bytes could be
// read; `seen` gets the identity of the descriptor read.
using ParseAttempt = std::function<platform::ReadAttempt(std::optional<StoreResult>& parsed, platform::FileIdentity& seen)>;

// Tries `attempt` within `retry`'s budget. A network file system may turn a
// handle stale when another server saves; the whole read is then done again
// from a fresh open, never continued on the old descriptor.
StoreResult ReadAndParse(const std::filesystem::path& path, const ParseAttempt& attempt,
                         platform::FileIdentity* identity, const platform::RetryPolicy& retry)
{
    std::optional<StoreResult> parsed;
    platform::FileIdentity seen;
    const platform::FileError e = platform::RetryTransient(
        [&] {
            parsed.reset();
            seen = {};
            if (platform::ReadAttempt read = attempt(parsed, seen); read.error)
                return read;
            if (parsed->ok || parsed->cause != ArchiveCause::EndOfFile)
                return platform::ReadAttempt{};
            // The client may have shown the old size of a file replaced since:
            // content cut short is read again like a stale handle.
            return platform::ReadAttempt{{platform::FileErrorKind::Other, 0, parsed->message}, true};
        },
        retry);
    if (identity) {
        *identity = seen;
        // Refused after opening (a folder, a FIFO) or not opened at all: what
        // the name shows, so that the next save does not take it for a change.
        if (!parsed && e && !identity->exists && platform::IdentifyFile(path, *identity))
            *identity = {true};
    }
    if (!parsed)
        return FileFailure(e, path);
    if (!parsed->ok)
        parsed->message = path.string() + ": " + parsed->message;
    return *parsed;
}

// Whole, at once, into one buffer that `parse` frees when done with it.
ParseAttempt WholeFileAttempt(const std::filesystem::path& path, platform::WholeFile& file,
                              std::function<StoreResult(platform::WholeFile&)> parse)
{
    return [&path, &file, parse = std::move(parse)](std::optional<StoreResult>& parsed, platform::FileIdentity& seen) {
        platform::ReadAttempt read = platform::ReadWholeFileOnce(path, file);
        seen = file.identity;
        if (read.error)
            return read;
        parsed = parse(file);
        return platform::ReadAttempt{};
    };
}

// The file's bytes through a window, for a reader that keeps only part of
// what it reads: memory does not grow with the entries passed over.
class FileChunks final : public ChunkSource {
public:
    explicit FileChunks(platform::FileReader& file) : m_file(file) {}
    std::uint64_t Size() const override { return m_file.Size(); }
    // A failed read stops the parse; the caller reports the file's own error.
    std::size_t Read(void* data, std::size_t n) override
    {
        const std::ptrdiff_t got = m_file.Read(data, n);
        if (got < 0)
            throw ArchiveError(ArchiveCause::FileError, 0, "cannot read the file: " + m_file.Error().message);
        return static_cast<std::size_t>(got);
    }

private:
    platform::FileReader& m_file;
};

} // namespace

StoreResult LoadConfigurationFile(const std::filesystem::path& path, CTSUserData& out,
                                  const CTSUserData::EntryRank& rank, platform::FileIdentity* identity,
                                  const platform::RetryPolicy& retry)
{
    if (rank) {
        return ReadAndParse(
            path,
            [&](std::optional<StoreResult>& parsed, platform::FileIdentity& seen) {
                platform::FileReader file;
                platform::ReadAttempt opened = file.OpenOnce(path);
                seen = file.Identity();
                if (opened.error)
                    return opened;
                FileChunks chunks(file);
                StoreResult r = ReadConfiguration(chunks, out, rank);
                if (file.Error())
                    return platform::ReadAttempt{file.Error(), file.ErrorTransient()};
                // The whole read sees growth by the byte past the size; the window
                // stops at the size, so it asks the descriptor.
                if (platform::ReadAttempt changed = file.CheckUnchanged(); changed.error)
                    return changed;
                parsed = std::move(r);
                return platform::ReadAttempt{};
            },
            identity, retry);
    }
    platform::WholeFile file;
    return ReadAndParse(path,
                        WholeFileAttempt(path, file,
                                         [&](platform::WholeFile& f) {
                                             StoreResult r = ReadConfiguration(MemorySource(f.bytes.get(), f.size), out, rank);
                                             f.bytes.reset();
                                             return r;
                                         }),
                        identity, retry);
}

StoreResult LoadForRewrite(const std::filesystem::path& path, CTSUserData& out, platform::WholeFile& asRead,
                           const platform::RetryPolicy& retry)
{
    return ReadAndParse(path,
                        WholeFileAttempt(path, asRead,
                                         [&](platform::WholeFile& f) {
                                             StoreResult r;
                                             if (f.size == 0) {
                                                 r = ReadConfiguration(MemorySource(nullptr, 0), out);
                                             } else {
                                                 bool writerForm = false;
                                                 r = WalkConfiguration(MemorySource(f.bytes.get(), f.size), writerForm);
                                                 if (r && writerForm)
                                                     return r;
                                                 if (r)
                                                     r = ReadConfiguration(MemorySource(f.bytes.get(), f.size), out);
                                             }
                                             f.bytes.reset();
                                             f.size = 0;
                                             return r;
                                         }),
                        nullptr, retry);
}

StoreResult SaveConfigurationBytes(const std::filesystem::path& path, const platform::WholeFile& bytes)
{
    platform::RemoveStaleTempFiles(path, kStaleTempAge);
    platform::AtomicFileWriter file;
    if (auto e = file.Begin(path))
        return FileFailure(e, path);
    if (!file.Write(bytes.bytes.get(), bytes.size)) {
        const platform::FileError e = file.Error();
        file.Abort();
        return FileFailure(e, path);
    }
    if (auto e = file.Commit())
        return FileFailure(e, path);
    StoreResult ok;
    ok.schema = CTSUserData::kCurrentSchema;
    return ok;
}

void WriteConfiguration(ByteSink& sink, const CTSUserData& data)
{
    Archive ar(sink);
    // Storing only reads the records; Serialize serves both directions.
    const_cast<CTSUserData&>(data).Serialize(ar);
    ar.Flush();
}

StoreResult SaveConfigurationFile(const std::filesystem::path& path, const CTSUserData& data,
                                  platform::FileIdentity* written)
{
    platform::RemoveStaleTempFiles(path, kStaleTempAge);
    platform::AtomicFileWriter file;
    if (auto e = file.Begin(path))
        return FileFailure(e, path);
    try {
        FileSink sink(file);
        WriteConfiguration(sink, data);
    } catch (const ArchiveError& e) {
        file.Abort();
        return Failure(e.Cause(), e.Offset(), path.string() + ": " + e.what());
    } catch (const std::bad_alloc&) {
        file.Abort();
        return Failure(ArchiveCause::OutOfMemory, 0, path.string() + ": out of memory while writing");
    }
    if (auto e = file.Commit())
        return FileFailure(e, path);
    if (written)
        *written = file.Written();
    StoreResult ok;
    ok.schema = CTSUserData::kCurrentSchema;
    return ok;
}

} // namespace config
