// posix_host_test.cpp: the POSIX host file system itself, on the real
// kernel: the delete's refusals, and the no-follow guarantee, also when the
// entry is swapped for a link between the read and the write, and also on a
// kernel without fchmodat2.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <fcntl.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <string>

#include "fileops.h"
#include "platform.h"

namespace {

constexpr long kFchmodat2 = 452;

class PosixHost : public ::testing::Test {
protected:
    void SetUp() override {
        char dir[] = "/tmp/trelvan-host-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        dir_ = dir;
        ASSERT_EQ(chdir(dir), 0);
    }
    void TearDown() override {
        ASSERT_EQ(chdir("/"), 0);
        ASSERT_EQ(std::system(("rm -rf '" + dir_ + "'").c_str()), 0);
    }
    static void makeFile(const char* name, mode_t mode) {
        const int fd = open(name, O_CREAT | O_WRONLY | O_EXCL, 0600);
        ASSERT_GE(fd, 0);
        close(fd);
        ASSERT_EQ(chmod(name, mode), 0);
    }
    static mode_t modeOf(const char* name) {
        struct stat st;
        return lstat(name, &st) == 0 ? st.st_mode & 07777 : mode_t{0};
    }
    std::string dir_;
};

// Makes fchmodat2 answer ENOSYS in this process, as a kernel older than 6.6.
bool withoutFchmodat2() {
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AUDIT_ARCH_X86_64, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kFchmodat2, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | ENOSYS),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog program = {static_cast<unsigned short>(sizeof filter / sizeof filter[0]), filter};
    return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0 &&
           syscall(kFchmodat2, AT_FDCWD, ".", 0755, 0) == -1 && errno == ENOSYS;
}

// The mode changes that must hold with and without fchmodat2. Answers a
// description of the first one that does not, or "" when all hold.
std::string modeChangesHold() {
    struct stat st;
    if (chmod("f", 0764) != 0) return "setup";
    if (fileops::setFileMode("f", S_IREAD) != 0 || lstat("f", &st) != 0 || (st.st_mode & 07777) != 0544)
        return "read-only";
    if (fileops::setFileMode("f", S_IWRITE) != 0 || lstat("f", &st) != 0 || (st.st_mode & 07777) != 0744)
        return "writable";
    if (chmod("target", 0444) != 0) return "setup";
    if (fileops::setFileMode("link", S_IWRITE) != -1) return "a link was changed";
    // The entry read as a regular file, then swapped for a link before the
    // write: the write must refuse the link and leave its target alone.
    const std::uint32_t word = fileops::platform::getAttributes("f");
    if (fileops::platform::setAttributes("link", word & ~std::uint32_t{FILE_ATTRIBUTE_READONLY})) return "swap followed";
    if (lstat("target", &st) != 0 || (st.st_mode & 07777) != 0444) return "the link's target changed";
    return "";
}

TEST_F(PosixHost, DeleteRefusesReadOnlyFilesAndDirectories) {
    makeFile("f", 0444);
    ASSERT_EQ(mkdir("d", 0755), 0);
    EXPECT_EQ(fileops::deletePath("f"), -1);
    EXPECT_EQ(modeOf("f"), 0444u);
    EXPECT_EQ(fileops::setFileMode("f", S_IWRITE), 0);
    EXPECT_EQ(fileops::deletePath("f"), 0);
    EXPECT_EQ(access("f", F_OK), -1);
    EXPECT_EQ(fileops::deletePath("d"), -1);
    EXPECT_EQ(access("d", F_OK), 0);
}

TEST_F(PosixHost, ModeChangesNeverFollowLinks) {
    makeFile("f", 0644);
    makeFile("target", 0444);
    ASSERT_EQ(symlink("target", "link"), 0);
    EXPECT_EQ(modeChangesHold(), "");
}

TEST_F(PosixHost, ModeChangesNeverFollowLinksWithoutFchmodat2) {
    makeFile("f", 0644);
    makeFile("target", 0444);
    ASSERT_EQ(symlink("target", "link"), 0);
    // In a child process: the filter cannot be lifted once installed.
    EXPECT_EXIT(
        {
            if (!withoutFchmodat2()) std::_Exit(2);
            const std::string broken = modeChangesHold();
            std::_Exit(broken.empty() ? 0 : (fprintf(stderr, "%s\n", broken.c_str()), 1));
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
