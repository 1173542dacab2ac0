// cases_win.cpp: behaviour on the Windows file API: other attributes kept,
// long paths, names only UTF-16 can hold, files held open.
#include <windows.h>

#include <cstring>

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

// The library's heap use, seen through its own import table: each of its
// calls of HeapAlloc and HeapFree is counted on the way to the real one.
struct HeapCounter {
    static inline decltype(&HeapAlloc) realAlloc = nullptr;
    static inline decltype(&HeapFree) realFree = nullptr;
    static inline int allocations = 0, frees = 0;
    static LPVOID WINAPI alloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
        ++allocations;
        return realAlloc(heap, flags, bytes);
    }
    static BOOL WINAPI free(HANDLE heap, DWORD flags, LPVOID memory) {
        ++frees;
        return realFree(heap, flags, memory);
    }
};

// patchImport: points the module's import of `name` at `replacement`;
// answers what it pointed at before, or null when there is no such import.
void* patchImport(HMODULE module, const char* name, void* replacement) {
    BYTE* const base = reinterpret_cast<BYTE*>(module);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name != 0; ++d) {
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), name) != 0) continue;
            DWORD protection;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &protection);
            void* const original = reinterpret_cast<void*>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
            return original;
        }
    }
    return nullptr;
}

void theHeapOnlyForLongPathsAndAlwaysGivenBack(Context& c) {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       static_cast<LPCWSTR>(c.exports().changeFileMode), &module);
    HeapCounter::realAlloc = reinterpret_cast<decltype(&HeapAlloc)>(
        patchImport(module, "HeapAlloc", reinterpret_cast<void*>(&HeapCounter::alloc)));
    HeapCounter::realFree = reinterpret_cast<decltype(&HeapFree)>(
        patchImport(module, "HeapFree", reinterpret_cast<void*>(&HeapCounter::free)));
    EXPECT(c, HeapCounter::realAlloc != nullptr && HeapCounter::realFree != nullptr);
    if (HeapCounter::realAlloc == nullptr || HeapCounter::realFree == nullptr) return;

    const auto heapUse = [&](const std::string& path) {
        HeapCounter::allocations = HeapCounter::frees = 0;
        c.change(path, kTrue);
        c.change(path, kFalse);
        c.remove(path);
        c.expect(HeapCounter::frees == HeapCounter::allocations, ("heap given back: " + path.substr(0, 40)).c_str(),
                 __LINE__);
        return HeapCounter::allocations;
    };
    EXPECT(c, fixture::makeFile("plain.txt") && fixture::makeFile("caf\xC3\xA9.txt"));
    EXPECT(c, heapUse("plain.txt") == 0);
    EXPECT(c, heapUse("caf\xC3\xA9.txt") == 0);  // decoded on the stack
    EXPECT(c, heapUse(std::string(MAX_PATH - 1, 'x')) == 0);
    const std::string deep = makeDeepDirectories(std::string(99, 'd') + "\xC3\xA9", 3) + "f";
    EXPECT(c, heapUse(deep) > 0);
    EXPECT(c, heapUse(std::string(MAX_PATH, 'x')) > 0);
    std::string farTooLong;
    for (int i = 0; i < 20000; ++i) farTooLong += "\xC3\xA9";
    EXPECT(c, heapUse(farTooLong) > 0);
    EXPECT(c, heapUse("bad\xC0\x80") == 0);

    patchImport(module, "HeapAlloc", reinterpret_cast<void*>(HeapCounter::realAlloc));
    patchImport(module, "HeapFree", reinterpret_cast<void*>(HeapCounter::realFree));
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
    {"windows: the heap only for paths of MAX_PATH or more, always given back", theHeapOnlyForLongPathsAndAlwaysGivenBack},
    {"windows: a file held open is not deleted and stays writable", aFileHeldOpenStaysButTurnsWritable},
};
