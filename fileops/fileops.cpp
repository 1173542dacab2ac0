// fileops.cpp: the primitives' rules, over the host file system of platform.h.
#include "fileops.h"

#include "platform.h"

namespace fileops {

int setFileMode(const char* path, int mode) {
    std::uint32_t attributes = platform::getAttributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return -1;

    if (mode & S_IWRITE) {
        attributes &= ~std::uint32_t{FILE_ATTRIBUTE_READONLY};
    } else {
        attributes |= FILE_ATTRIBUTE_READONLY;
    }
    // The word goes back whole, even when the bit already had the wanted
    // value: the platform's answer to the write is the answer.
    return platform::setAttributes(path, attributes) ? 0 : -1;
}

int deletePath(const char* path) {
    // A refused delete is a failure, whatever error code the platform leaves
    // behind: a failed DeleteFile can leave GetLastError() at 0.
    return platform::deleteFile(path) ? 0 : -1;
}

}  // namespace fileops
