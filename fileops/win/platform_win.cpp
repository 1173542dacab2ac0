// platform_win.cpp: the host file system on Windows, through the file API
// of KERNEL32.dll alone. This file, like the whole DLL, uses no C runtime.
//
// A path of plain ASCII shorter than MAX_PATH goes to the ANSI functions byte
// for byte. Any other path is decoded from modified UTF-8 into UTF-16 for the
// wide functions, so that names outside the ANSI code page survive; from
// MAX_PATH units on, it takes the \\?\ form of its full path, as java.io.File
// does, so that long paths work without the process opting in to them.
#include "platform.h"

#include <windows.h>

#include "mutf8.h"

namespace fileops::platform {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 units are wchar_t here");

// The most UTF-16 units a name can have, its NUL included.
constexpr DWORD kLongestName = 32767;
// Room kept in front of a full path for its \\?\ or \\?\UNC\ prefix.
constexpr DWORD kPrefixRoom = 6;

bool startsWith(const wchar_t* s, const wchar_t* prefix) {
    for (; *prefix != 0; ++s, ++prefix) {
        if (*s != *prefix) return false;
    }
    return true;
}

std::size_t byteLength(const char* s) {
    std::size_t n = 0;
    while (s[n] != 0) ++n;
    return n;
}

wchar_t* allocate(std::size_t units) {
    return static_cast<wchar_t*>(HeapAlloc(GetProcessHeap(), 0, units * sizeof(wchar_t)));
}

void release(wchar_t* memory) {
    if (memory != nullptr) HeapFree(GetProcessHeap(), 0, memory);
}

// HostPath: the caller's modified UTF-8 path in the form the file API takes,
// for the length of one operation. Exactly one of ansi() and wide() is set
// when the path is usable; neither when it is malformed or too long.
class HostPath {
public:
    explicit HostPath(const char* path) {
        if (mutf8::isShortAscii(path, MAX_PATH)) {
            ansi_ = path;
            return;
        }
        const std::size_t n = mutf8::toUtf16(path, utf16(stack_), MAX_PATH);
        if (n == mutf8::kMalformed) return;
        if (n != mutf8::kTooLong) {
            wide_ = stack_;
            return;
        }
        wide_ = longForm(path);
    }
    ~HostPath() { release(heap_); }
    HostPath(const HostPath&) = delete;
    HostPath& operator=(const HostPath&) = delete;

    const char* ansi() const { return ansi_; }
    const wchar_t* wide() const { return wide_; }

private:
    static char16_t* utf16(wchar_t* p) { return reinterpret_cast<char16_t*>(p); }

    // longForm: the \\?\ form of the full path of `path`, decoded to MAX_PATH
    // units or more, in memory from the process heap owned by heap_. Answers
    // null when the path is malformed, longer than any name, or has no full
    // path.
    const wchar_t* longForm(const char* path) {
        // A sequence never decodes to more units than it has bytes.
        std::size_t capacity = byteLength(path) + 1;
        if (capacity > kLongestName) capacity = kLongestName;
        wchar_t* decoded = allocate(capacity);
        if (decoded == nullptr) return nullptr;
        const std::size_t n = mutf8::toUtf16(path, utf16(decoded), capacity);
        if (n == mutf8::kMalformed || n == mutf8::kTooLong) {
            release(decoded);
            return nullptr;
        }
        if (startsWith(decoded, L"\\\\?\\")) {  // already in long form: taken as it is
            heap_ = decoded;
            return decoded;
        }

        const DWORD needed = GetFullPathNameW(decoded, 0, nullptr, nullptr);
        if (needed == 0 || needed + kPrefixRoom > kLongestName) {
            release(decoded);
            return nullptr;
        }
        heap_ = allocate(kPrefixRoom + needed);
        wchar_t* full = heap_ == nullptr ? nullptr : heap_ + kPrefixRoom;
        const DWORD written = full == nullptr ? 0 : GetFullPathNameW(decoded, needed, full, nullptr);
        release(decoded);
        if (written == 0 || written >= needed) return nullptr;

        if (startsWith(full, L"\\\\?\\") || startsWith(full, L"\\\\.\\")) return full;
        if (startsWith(full, L"\\\\")) {
            // \\server\share\... becomes \\?\UNC\server\share\...: the
            // prefix ends where the server name begins.
            const wchar_t prefix[] = L"\\\\?\\UNC\\";
            for (DWORD i = 0; i < 8; ++i) heap_[i] = prefix[i];
            return heap_;
        }
        // C:\... becomes \\?\C:\...: the prefix ends where the full path begins.
        wchar_t* const start = full - 4;
        const wchar_t prefix[] = L"\\\\?\\";
        for (DWORD i = 0; i < 4; ++i) start[i] = prefix[i];
        return start;
    }

    const char* ansi_ = nullptr;
    const wchar_t* wide_ = nullptr;
    wchar_t* heap_ = nullptr;
    wchar_t stack_[MAX_PATH];
};

}  // namespace

std::uint32_t getAttributes(const char* path) {
    const HostPath host(path);
    if (host.ansi() != nullptr) return GetFileAttributesA(host.ansi());
    if (host.wide() != nullptr) return GetFileAttributesW(host.wide());
    return INVALID_FILE_ATTRIBUTES;
}

bool setAttributes(const char* path, std::uint32_t attributes) {
    const HostPath host(path);
    if (host.ansi() != nullptr) return SetFileAttributesA(host.ansi(), attributes) != 0;
    if (host.wide() != nullptr) return SetFileAttributesW(host.wide(), attributes) != 0;
    return false;
}

bool deleteFile(const char* path) {
    const HostPath host(path);
    if (host.ansi() != nullptr) return DeleteFileA(host.ansi()) != 0;
    if (host.wide() != nullptr) return DeleteFileW(host.wide()) != 0;
    return false;
}

}  // namespace fileops::platform
