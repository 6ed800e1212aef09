#pragma once
#include <iosfwd>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include "config/records.h"

// The JSON form of the configuration that `dump` prints and `load` reads.
namespace quillonctl {

// A JSON document that does not describe a configuration; what() names the
// key, as a path such as entries[2].locations[0].syncEnabled.
class JsonError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// `lossless` turns false when a text held UTF-16 that JSON cannot carry
// (an unpaired surrogate), which is then written as U+FFFD.
nlohmann::ordered_json EntryToJson(const CTSUserDataItem& entry, bool& lossless);
CTSUserDataItem EntryFromJson(const nlohmann::json& j, const std::string& where);

// Reads {"schema": N, "entries": [...]} into `out`; returns the schema.
// Refuses a schema whose layout the reader does not know, and records that
// break the rules of the file (see RecordRuleViolation).
std::uint32_t ConfigurationFromJson(const nlohmann::json& j, CTSUserData& out);

// Whether `schema` is one whose JSON form this reader knows: the current one
// and the older ones it reads (written back as the current one).
bool IsKnownSchema(std::uint32_t schema);

// The first break of the record rules, naming the entry: a type other than
// user or group, two entries whose names differ only in case, two locations
// of one name in an entry. Empty when there is none.
std::string RecordRuleViolation(const CTSUserData& data);

// Parses JSON text; a failure (syntax, a number no type can hold) throws
// JsonError naming the key being read when it happened.
nlohmann::json ParseNamingKey(std::istream& in);

} // namespace quillonctl
