// platform_posix.cpp: the host file system on POSIX, with Windows attribute
// semantics.
//
// An entry is read-only when its owner-write bit is clear. Making it
// read-only clears all three write bits; making it writable sets the
// owner-write bit; every other mode bit is kept. This is what
// File.setReadOnly() and File.setWritable(true) do in Java. The delete
// refuses read-only files and directories, as DeleteFileA does.
//
// No operation follows a symbolic link in the last path component, even if
// the entry is swapped for a link between two system calls: the entry is read
// with lstat, its mode changed with a no-follow fchmodat2, and a link is
// unlinked as itself.
#include "platform.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "mutf8.h"

// Linux 6.6 added fchmodat2, the first chmod that honours
// AT_SYMLINK_NOFOLLOW; its number is the same on every architecture.
#ifndef SYS_fchmodat2
#define SYS_fchmodat2 452
#endif

namespace fileops::platform {
namespace {

// The attribute word keeps the st_mode it was read from in its upper half,
// so that setAttributes can write the mode back without reading it again.
constexpr unsigned kModeShift = 16;
constexpr mode_t kAllWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

// HostPath: the caller's modified UTF-8 path in the form the kernel takes.
// ASCII is used in place; anything else is decoded into a buffer on the
// stack. `name` is null when the path has no UTF-8 form or does not fit in
// PATH_MAX, which the kernel would refuse anyway.
class HostPath {
public:
    explicit HostPath(const char* path) {
        if (mutf8::isShortAscii(path, PATH_MAX)) {
            name_ = path;
        } else if (mutf8::toUtf8(path, buffer_, sizeof buffer_) < sizeof buffer_) {
            name_ = buffer_;
        }
    }
    HostPath(const HostPath&) = delete;
    HostPath& operator=(const HostPath&) = delete;

    const char* name() const { return name_; }

private:
    const char* name_ = nullptr;
    char buffer_[PATH_MAX];
};

// chmodNoFollow: sets the mode of the entry at `name` itself; refuses a
// symbolic link. Answers 0 or -1 as chmod does.
int chmodNoFollow(const char* name, mode_t mode) {
    if (syscall(SYS_fchmodat2, AT_FDCWD, name, mode, AT_SYMLINK_NOFOLLOW) == 0) return 0;
    if (errno != ENOSYS) return -1;
    // Older kernels: the C library refuses links itself and changes the mode
    // through an O_PATH descriptor, which a swap cannot redirect.
    return fchmodat(AT_FDCWD, name, mode, AT_SYMLINK_NOFOLLOW);
}

}  // namespace

std::uint32_t getAttributes(const char* path) {
    const HostPath host(path);
    struct stat st;
    if (host.name() == nullptr || lstat(host.name(), &st) != 0) return INVALID_FILE_ATTRIBUTES;

    std::uint32_t attributes = static_cast<std::uint32_t>(st.st_mode & 0xFFFFu) << kModeShift;
    if ((st.st_mode & S_IWUSR) == 0) attributes |= FILE_ATTRIBUTE_READONLY;
    return attributes;
}

bool setAttributes(const char* path, std::uint32_t attributes) {
    const HostPath host(path);
    if (host.name() == nullptr) return false;

    const mode_t read = static_cast<mode_t>(attributes >> kModeShift);
    if (S_ISLNK(read)) return false;  // a link has no mode of its own to change

    mode_t mode = read & 07777;
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        mode &= ~kAllWriteBits;
    } else {
        mode |= S_IWUSR;
    }
    return chmodNoFollow(host.name(), mode) == 0;
}

bool deleteFile(const char* path) {
    const HostPath host(path);
    struct stat st;
    if (host.name() == nullptr || lstat(host.name(), &st) != 0) return false;
    if (S_ISDIR(st.st_mode)) return false;
    if (!S_ISLNK(st.st_mode) && (st.st_mode & S_IWUSR) == 0) return false;  // read-only
    return unlink(host.name()) == 0;
}

}  // namespace fileops::platform
