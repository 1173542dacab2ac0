// fake_platform.h: a substitute for the host file system, linked in place of
// the real platform layer. Entries are attribute words by path; each
// operation is counted, and any of them can be made to fail.
#pragma once

#include <cstdint>
#include <map>
#include <string>

struct FakeEntry {
    std::uint32_t attributes = 0;
    bool refuseSet = false;
    bool refuseDelete = false;
};

struct FakePlatform {
    std::map<std::string, FakeEntry> entries;
    int gets = 0, sets = 0, deletes = 0;
    std::string lastPath;  // the path of the last operation, as received
};

// The one substitute the seam links against; tests reset it.
FakePlatform& fake();
