// cases_win.cpp: behaviour on the Windows file API: other attributes kept,
// long paths, names only UTF-16 can hold, files held open.
#include <windows.h>

#include "behaviour.h"

namespace {

DWORD attributesOf(const std::string& name) { return GetFileAttributesW(fixture::native(name).c_str()); }

void otherAttributesAreKept(Context& c) {
    const DWORD kinds[] = {FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM, FILE_ATTRIBUTE_ARCHIVE,
                           FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE};
    EXPECT(c, fixture::makeFile("f"));
    for (DWORD kind : kinds) {
        SetFileAttributesW(L"f", kind);
        const DWORD before = attributesOf("f");
        const bool ro = c.change("f", kTrue) == 1 && attributesOf("f") == (before | FILE_ATTRIBUTE_READONLY);
        const bool rw = c.change("f", kFalse) == 1 && attributesOf("f") == before;
        c.expect(ro && rw, ("attributes " + std::to_string(kind)).c_str(), __LINE__);
    }
}

// Directories nested until the relative path to a file in them passes
// MAX_PATH. Made through the \\?\ form, which has no such limit.
std::string makeDeepDirectories(const std::string& component, int depth) {
    std::wstring full = L"\\\\?\\" + std::filesystem::current_path().wstring();
    std::string relative;
    for (int i = 0; i < depth; ++i) {
        full += L"\\" + fixture::native(component).wstring();
        CreateDirectoryW(full.c_str(), nullptr);
        relative += component + "\\";
    }
    return relative;
}

void longPaths(Context& c) {
    const struct {
        const char* what;
        std::string component;
    } kinds[] = {{"ASCII", std::string(100, 'd')}, {"accented", std::string(99, 'd') + "\xC3\xA9"}};
    for (const auto& kind : kinds) {
        const std::string path = makeDeepDirectories(kind.component, 3) + "file.txt";
        std::wstring full = L"\\\\?\\" + std::filesystem::current_path().wstring() + L"\\" + fixture::native(path).wstring();
        CloseHandle(CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));

        const bool ro = c.change(path, kTrue) == 1 && (GetFileAttributesW(full.c_str()) & FILE_ATTRIBUTE_READONLY);
        const bool removed = c.remove(path) == 1 && GetFileAttributesW(full.c_str()) == INVALID_FILE_ATTRIBUTES;
        c.expect(fixture::native(path).wstring().size() >= MAX_PATH && ro && removed, kind.what, __LINE__);
    }
}

void unpairedSurrogateNames(Context& c) {
    // Windows names are any sequence of 16-bit units, and a Java string can
    // name them. Wine cannot hold such a name (its files have UTF-8 names);
    // there the library must then agree with the wide API and answer 0.
    const wchar_t name[] = {L'x', 0xD800, L'.', L't', 0};
    const char* fromJvm = "x\xED\xA0\x80.t";
    HANDLE made = CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (made == INVALID_HANDLE_VALUE) {
        EXPECT(c, c.change(fromJvm, kTrue) == 0);
        EXPECT(c, c.remove(fromJvm) == 0);
        return;
    }
    CloseHandle(made);
    EXPECT(c, c.change(fromJvm, kTrue) == 1);
    EXPECT(c, (GetFileAttributesW(name) & FILE_ATTRIBUTE_READONLY) != 0);
    EXPECT(c, c.remove(fromJvm) == 1);
    EXPECT(c, GetFileAttributesW(name) == INVALID_FILE_ATTRIBUTES);
}

void aFileHeldOpenStaysButTurnsWritable(Context& c) {
    EXPECT(c, fixture::makeFile("held") && fixture::setReadOnly("held", true));
    HANDLE held = CreateFileW(L"held", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT(c, held != INVALID_HANDLE_VALUE);
    EXPECT(c, c.remove("held") == 0);
    EXPECT(c, fixture::exists("held") && !fixture::isReadOnly("held"));  // not restored, by design
    CloseHandle(held);
}

}  // namespace

const std::vector<Case> platformCases = {
    {"windows: hidden, system and archive survive both directions", otherAttributesAreKept},
    {"windows: paths of MAX_PATH and more, ASCII or not", longPaths},
    {"windows: names with unpaired surrogates", unpairedSurrogateNames},
    {"windows: a file held open is not deleted and stays writable", aFileHeldOpenStaysButTurnsWritable},
};
