// cases_posix.cpp: behaviour of the POSIX stand-in: the mode bits behind
// the read-only attribute, and symbolic links.
#include <sys/stat.h>
#include <unistd.h>

#include "behaviour.h"

namespace {

mode_t modeOf(const char* name) {
    struct stat st;
    return lstat(name, &st) == 0 ? st.st_mode & 07777 : mode_t{0};
}

void readOnlyIsTheWriteBits(Context& c) {
    // Read-only clears all three write bits; writable sets the owner's;
    // nothing else changes, as with File.setReadOnly and setWritable(true).
    const struct {
        mode_t start, readOnly, writable;
    } modes[] = {
        {0764, 0544, 0744}, {0666, 0444, 0644}, {0600, 0400, 0600},
        {0444, 0444, 0644}, {04755, 04555, 04755}, {01777, 01555, 01755},
    };
    EXPECT(c, fixture::makeFile("f"));
    for (const auto& m : modes) {
        chmod("f", m.start);
        const bool ro = c.change("f", kTrue) == 1 && modeOf("f") == m.readOnly;
        const bool rw = c.change("f", kFalse) == 1 && modeOf("f") == m.writable;
        c.expect(ro && rw, ("mode " + std::to_string(m.start)).c_str(), __LINE__);
    }
}

void linksAreNeverFollowed(Context& c) {
    EXPECT(c, fixture::makeFile("target") && chmod("target", 0444) == 0);
    EXPECT(c, fixture::makeDirectory("dir"));
    EXPECT(c, symlink("target", "link") == 0 && symlink("dir", "dirlink") == 0 && symlink("nowhere", "dangling") == 0);

    EXPECT(c, c.change("link", kFalse) == 0);  // a link has no mode of its own
    EXPECT(c, c.change("link", kTrue) == 0);
    EXPECT(c, modeOf("target") == 0444);

    for (const char* link : {"link", "dirlink", "dangling"}) {
        c.expect(c.remove(link) == 1 && !fixture::exists(link), link, __LINE__);
    }
    EXPECT(c, fixture::exists("target") && modeOf("target") == 0444);
    EXPECT(c, fixture::exists("dir"));
}

// Checked here only: Wine keeps no read-only attribute on directories.
void removeFileClearsReadOnlyOfADirectoryItCannotDelete(Context& c) {
    EXPECT(c, fixture::makeDirectory("d") && chmod("d", 0555) == 0);
    EXPECT(c, c.remove("d") == 0);
    EXPECT(c, fixture::exists("d") && modeOf("d") == 0755);
}

void unpairedSurrogatesHaveNoUtf8Form(Context& c) {
    EXPECT(c, fixture::makeFile("a"));
    for (const char* path : {"a\xED\xA0\x80", "a\xED\xB0\x80", "a\xED\xA0\x80" "b"}) {
        EXPECT(c, c.change(path, kTrue) == 0);
        EXPECT(c, c.remove(path) == 0);
    }
    EXPECT(c, fixture::exists("a") && !fixture::isReadOnly("a"));
}

}  // namespace

const std::vector<Case> platformCases = {
    {"posix: read-only clears every write bit, writable sets the owner's", readOnlyIsTheWriteBits},
    {"posix: links are removed as links and never followed", linksAreNeverFollowed},
    {"posix: removeFile on a read-only directory keeps it, writable", removeFileClearsReadOnlyOfADirectoryItCannotDelete},
    {"posix: unpaired surrogates answer 0", unpairedSurrogatesHaveNoUtf8Form},
};
