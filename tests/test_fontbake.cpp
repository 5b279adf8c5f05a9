// fontbake where its output cannot be written whole: no part of the file is
// left behind, and a device given as the output stays where it is.

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

int Bake(const std::string& output)
{
    return std::system(("\"" QUELLIN_BINARY_DIR "/tools/fontbake\" \"" + output + "\" >/dev/null 2>&1").c_str());
}

} // namespace

TEST(Fontbake, LeavesNoPartOfItsOutputAndNoDeviceRemoved)
{
    TempDir dir;
    if (geteuid() != 0 || mount("tmpfs", dir.path().c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "the file system to fill is a small tmpfs, and the device a node of our own: both need root";
    // The baked face is about 390 kB: the file system fills up.
    EXPECT_NE(Bake(dir.file("HUD.font")), 0);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));

    // A device that is always full, as /dev/full is, made here so that
    // nothing of the system's is at stake.
    const std::string device = dir.file("full");
    ASSERT_EQ(mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 7)), 0);
    EXPECT_NE(Bake(device), 0);
    struct stat st;
    EXPECT_TRUE(stat(device.c_str(), &st) == 0 && S_ISCHR(st.st_mode)) << "the device is left in place";
    umount2(dir.path().c_str(), MNT_DETACH);
}
