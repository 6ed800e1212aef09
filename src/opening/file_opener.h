#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include <QString>
#include <QUrl>

// How the user's face opens a file or a web address: only with the program
// that the administrator's table lists for its type, never with whatever the
// desktop or the user's own files would pick.
namespace opening {

struct OpenDecision {
    std::vector<std::string> argv;  // the program and its arguments; empty when nothing may start
    std::string workingDirectory;   // the file's folder; empty for an address
    QString typeText;               // the type as the user is told it
    QString refusal;                // why nothing starts, when argv is empty
};

// Reads the table at `tablePath` anew (an administrator's change applies at
// once; a missing or unreadable table lists nothing) and decides for `url`:
// a local file by its type from name and content, any other address by its
// scheme as x-scheme-handler/SCHEME.
OpenDecision DecideOpen(const QUrl& url, const std::filesystem::path& tablePath);

// What the user is told when the listed program cannot be started.
QString CannotStartText(const OpenDecision& decision, int error);

// The table's file name beside the executable.
extern const char* const kOpenWithFileName;

} // namespace opening
