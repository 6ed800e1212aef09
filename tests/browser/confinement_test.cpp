#include <QFile>
#include <gtest/gtest.h>

#include "browser/confinement.h"
#include "browser/view_test_support.h"

using namespace browser;
using namespace browsertest;

// Where each kind of path leads, links followed or not, against a location
// with links in every direction.
TEST(Confinement, PathsArePlacedByWhatTheyResolveTo)
{
    const QString base = Scratch("confinement");
    const QString loc = base + "/loc";
    Write(loc + "/a.txt", "A");
    Write(loc + "/sub/b.txt", "B");
    Write(base + "/outside/secret", "S");
    Write(base + "/other/c.txt", "C");
    QFile::link("/", loc + "/rootlink");
    QFile::link("../outside", loc + "/sibling");
    QFile::link(base + "/outside/secret", loc + "/secretlink");
    QFile::link(base + "/outside/none", loc + "/dangling");
    QFile::link("sub", loc + "/inlink");
    QFile::link(loc, base + "/loclink");
    const Boundary boundary = resolveBoundary(loc);
    ASSERT_EQ(boundary.real, loc);
    EXPECT_EQ(resolveBoundary(base + "/loclink").real, loc);  // a linked server folder: its target bounds
    EXPECT_TRUE(resolveBoundary(base + "/gone").real.isEmpty());

    using K = Placement::Kind;
    const struct {
        QString path;
        K target;  // links followed
        QString targetPath;
        K entry;  // the entry itself, against this location and "other"
        QString entryPath;
    } cases[] = {
        {loc, K::Inside, loc, K::Inside, loc},
        {loc + "/a.txt", K::Inside, loc + "/a.txt", K::Inside, loc + "/a.txt"},
        {base + "/loclink/sub", K::Inside, loc + "/sub", K::Inside, loc + "/sub"},
        {loc + "/inlink", K::Inside, loc + "/sub", K::Inside, loc + "/inlink"},
        {loc + "/rootlink", K::Outside, {}, K::Inside, loc + "/rootlink"},
        {loc + "/rootlink/etc", K::Outside, {}, K::Outside, {}},
        {loc + "/sibling", K::Outside, {}, K::Inside, loc + "/sibling"},
        {loc + "/sibling/secret", K::Outside, {}, K::Outside, {}},
        {loc + "/secretlink", K::Outside, {}, K::Inside, loc + "/secretlink"},
        {loc + "/dangling", K::Outside, {}, K::Inside, loc + "/dangling"},
        {loc + "/gone", K::Unreachable, {}, K::Inside, loc + "/gone"},
        {loc + "/sub/../../outside/secret", K::Outside, {}, K::Outside, {}},
        {loc + "/sub/..", K::Inside, loc, K::Inside, loc},
        {loc + "/..", K::Outside, {}, K::Outside, {}},
        {base + "/other/c.txt", K::Outside, {}, K::Inside, base + "/other/c.txt"},
        {"/etc/passwd", K::Outside, {}, K::Outside, {}},
        {"/proc/self/root", K::Outside, {}, K::Outside, {}},
        {base + "/nowhere/x", K::Unreachable, {}, K::Unreachable, {}},
    };
    for (const auto& c : cases) {
        const Placement target = placeTarget(boundary, c.path);
        EXPECT_EQ(target.kind, c.target) << c.path.toStdString();
        EXPECT_EQ(target.path, c.targetPath) << c.path.toStdString();
        const Placement entry = placeEntry({boundary.real, base + "/other"}, c.path);
        EXPECT_EQ(entry.kind, c.entry) << c.path.toStdString();
        EXPECT_EQ(entry.path, c.entryPath) << c.path.toStdString();
    }
    // Nothing is inside a location whose folder cannot be resolved.
    EXPECT_EQ(placeTarget(resolveBoundary(base + "/gone"), loc).kind, K::Unreachable);
}
