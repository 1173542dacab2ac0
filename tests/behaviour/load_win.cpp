// load_win.cpp: loading the library under test with LoadLibrary, and
// looking its exports up by exactly the names the JVM asks for.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "library.h"

Exports loadExports(const std::string& path) {
    HMODULE module = LoadLibraryA(path.c_str());
    if (module == nullptr) {
        std::fprintf(stderr, "FATAL: cannot load %s: error %lu\n", path.c_str(), GetLastError());
        std::exit(2);
    }
    Exports exports;
    exports.changeFileMode = reinterpret_cast<void*>(GetProcAddress(module, TRELVAN_EXPORT_CHANGE_FILE_MODE));
    exports.removeFile = reinterpret_cast<void*>(GetProcAddress(module, TRELVAN_EXPORT_REMOVE_FILE));
    if (exports.changeFileMode == nullptr || exports.removeFile == nullptr) {
        std::fprintf(stderr, "FATAL: %s lacks %s or %s\n", path.c_str(), TRELVAN_EXPORT_CHANGE_FILE_MODE,
                     TRELVAN_EXPORT_REMOVE_FILE);
        std::exit(2);
    }
    return exports;
}
