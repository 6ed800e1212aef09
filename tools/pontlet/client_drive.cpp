#include "client_drive.h"

#include "platform/tree_files.h"

#include <thread>

namespace fs = std::filesystem;

namespace pontlet {

namespace {

// Without a trailing separator, so that a folder and its parent compare.
fs::path Normal(const fs::path& p)
{
    fs::path n = p.lexically_normal();
    if (n.has_relative_path() && n.filename().empty())
        n = n.parent_path();
    return n;
}

} // namespace

std::optional<ClientDrive> ClientDriveOf(const fs::path& client, const std::optional<fs::path>& home)
{
    if (!home || !home->is_absolute() || !client.is_absolute())
        return std::nullopt;
    const fs::path drives = Normal(*home) / "thinclient_drives";
    const fs::path relative = Normal(client).lexically_relative(drives);
    if (relative.empty() || *relative.begin() == "..")
        return std::nullopt;
    const std::string first = relative.begin()->string();
    return ClientDrive{Normal(*home), drives, first == "." ? std::string() : first};
}

DriveState LookAtDrive(const ClientDrive& drive)
{
    DriveState state;
    platform::Folder home, drives;
    platform::EntryInfo homeInfo, drivesInfo, driveInfo;
    if (platform::Folder::Open(drive.home, home) || home.Info(homeInfo) ||
        platform::Folder::Open(drive.drives, drives) || drives.Info(drivesInfo))
        return state;
    state.mounted = drivesInfo.device != homeInfo.device;
    state.shared = drive.name.empty() ||
                   (!drives.Stat(drive.name, true, driveInfo) && driveInfo.type == platform::EntryType::Folder);
    return state;
}

std::string AwaitClientDrive(const ClientDrive& drive, const std::function<DriveState()>& look,
                             const std::function<bool()>& stopped, int tries, std::chrono::milliseconds pause)
{
    DriveState state;
    for (int i = 0; i < tries && !stopped(); ++i) {
        if (i > 0)
            std::this_thread::sleep_for(pause);
        state = look();
        if (state.mounted && state.shared)
            return {};
    }
    if (!state.mounted)
        return "the client's drives are not mounted at " + drive.drives.string() +
               " (xrdp's channel server mounts them with FUSE)";
    return "the client does not share the drive " + drive.name + ": " + (drive.drives / drive.name).string() +
           " does not exist";
}

} // namespace pontlet
