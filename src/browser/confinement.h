#pragma once
#include <QString>
#include <QStringList>

// Keeps what the browser touches inside the real paths of the user's
// locations. Every path is resolved as the system sees it at the moment
// asked, links included, and the resolved path is what is then used.
namespace browser {

// The refusal, word for word.
QString outsideText();

// The real path of a location's server folder: its boundary. A server
// folder that is itself a link is bounded by what it points to.
struct Boundary {
    QString real;   // empty when the folder cannot be resolved
    int error = 0;  // then the system's error number
};
Boundary resolveBoundary(const QString& folder);

struct Placement {
    enum Kind { Inside, Outside, Unreachable };
    Kind kind = Unreachable;
    int error = 0;  // Unreachable: the system's error number
    QString path;   // Inside: the resolved path
};

// Where `path` leads, links followed: for entering, opening, showing and
// the target folder of a copy. A dangling link counts as outside (where it
// points cannot be seen), an ordinary missing name as unreachable.
Placement placeTarget(const Boundary& boundary, const QString& path);

// The entry `path` names itself, a link at its end not followed: for
// renaming, deleting and the sources of a copy (a link is copied as a link).
// Its folder, resolved, must lie inside one of `boundaries`; "." and ".."
// at the end are resolved as folders.
Placement placeEntry(const QStringList& boundaries, const QString& path);

// Resolves a copy or move before it starts: each source as an entry of one
// of `locations` (server folders, the one shown first), the target folder
// inside the first. Returns what to tell the user when one lies elsewhere or
// cannot be reached, or empty when everything is admitted.
QString admitCopy(const QStringList& locations, QStringList& sources, QString& target);

} // namespace browser
