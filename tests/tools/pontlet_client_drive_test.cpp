#include "automatic_run.h"
#include "client_drive.h"
#include "pontlet_support.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace pontlet;
using namespace pontlettest;

TEST(ClientDrive, FoldersInThinclientDrivesNameTheirDrive)
{
    struct Case {
        const char* client;
        const char* drive;  // nullptr: on no drive
    };
    const Case cases[] = {
        {"/home/anna/thinclient_drives/QDRIVE/Docs/", "QDRIVE"},
        {"/home/anna/./thinclient_drives/QDRIVE", "QDRIVE"},
        {"/home/anna/thinclient_drives/", ""},
        {"/home/anna/thinclient_drives/../docs", nullptr},
        {"/home/anna/thinclient_drivesX/QDRIVE", nullptr},
        {"/home/bob/thinclient_drives/QDRIVE", nullptr},
        {"/srv/docs", nullptr},
    };
    for (const Case& c : cases) {
        const auto drive = ClientDriveOf(c.client, fs::path("/home/anna/"));
        ASSERT_EQ(drive.has_value(), c.drive != nullptr) << c.client;
        if (drive) {
            EXPECT_EQ(drive->name, c.drive) << c.client;
            EXPECT_EQ(drive->drives, "/home/anna/thinclient_drives") << c.client;
        }
    }
    EXPECT_FALSE(ClientDriveOf("/home/anna/thinclient_drives/Q", std::nullopt));
}

TEST(ClientDrive, WaitsUntilMountedAndSharedThenSaysWhatIsMissing)
{
    const ClientDrive drive{"/home/anna", "/home/anna/thinclient_drives", "QDRIVE"};
    struct Case {
        std::vector<DriveState> looks;  // the last one repeats
        int looked;                     // how many looks were taken
        const char* reason;             // part of the answer; empty: ready
    };
    const Case cases[] = {
        {{{true, true}}, 1, ""},
        {{{false, false}, {false, true}, {true, false}, {true, true}}, 4, ""},
        {{{false, false}}, 5, "not mounted at /home/anna/thinclient_drives"},
        {{{true, false}}, 5, "does not share the drive QDRIVE: /home/anna/thinclient_drives/QDRIVE does not exist"},
    };
    for (const Case& c : cases) {
        int looked = 0;
        auto look = [&] { return c.looks[std::min<std::size_t>(looked++, c.looks.size() - 1)]; };
        const std::string why = AwaitClientDrive(drive, look, [] { return false; }, 5, std::chrono::milliseconds(0));
        EXPECT_EQ(looked, c.looked) << c.reason;
        EXPECT_NE(why.find(c.reason), std::string::npos) << why;
        EXPECT_EQ(why.empty(), *c.reason == 0) << why;
    }
    int looked = 0;
    const auto count = [&] {
        ++looked;
        return DriveState{};
    };
    AwaitClientDrive(drive, count, [&] { return looked == 2; }, 5, {});
    EXPECT_EQ(looked, 2);  // a stop ends the wait
}

TEST(ClientDrive, APlainFolderIsNoMountAndAMissingDriveMakesNothing)
{
    const fs::path home = Fresh("drive-home"), server = Fresh("drive-server");
    Put(server / "s.txt", "server");
    fs::create_directories(home / "thinclient_drives" / "QDRIVE");
    const ClientDrive drive{home, home / "thinclient_drives", "QDRIVE"};
    EXPECT_FALSE(LookAtDrive(drive).mounted);
    EXPECT_TRUE(LookAtDrive(drive).shared);
    EXPECT_FALSE(LookAtDrive({home, home / "thinclient_drives", "OTHER"}).shared);

    // Nothing is created under the unmounted drives folder, either way.
    const ClientDrive other{home, home / "thinclient_drives", "OTHER"};
    for (bool toClient : {true, false}) {
        TransferOptions o;
        o.serverPath = server;
        o.clientPath = other.drives / other.name / "Docs";
        o.serverToClient = toClient;
        o.overwrite = Overwrite::Always;
        EXPECT_TRUE(ClientDriveWait(o, home));
        std::ostringstream out, err;
        const FolderWait once = [&](const auto& stopped) {
            return AwaitClientDrive(other, [&] { return LookAtDrive(other); }, stopped, 1, {});
        };
        EXPECT_EQ(RunWithoutWindow(o, out, err, {}, once), kExitNotCopied);
        EXPECT_NE(err.str().find("not mounted"), std::string::npos) << err.str();
        EXPECT_FALSE(fs::exists(other.drives / other.name));
    }
    EXPECT_FALSE(ClientDriveWait(TransferOptions{}, home));
}
