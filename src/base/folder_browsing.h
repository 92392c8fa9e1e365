#pragma once
// What the setup window's drive list and folder tree show: the mounted file
// systems (the Linux counterpart of drives) and the folders inside a folder.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

struct MountedVolume {
    std::string Root;  // the mount point
    std::string Name;  // the file system's label, or its source when it has none
    // As a drive list shows it: the root and the volume name in brackets.
    std::string Entry() const { return Root + " [" + Name + "]"; }
    bool operator==(const MountedVolume&) const = default;
};

// The volumes of a /proc/mounts text worth offering: pseudo and system file
// systems left out, one entry per mount point (the last mount wins), ordered
// by mount point. `labels` maps a device path to its label.
std::vector<MountedVolume> ParseMounts(std::string_view procMounts,
                                       const std::vector<std::pair<std::string, std::string>>& labels = {});

// The volumes of this machine; at least the root folder.
std::vector<MountedVolume> ListMountedVolumes();

// Index of the volume holding `path` (the longest mount point above it), 0 when none.
std::size_t VolumeHolding(const std::vector<MountedVolume>& volumes, const std::filesystem::path& path);

// Sub-folder names of `folder`, ordered ignoring case; empty when unreadable.
std::vector<std::string> ListSubfolders(const std::filesystem::path& folder);

}  // namespace tarnwick
