// fixture_posix.cpp: the read-only attribute as POSIX keeps it, in the
// owner-write bit.
#include <sys/stat.h>

#include "behaviour.h"

namespace fixture {

bool isReadOnly(const std::string& name) {
    struct stat st;
    return lstat(native(name).c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0;
}

bool setReadOnly(const std::string& name, bool readOnly) {
    struct stat st;
    if (lstat(native(name).c_str(), &st) != 0) return false;
    const mode_t mode = readOnly ? st.st_mode & ~mode_t{0222} : st.st_mode | S_IWUSR;
    return chmod(native(name).c_str(), mode & 07777) == 0;
}

}  // namespace fixture
