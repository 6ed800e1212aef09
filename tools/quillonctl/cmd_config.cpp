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

namespace quillonctl {

namespace {

bool Usage(const Args& args, std::size_t min, std::size_t max, const char* text, std::ostream& err)
{
    if (args.size() >= min && args.size() <= max)
        return true;
    err << "usage: quillonctl " << text << '\n';
    return false;
}

// Reads a configuration file, reporting the failure with its offset.
bool ReadFile(const std::string& path, CTSUserData& data, std::uint32_t& schema, std::ostream& err)
{
    config::StoreResult r = config::LoadConfigurationFile(path, data);
    if (!r) {
        err << "quillonctl: " << r.message << " (" << config::CauseName(r.cause) << ")\n";
        return false;
    }
    schema = r.schema;
    return true;
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
void WarnEntriesWithoutDomain(const CTSUserData& data, std::ostream& err)
{
    std::optional<std::string> computer;
    for (const auto& entry : data.m_items) {
        const std::string name = config::ToUtf8(entry->m_strName);
        const std::size_t slash = name.find('\\');
        if (slash != std::string::npos && slash > 0)
            continue;
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
    std::uint32_t schema = 0;
    if (!ReadFile(FileArgument(args), data, schema, err))
        return kExitBadInput;
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
    WarnEntriesWithoutDomain(data, err);
    if (schema != CTSUserData::kCurrentSchema)
        err << "quillonctl: note: " << args[0] << " has schema " << schema << "; " << args[1] << " was written with schema "
            << CTSUserData::kCurrentSchema << '\n';
    return kExitOk;
}

int Check(const Args& args, std::ostream& out, std::ostream& err)
{
    if (!Usage(args, 1, 1, "check FILE", err))
        return kExitUsage;
    CTSUserData data;
    std::uint32_t schema = 0;
    if (!ReadFile(args[0], data, schema, err))
        return kExitBadInput;
    WarnEntriesWithoutDomain(data, err);
    std::size_t locations = 0;
    for (const auto& e : data.m_items)
        locations += e->m_locations.GetSize();
    out << args[0] << ": ok, schema " << schema << ", " << data.GetSize() << " entries, " << locations
        << " locations\n";
    return kExitOk;
}

int Convert(const Args& args, std::ostream& out, std::ostream& err) { return Convert(args, out, err, {}); }

int Convert(const Args& args, std::ostream&, std::ostream& err, const journal::Journal& journal)
{
    if (!Usage(args, 2, 2, "convert IN OUT", err))
        return kExitUsage;
    auto data = std::make_unique<CTSUserData>();
    std::uint32_t schema = 0;
    if (!ReadFile(args[0], *data, schema, err))
        return kExitBadInput;
    const LiveSaveJournal told(journal, "quillonctl convert", args[1]);
    int rc = WriteFile(args[1], *data, err, told) ? kExitOk : kExitBadInput;
    DisposeAtExit(std::move(data));
    return rc;
}

} // namespace quillonctl
