#include "base/folder_browsing.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(MountedVolumes, RealFileSystemsOnlyOncePerMountPoint) {
    const std::string mounts =
        "proc /proc proc rw 0 0\n"
        "/dev/sda1 / ext4 rw 0 0\n"
        "tmpfs /run tmpfs rw 0 0\n"
        "tmpfs /dev/shm tmpfs rw 0 0\n"
        "cgroup2 /sys/fs/cgroup cgroup2 rw 0 0\n"
        "/dev/sdb1 /media/Flight\\040Sim ntfs3 rw 0 0\n"
        "/dev/sdc1 /data ext4 rw 0 0\n"
        "/dev/sdd1 /data xfs rw 0 0\n"
        "tmpfs /tmp tmpfs rw 0 0\n"
        "broken line\n";
    const std::vector<MountedVolume> volumes = ParseMounts(mounts, {{"/dev/sdb1", "FS DISK"}});
    const std::vector<MountedVolume> expected = {
        {"/", "/dev/sda1"}, {"/data", "/dev/sdd1"}, {"/media/Flight Sim", "FS DISK"}, {"/tmp", "tmpfs"}};
    EXPECT_EQ(volumes, expected);
    EXPECT_EQ(volumes[2].Entry(), "/media/Flight Sim [FS DISK]");

    EXPECT_EQ(VolumeHolding(volumes, "/media/Flight Sim/FS2002"), 2u);
    EXPECT_EQ(VolumeHolding(volumes, "/database"), 0u);  // not below /data
    EXPECT_EQ(VolumeHolding(volumes, "/data"), 1u);
}

}  // namespace
}  // namespace tarnwick
