#include "json_codec.h"

#include "config/text.h"
#include "transfer/command_lines.h"

#include <functional>
#include <istream>
#include <limits>
#include <map>
#include <unordered_map>
#include <unordered_set>

using nlohmann::json;

namespace quillonctl {

namespace {

std::string Text(const std::u16string& s, bool& lossless)
{
    bool clean = true;
    std::string r = config::ToUtf8(s, &clean);
    lossless = lossless && clean;
    return r;
}

// One record's fields, each read from its key by a small function, so that
// missing keys keep the record's default and unknown keys are refused.
template <typename Record>
using FieldReader = std::function<void(Record&, const json&, const std::string&)>;

[[noreturn]] void Fail(const std::string& where, const std::string& what)
{
    throw JsonError(where + ": " + what);
}

std::string Join(const std::string& where, const std::string& key)
{
    return where.empty() ? key : where + "." + key;
}

template <typename Record>
void ReadObject(Record& r, const json& j, const std::string& where,
                const std::map<std::string, FieldReader<Record>>& fields)
{
    if (!j.is_object())
        Fail(where, "must be an object");
    for (const auto& [key, value] : j.items()) {
        auto f = fields.find(key);
        if (f == fields.end())
            Fail(Join(where, key), "unknown key");
        f->second(r, value, Join(where, key));
    }
}

template <typename Record>
FieldReader<Record> Str(std::u16string Record::*member)
{
    return [member](Record& r, const json& v, const std::string& where) {
        if (!v.is_string())
            Fail(where, "must be a string");
        r.*member = config::FromUtf8(v.get_ref<const std::string&>());
    };
}

template <typename Record>
FieldReader<Record> Int(std::int32_t Record::*member)
{
    return [member](Record& r, const json& v, const std::string& where) {
        if (!v.is_number_integer())
            Fail(where, "must be an integer");
        auto n = v.get<std::int64_t>();
        if (v.is_number_unsigned() && v.get<std::uint64_t>() > std::uint64_t(std::numeric_limits<std::int64_t>::max()))
            Fail(where, "is out of range");
        if (n < std::numeric_limits<std::int32_t>::min() || n > std::numeric_limits<std::int32_t>::max())
            Fail(where, "does not fit a 32-bit integer");
        r.*member = static_cast<std::int32_t>(n);
    };
}

// BOOL fields: stored as 32-bit 0 or 1.
template <typename Record>
FieldReader<Record> Flag(std::int32_t Record::*member)
{
    return [member](Record& r, const json& v, const std::string& where) {
        if (!v.is_boolean())
            Fail(where, "must be true or false");
        r.*member = v.get<bool>() ? 1 : 0;
    };
}

nlohmann::ordered_json VisualToJson(const CLocationVisualOptions& v, bool& lossless)
{
    return nlohmann::ordered_json{{"showCommonTasks", v.m_bShowCommonTasks},
                {"imagePath", Text(v.m_strImagePath, lossless)},
                {"imageStyle", v.m_nImageStyle},
                {"viewStyle", v.m_nViewStyle}};
}

nlohmann::ordered_json LocationToJson(const CTSAppDataItem& l, bool& lossless)
{
    return nlohmann::ordered_json{{"name", Text(l.m_strName, lossless)},
                {"serverLocation", Text(l.m_strServerLocation, lossless)},
                {"clientLocation", Text(l.m_strClientLocation, lossless)},
                {"overwriteMode", l.m_nOverwriteMode},
                {"clientToServer", l.m_bClientToServer != 0},
                {"serverToClient", l.m_bServerToClient != 0},
                {"manualTransfer", l.m_bManualTransfer != 0},
                {"syncEnabled", l.m_bSyncEnabled != 0},
                {"hideTransferWindow", l.m_bHideTransferWindow != 0},
                {"connectAction", l.m_nConnectAction},
                {"rightMouseButton", l.m_bRightMouseButton != 0},
                {"expandEnvironment", l.m_bExpandEnvironment != 0},
                {"visualOptions", VisualToJson(l.m_visualOptions, lossless)}};
}

nlohmann::ordered_json ScriptToJson(const CTSUserScriptItem& s, bool& lossless)
{
    return nlohmann::ordered_json{{"arguments", Text(s.m_strArguments, lossless)},
                {"userCanAbort", s.m_bUserCanAbort != 0},
                {"programPath", Text(s.m_strProgramPath, lossless)},
                {"displayName", Text(s.m_strDisplayName, lossless)},
                {"timeout", s.m_nTimeout},
                {"wait", s.m_bWait != 0},
                {"workingDirectory", Text(s.m_strWorkingDirectory, lossless)},
                {"enabled", s.m_bEnabled != 0}};
}

void VisualFromJson(CLocationVisualOptions& v, const json& j, const std::string& where)
{
    using R = CLocationVisualOptions;
    static const std::map<std::string, FieldReader<R>> fields{
        {"showCommonTasks",
         [](R& r, const json& x, const std::string& w) {
             if (!x.is_boolean())
                 Fail(w, "must be true or false");
             r.m_bShowCommonTasks = x.get<bool>();
         }},
        {"imagePath", Str(&R::m_strImagePath)},
        {"imageStyle", Int(&R::m_nImageStyle)},
        {"viewStyle", Int(&R::m_nViewStyle)},
    };
    ReadObject(v, j, where, fields);
}

void LocationFromJson(CTSAppDataItem& l, const json& j, const std::string& where)
{
    using R = CTSAppDataItem;
    static const std::map<std::string, FieldReader<R>> fields{
        {"name", Str(&R::m_strName)},
        {"serverLocation", Str(&R::m_strServerLocation)},
        {"clientLocation", Str(&R::m_strClientLocation)},
        {"overwriteMode", Int(&R::m_nOverwriteMode)},
        {"clientToServer", Flag(&R::m_bClientToServer)},
        {"serverToClient", Flag(&R::m_bServerToClient)},
        {"manualTransfer", Flag(&R::m_bManualTransfer)},
        {"syncEnabled", Flag(&R::m_bSyncEnabled)},
        {"hideTransferWindow", Flag(&R::m_bHideTransferWindow)},
        {"connectAction", Int(&R::m_nConnectAction)},
        {"rightMouseButton", Flag(&R::m_bRightMouseButton)},
        {"expandEnvironment", Flag(&R::m_bExpandEnvironment)},
        {"visualOptions",
         [](R& r, const json& x, const std::string& w) { VisualFromJson(r.m_visualOptions, x, w); }},
    };
    ReadObject(l, j, where, fields);
}

void ScriptFromJson(CTSUserScriptItem& s, const json& j, const std::string& where)
{
    using R = CTSUserScriptItem;
    static const std::map<std::string, FieldReader<R>> fields{
        {"arguments", Str(&R::m_strArguments)},
        {"userCanAbort", Flag(&R::m_bUserCanAbort)},
        {"programPath", Str(&R::m_strProgramPath)},
        {"displayName", Str(&R::m_strDisplayName)},
        {"timeout", Int(&R::m_nTimeout)},
        {"wait", Flag(&R::m_bWait)},
        {"workingDirectory", Str(&R::m_strWorkingDirectory)},
        {"enabled", Flag(&R::m_bEnabled)},
    };
    ReadObject(s, j, where, fields);
}

} // namespace

nlohmann::ordered_json EntryToJson(const CTSUserDataItem& e, bool& lossless)
{
    nlohmann::ordered_json locations = nlohmann::ordered_json::array();
    for (const auto& l : e.m_locations.m_items)
        locations.push_back(LocationToJson(l, lossless));
    return nlohmann::ordered_json{{"type", e.m_nType},
                {"name", Text(e.m_strName, lossless)},
                {"locations", std::move(locations)},
                {"script", ScriptToJson(e.m_script, lossless)}};
}

CTSUserDataItem EntryFromJson(const json& j, const std::string& where)
{
    using R = CTSUserDataItem;
    static const std::map<std::string, FieldReader<R>> fields{
        {"type", Int(&R::m_nType)},
        {"name", Str(&R::m_strName)},
        {"locations",
         [](R& r, const json& x, const std::string& w) {
             if (!x.is_array())
                 Fail(w, "must be an array");
             r.m_locations.m_items.resize(x.size());
             for (std::size_t i = 0; i < x.size(); ++i)
                 LocationFromJson(r.m_locations.m_items[i], x[i], w + "[" + std::to_string(i) + "]");
         }},
        {"script", [](R& r, const json& x, const std::string& w) { ScriptFromJson(r.m_script, x, w); }},
    };
    // A new entry is a user until the JSON says otherwise.
    CTSUserDataItem entry(u"", kEntryUser);
    ReadObject(entry, j, where, fields);
    return entry;
}

bool IsKnownSchema(std::uint32_t schema)
{
    // 1001 is the oldest format the files were ever written in; its JSON
    // form is the current one with defaults for the fields it lacks.
    constexpr std::uint32_t kOldestKnownSchema = 1001;
    return schema >= kOldestKnownSchema && schema <= CTSUserData::kCurrentSchema;
}

std::string RecordRuleViolation(const CTSUserData& data)
{
    std::unordered_map<std::u16string, std::size_t> seen;  // folded name -> first entry
    seen.reserve(data.GetSize());
    bool lossless = true;
    for (std::size_t i = 0; i < data.GetSize(); ++i) {
        const CTSUserDataItem& e = data.GetAt(i);
        const std::string where = "entries[" + std::to_string(i) + "] \"" + Text(e.m_strName, lossless) + "\"";
        if (e.m_nType != kEntryUser && e.m_nType != kEntryGroup)
            return where + ": type " + std::to_string(e.m_nType) + " is neither 1 (user) nor 2 (group)";
        std::u16string folded = e.m_strName;
        for (char16_t& c : folded)
            c = config::FoldCase(c);
        const auto [first, added] = seen.emplace(std::move(folded), i);
        if (!added)
            return where + ": the same name as entries[" + std::to_string(first->second) + "] apart from letter case";
        std::unordered_set<std::u16string> locations;
        for (const CTSAppDataItem& l : e.m_locations.m_items) {
            if (!locations.insert(l.m_strName).second)
                return where + ": two locations named \"" + Text(l.m_strName, lossless) + "\"";
            if (!transfer::IsTransferableFolderPath(l.m_strServerLocation)
                || !transfer::IsTransferableFolderPath(l.m_strClientLocation))
                return where + ", location \"" + Text(l.m_strName, lossless)
                       + "\": a folder path cannot contain the character \"";
        }
    }
    return {};
}

json ParseNamingKey(std::istream& in)
{
    // The parser's events keep the path of the key being read, so that a
    // failure inside a value (a number too large for any type) names it.
    struct Level {
        bool array;
        std::string key;
        std::size_t index;
    };
    std::vector<Level> path;
    auto advance = [&path] {
        if (!path.empty() && path.back().array)
            ++path.back().index;
    };
    json::parser_callback_t track = [&](int, json::parse_event_t event, json& parsed) {
        switch (event) {
        case json::parse_event_t::object_start: path.push_back({false, {}, 0}); break;
        case json::parse_event_t::array_start: path.push_back({true, {}, 0}); break;
        case json::parse_event_t::key: path.back().key = parsed.get<std::string>(); break;
        case json::parse_event_t::object_end:
        case json::parse_event_t::array_end:
            path.pop_back();
            advance();
            break;
        case json::parse_event_t::value: advance(); break;
        }
        return true;
    };
    try {
        return json::parse(in, track);
    } catch (const json::exception& e) {
        std::string where;
        for (const Level& l : path)
            where = l.array ? where + "[" + std::to_string(l.index) + "]" : Join(where, l.key);
        const bool syntax = dynamic_cast<const json::parse_error*>(&e) != nullptr;
        throw JsonError((where.empty() ? std::string("(top level)") : where) + ": "
                        + (syntax ? "not valid JSON: " : "") + e.what());
    }
}

std::uint32_t ConfigurationFromJson(const json& j, CTSUserData& out)
{
    if (!j.is_object())
        Fail("(top level)", "must be an object with \"schema\" and \"entries\"");
    std::uint32_t schema = CTSUserData::kCurrentSchema;
    CTSUserData data;
    for (const auto& [key, value] : j.items()) {
        if (key == "schema") {
            if (!value.is_number_unsigned() || value.get<std::uint64_t>() > 0xFFFFFFFFu)
                Fail(key, "must be a non-negative 32-bit integer");
            schema = static_cast<std::uint32_t>(value.get<std::uint64_t>());
            if (!IsKnownSchema(schema))
                Fail(key, std::to_string(schema) + " is not a format this tool reads (1001 to "
                              + std::to_string(CTSUserData::kCurrentSchema) + ")");
        } else if (key == "entries") {
            if (!value.is_array())
                Fail(key, "must be an array");
            data.m_items.reserve(value.size());
            for (std::size_t i = 0; i < value.size(); ++i)
                data.m_items.push_back(
                    std::make_unique<CTSUserDataItem>(EntryFromJson(value[i], "entries[" + std::to_string(i) + "]")));
        } else {
            Fail(key, "unknown key");
        }
    }
    if (const std::string broken = RecordRuleViolation(data); !broken.empty())
        throw JsonError(broken);
    out.m_items.swap(data.m_items);
    return schema;
}

} // namespace quillonctl
