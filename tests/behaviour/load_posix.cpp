// load_posix.cpp: loading the library under test with dlopen.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

#include "library.h"

Exports loadExports(const std::string& path) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        std::fprintf(stderr, "FATAL: cannot load %s: %s\n", path.c_str(), dlerror());
        std::exit(2);
    }
    Exports exports;
    exports.changeFileMode = dlsym(handle, TRELVAN_EXPORT_CHANGE_FILE_MODE);
    exports.removeFile = dlsym(handle, TRELVAN_EXPORT_REMOVE_FILE);
    if (exports.changeFileMode == nullptr || exports.removeFile == nullptr) {
        std::fprintf(stderr, "FATAL: %s lacks an export: %s\n", path.c_str(), dlerror());
        std::exit(2);
    }
    return exports;
}
