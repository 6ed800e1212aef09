#pragma once
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
std::uint32_t ConfigurationFromJson(const nlohmann::json& j, CTSUserData& out);

} // namespace quillonctl
