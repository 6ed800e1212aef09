#pragma once
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

// xrdp shows the drives a client shares as folders in ~/thinclient_drives:
// its channel server mounts that folder with FUSE a moment after the session
// starts, and each drive appears in it once the client has announced it. A
// transfer started with the session waits for its drive instead of writing
// into the plain folder under the mount: files there would never reach the
// client, and a folder left in it keeps the mount from being made at all.
namespace pontlet {

struct ClientDrive {
    std::filesystem::path home;
    std::filesystem::path drives;  // home/thinclient_drives
    std::string name;              // the drive's folder in it; empty for the mount itself
};

// The drive a client folder (expanded, absolute) lies on, if it lies in
// the user's ~/thinclient_drives.
std::optional<ClientDrive> ClientDriveOf(const std::filesystem::path& client,
                                         const std::optional<std::filesystem::path>& home);

struct DriveState {
    bool mounted = false;  // the drives folder is a mount point of its own
    bool shared = false;   // the drive's folder is in it
};

// How the drive looks now, on the real file system.
DriveState LookAtDrive(const ClientDrive& drive);

// Looks at the drive up to `tries` times, `pause` apart, until it is
// mounted and shared or `stopped` says so. Empty once it is there, else why
// nothing can be copied.
std::string AwaitClientDrive(const ClientDrive& drive, const std::function<DriveState()>& look,
                             const std::function<bool()>& stopped, int tries, std::chrono::milliseconds pause);

} // namespace pontlet
