#pragma once
#include <memory>
#include <string>
#include <vector>

// Structured records for the system journal. Texts are UTF-8. Sending never
// blocks, never throws and never fails the caller: a record nobody takes is
// dropped.
namespace platform {

// syslog(3) levels.
enum class JournalPriority : int { Error = 3, Warning = 4, Notice = 5, Info = 6 };

struct JournalField {
    std::string name;  // upper-case letters, digits and '_'
    std::string value;
};
using JournalFields = std::vector<JournalField>;

// The journal's native datagram: "NAME=value\n" per field; a value holding a
// newline goes as "NAME\n", its length as 64-bit little-endian, the bytes
// and "\n".
std::string EncodeJournalFields(const JournalFields& fields);

class JournalSink {
public:
    virtual ~JournalSink() = default;
    virtual void Send(const JournalFields& fields) = 0;
};

inline constexpr const char* kJournalSocketPath = "/run/systemd/journal/socket";

// Sends to the journal's datagram socket at `socketPath`; while nothing
// listens there, the MESSAGE goes to syslog(3) under SYSLOG_IDENTIFIER.
std::unique_ptr<JournalSink> CreateSystemJournalSink(std::string socketPath = kJournalSocketPath);

} // namespace platform
