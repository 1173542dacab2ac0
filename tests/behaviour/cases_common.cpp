// cases_common.cpp: behaviour every target shares.
#include <string>

#include "behaviour.h"

namespace {

// A path whose first entry exists, followed by bytes that must stop the
// call before it reaches the file system.
struct BadName {
    const char* what;
    const char* path;
};
const BadName kBadNames[] = {
    {"embedded NUL (C0 80)", "a\xC0\x80"},
    {"embedded NUL, then more", "a\xC0\x80" "b"},
    {"stray continuation byte", "a\x80"},
    {"truncated 2-byte sequence", "a\xC3"},
    {"truncated 3-byte sequence", "a\xE6\x97"},
    {"overlong '/' (C0 AF)", "a\xC0\xAF"},
    {"overlong 3-byte form", "a\xE0\x80\xAF"},
    {"4-byte form, never written by the JVM", "a\xF0\x9F\x98\x80"},
    {"invalid lead byte", "a\xFF"},
};

// Names outside ASCII: as created on disk (UTF-8) and as the JVM lends them.
struct Name {
    const char* onDisk;
    const char* fromJvm;
};
const Name kNames[] = {
    {"caf\xC3\xA9.txt", "caf\xC3\xA9.txt"},
    {"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt"},
    {"smile-\xF0\x9F\x98\x80.txt", "smile-\xED\xA0\xBD\xED\xB8\x80.txt"},  // U+1F600, a surrogate pair
};

void readOnlyAndBack(Context& c) {
    EXPECT(c, fixture::makeFile("f"));
    EXPECT(c, c.change("f", kTrue) == 1);
    EXPECT(c, fixture::isReadOnly("f"));
    EXPECT(c, c.change("f", kTrue) == 1);  // again: same answer, no change
    EXPECT(c, fixture::isReadOnly("f"));
    EXPECT(c, c.change("f", kFalse) == 1);
    EXPECT(c, !fixture::isReadOnly("f"));
    EXPECT(c, c.change("f", kFalse) == 1);
    EXPECT(c, !fixture::isReadOnly("f"));
}

void onlyTheFlagsLowByteCounts(Context& c) {
    const struct {
        std::uint32_t slot;
        bool readOnly;
    } slots[] = {{0x00000001, true},  {0x000000FF, true},  {0x12345680, true},
                 {0xFFFFFF00, false}, {0x00000100, false}, {0x00000000, false}};
    EXPECT(c, fixture::makeFile("f"));
    for (const auto& s : slots) {
        fixture::setReadOnly("f", !s.readOnly);
        EXPECT(c, c.change("f", s.slot) == 1);
        c.expect(fixture::isReadOnly("f") == s.readOnly, ("flag slot " + std::to_string(s.slot)).c_str(), __LINE__);
    }
}

void missingAndEmptyPaths(Context& c) {
    for (const char* path : {"missing", "", "missing-dir/f"}) {
        EXPECT(c, c.change(path, kTrue) == 0);
        EXPECT(c, c.change(path, kFalse) == 0);
        EXPECT(c, c.remove(path) == 0);
        EXPECT(c, !fixture::exists("missing"));
    }
}

void nullAndRefusedStrings(Context& c) {
    EXPECT(c, fixture::makeFile("f"));
    EXPECT(c, c.changeNull() == 0);
    EXPECT(c, c.removeNull() == 0);
    EXPECT(c, c.changeRefused("f") == 0);
    EXPECT(c, !fixture::isReadOnly("f"));
    EXPECT(c, c.removeRefused("f") == 0);
    EXPECT(c, fixture::exists("f"));
}

void removeWritableAndReadOnlyFiles(Context& c) {
    EXPECT(c, fixture::makeFile("w") && fixture::makeFile("r") && fixture::setReadOnly("r", true));
    EXPECT(c, c.remove("w") == 1);
    EXPECT(c, c.remove("r") == 1);
    EXPECT(c, !fixture::exists("w") && !fixture::exists("r"));
    EXPECT(c, c.remove("r") == 0);  // already gone
}

void directoriesAreNeverDeleted(Context& c) {
    EXPECT(c, fixture::makeDirectory("d"));
    EXPECT(c, c.change("d", kTrue) == 1);
    EXPECT(c, c.remove("d") == 0);
    EXPECT(c, fixture::exists("d"));
    EXPECT(c, c.change("d", kFalse) == 1);
    EXPECT(c, c.remove("d") == 0);
    EXPECT(c, fixture::exists("d"));
}

void relativeAndAbsolutePaths(Context& c) {
    EXPECT(c, fixture::makeDirectory("sub") && fixture::makeFile("sub/f") && fixture::makeFile("g"));
    EXPECT(c, c.change("sub/f", kTrue) == 1);  // Windows takes '/' as a separator too
    EXPECT(c, fixture::isReadOnly("sub/f"));
    EXPECT(c, c.remove("sub/f") == 1);
    EXPECT(c, !fixture::exists("sub/f"));

    const std::string absolute = std::filesystem::absolute(fixture::native("g")).u8string();
    EXPECT(c, c.change(absolute, kTrue) == 1);
    EXPECT(c, fixture::isReadOnly("g"));
    EXPECT(c, c.remove(absolute) == 1);
    EXPECT(c, !fixture::exists("g"));
}

void malformedPathsNeverReachTheFileSystem(Context& c) {
    EXPECT(c, fixture::makeFile("a"));
    for (const BadName& bad : kBadNames) {
        const bool answers0 = c.change(bad.path, kTrue) == 0 && c.remove(bad.path) == 0;
        c.expect(answers0, bad.what, __LINE__);
        c.expect(fixture::exists("a") && !fixture::isReadOnly("a"), bad.what, __LINE__);
    }
}

void namesOutsideAscii(Context& c) {
    for (const Name& name : kNames) {
        const bool made = fixture::makeFile(name.onDisk);
        const bool readOnly = c.change(name.fromJvm, kTrue) == 1 && fixture::isReadOnly(name.onDisk);
        const bool writable = c.change(name.fromJvm, kFalse) == 1 && !fixture::isReadOnly(name.onDisk);
        fixture::setReadOnly(name.onDisk, true);
        const bool removed = c.remove(name.fromJvm) == 1 && !fixture::exists(name.onDisk);
        c.expect(made && readOnly && writable && removed, name.onDisk, __LINE__);
    }
}

void pathsFarTooLong(Context& c) {
    std::string ascii(40000, 'a');
    std::string accented;
    for (int i = 0; i < 20000; ++i) accented += "\xC3\xA9";
    for (const std::string* path : {&ascii, &accented}) {
        EXPECT(c, c.change(*path, kTrue) == 0);
        EXPECT(c, c.remove(*path) == 0);
    }
}

}  // namespace

const std::vector<Case> commonCases = {
    {"changeFileMode makes a file read-only and writable, twice over", readOnlyAndBack},
    {"only the low 8 bits of the flag slot count", onlyTheFlagsLowByteCounts},
    {"missing and empty paths answer 0 and create nothing", missingAndEmptyPaths},
    {"a null string or a refused borrow answers 0 and touches nothing", nullAndRefusedStrings},
    {"removeFile deletes writable and read-only files", removeWritableAndReadOnlyFiles},
    {"directories take the flag but are never deleted", directoriesAreNeverDeleted},
    {"relative paths follow the current directory; absolute paths work", relativeAndAbsolutePaths},
    {"malformed and NUL-bearing paths answer 0 and touch nothing", malformedPathsNeverReachTheFileSystem},
    {"names outside ASCII, surrogate pairs included", namesOutsideAscii},
    {"paths of tens of thousands of characters answer 0", pathsFarTooLong},
};
