// fake_platform.cpp: the substitute behind platform.h.
#include "fake_platform.h"

#include "platform.h"

FakePlatform& fake() {
    static FakePlatform instance;
    return instance;
}

namespace fileops::platform {

std::uint32_t getAttributes(const char* path) {
    FakePlatform& f = fake();
    ++f.gets;
    f.lastPath = path;
    const auto it = f.entries.find(path);
    return it == f.entries.end() ? INVALID_FILE_ATTRIBUTES : it->second.attributes;
}

bool setAttributes(const char* path, std::uint32_t attributes) {
    FakePlatform& f = fake();
    ++f.sets;
    f.lastPath = path;
    const auto it = f.entries.find(path);
    if (it == f.entries.end() || it->second.refuseSet) return false;
    it->second.attributes = attributes;
    return true;
}

bool deleteFile(const char* path) {
    FakePlatform& f = fake();
    ++f.deletes;
    f.lastPath = path;
    const auto it = f.entries.find(path);
    if (it == f.entries.end() || it->second.refuseDelete) return false;
    f.entries.erase(it);
    return true;
}

}  // namespace fileops::platform
