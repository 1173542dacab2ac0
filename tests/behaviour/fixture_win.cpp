// fixture_win.cpp: the read-only attribute as Windows keeps it.
#include <windows.h>

#include "behaviour.h"

namespace fixture {

bool isReadOnly(const std::string& name) {
    const DWORD attributes = GetFileAttributesW(native(name).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

bool setReadOnly(const std::string& name, bool readOnly) {
    const DWORD attributes = GetFileAttributesW(native(name).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    const DWORD wanted = readOnly ? attributes | FILE_ATTRIBUTE_READONLY : attributes & ~DWORD{FILE_ATTRIBUTE_READONLY};
    return SetFileAttributesW(native(name).c_str(), wanted) != 0;
}

}  // namespace fixture
