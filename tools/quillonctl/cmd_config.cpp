#include "commands.h"
#include "json_codec.h"
#include "live_journal.h"

#include "config/config_file.h"
#include "config/text.h"
#include "platform/accounts.h"
#include "platform/files.h"

#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <streambuf>
#include <vector>

namespace quillonctl {

namespace {

bool Usage(const Args& args, std::size_t min, std::size_t max, const char* text, std::ostream& err)
{
    if (args.size() >= min && args.size() <= max)
        return true;
    err << "usage: quillonctl " << text << '\n';
    return false;
}

// Reports a failed read with its offset and cause; true when it read.
bool ReportRead(const config::StoreResult& read, std::ostream& err)
{
    if (!read)
        err << "quillonctl: " << read.message << " (" << config::CauseName(read.cause) << ")\n";
    return read.ok;
}

// Reads a configuration file, reporting the failure with its offset.
bool ReadFile(const std::string& path, CTSUserData& data, config::StoreResult& read, std::ostream& err,
              const CTSUserData::EntryRank& rank = {})
{
    read = config::LoadConfigurationFile(path, data, rank);
    return ReportRead(read, err);
}

// The bytes read, as a stream for the JSON parser.
class MemoryBuffer : public std::streambuf {
public:
    explicit MemoryBuffer(platform::WholeFile& file)
    {
        char* begin = reinterpret_cast<char*>(file.bytes.get());
        setg(begin, begin, begin + file.size);
    }
};

bool WriteFile(const std::string& path, const CTSUserData& data, std::ostream& err, const LiveSaveJournal& told)
{
    config::StoreResult r = config::SaveConfigurationFile(path, data);
    if (!r)
        err << "quillonctl: " << r.message << '\n';
    r ? told.Saved(data) : told.Failed(r.message);
    return r.ok;
}

// Accounts are matched as DOMAIN\name, so an entry named without a domain is
// kept but can never be anyone's profile: say so, and how to name it.
bool HasDomain(const std::u16string& name)
{
    const std::size_t slash = name.find(u'\\');
    return slash != std::u16string::npos && slash > 0;
}

void WarnEntriesWithoutDomain(const std::vector<std::u16string>& names, std::ostream& err)
{
    std::optional<std::string> computer;
    for (const auto& entryName : names) {
        if (HasDomain(entryName))
            continue;
        const std::string name = config::ToUtf8(entryName);
        const std::size_t slash = name.find('\\');
        if (!computer) {
            computer.emplace();
            if (!platform::CreateSystemAccountServices()->LocalComputerName(*computer) || computer->empty())
                *computer = "COMPUTER";
        }
        const platform::AccountName form =
            platform::SplitLoginName(slash == std::string::npos ? name : name.substr(1), *computer);
        err << "quillonctl: warning: entry \"" << name << "\" has no domain and matches no account; \"" << form.domain
            << '\\' << form.name << "\" would match\n";
    }
}

} // namespace

int Dump(const Args& args, std::ostream& out, std::ostream& err)
{
    if (!Usage(args, 0, 1, "dump [FILE]", err))
        return kExitUsage;
    CTSUserData data;
    config::StoreResult read;
    if (!ReadFile(FileArgument(args), data, read, err))
        return kExitBadInput;
    const std::uint32_t schema = read.schema;
    // One entry at a time, so that a large configuration is never held twice.
    bool lossless = true;
    out << "{\n  \"schema\": " << schema << ",\n  \"entries\": [";
    for (std::size_t i = 0; i < data.GetSize(); ++i) {
        out << (i ? ",\n    " : "\n    ");
        out << EntryToJson(data.GetAt(i), lossless).dump();
    }
    out << (data.GetSize() ? "\n  ]\n}\n" : "]\n}\n");
    if (!lossless)
        err << "quillonctl: warning: some texts held invalid UTF-16 and were written with U+FFFD\n";
    return kExitOk;
}

int Load(const Args& args, std::ostream& out, std::ostream& err) { return Load(args, out, err, {}); }

int Load(const Args& args, std::ostream&, std::ostream& err, const journal::Journal& journal)
{
    if (!Usage(args, 2, 2, "load JSON OUT", err))
        return kExitUsage;
    // Read whole and only from a regular file: a FIFO or a device would
    // otherwise hold the command for good.
    platform::WholeFile file;
    if (const platform::FileError e = platform::ReadWholeFile(args[0], file)) {
        err << "quillonctl: " << args[0] << ": " << e.message << '\n';
        return kExitBadInput;
    }
    MemoryBuffer buffer(file);
    std::istream in(&buffer);
    CTSUserData data;
    std::uint32_t schema = 0;
    try {
        schema = ConfigurationFromJson(ParseNamingKey(in), data);
    } catch (const std::exception& e) {
        // JsonError names the key; whatever else the JSON library or memory
        // refuse ends as bad input too, never as an abort.
        err << "quillonctl: " << args[0] << ": " << e.what() << '\n';
        return kExitBadInput;
    }
    if (!WriteFile(args[1], data, err, LiveSaveJournal(journal, "quillonctl load", args[1])))
        return kExitBadInput;
    std::vector<std::u16string> names;
    for (const auto& entry : data.m_items)
        names.push_back(entry->m_strName);
    WarnEntriesWithoutDomain(names, err);
    if (schema != CTSUserData::kCurrentSchema)
        err << "quillonctl: note: " << args[0] << " has schema " << schema << "; " << args[1] << " was written with schema "
            << CTSUserData::kCurrentSchema << '\n';
    return kExitOk;
}

int Check(const Args& args, std::ostream& out, std::ostream& err)
{
    if (!Usage(args, 1, 1, "check FILE", err))
        return kExitUsage;
    // Every byte is checked as a full read checks it, but nothing is built:
    // the report needs only the counts and the names without a domain.
    CTSUserData data;
    config::StoreResult read;
    std::vector<std::u16string> withoutDomain;
    const auto note = [&](const std::u16string& name) -> std::size_t {
        if (!HasDomain(name))
            withoutDomain.push_back(name);
        return 0;
    };
    if (!ReadFile(args[0], data, read, err, note))
        return kExitBadInput;
    WarnEntriesWithoutDomain(withoutDomain, err);
    out << args[0] << ": ok, schema " << read.schema << ", " << read.entries << " entries, " << read.locations
        << " locations\n";
    return kExitOk;
}

int Convert(const Args& args, std::ostream& out, std::ostream& err) { return Convert(args, out, err, {}); }

int Convert(const Args& args, std::ostream&, std::ostream& err, const journal::Journal& journal)
{
    if (!Usage(args, 2, 2, "convert IN OUT", err))
        return kExitUsage;
    auto data = std::make_unique<CTSUserData>();
    const LiveSaveJournal told(journal, "quillonctl convert", args[1]);
    if (!told.NeedsRecords()) {
        // A file already in the current form is written back as read, in one
        // write, without building 200,000 records to give the same bytes.
        platform::WholeFile asRead;
        if (!ReportRead(config::LoadForRewrite(args[0], *data, asRead), err))
            return kExitBadInput;
        if (asRead.bytes) {
            const config::StoreResult r = config::SaveConfigurationBytes(args[1], asRead);
            if (!r)
                err << "quillonctl: " << r.message << '\n';
            return r ? kExitOk : kExitBadInput;
        }
    } else {
        config::StoreResult read;
        if (!ReadFile(args[0], *data, read, err))
            return kExitBadInput;
    }
    int rc = WriteFile(args[1], *data, err, told) ? kExitOk : kExitBadInput;
    DisposeAtExit(std::move(data));
    return rc;
}

} // namespace quillonctl
