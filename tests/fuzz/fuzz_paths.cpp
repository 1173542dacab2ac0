// fuzz_paths: arbitrary bytes as the path of the real exported functions,
// and as the input of both path decoders.
//
// Confinement: every input is made relative to a scratch directory, with
// leading '/' dropped and each ".." component renamed, before it reaches the
// library; the scratch fixture's links point only at names beside them. No
// input can therefore name anything outside the scratch directory, wherever
// the fuzzer is started and whoever runs it.
//
// Invariants, each a crash when broken:
//   - every answer is exactly 0 or 1, and the JNI rules hold;
//   - removeFile answered 1: exactly the named entry is gone, nothing else
//     changed; answered 0: nothing is gone;
//   - changeFileMode changes at most the named entry's write bits;
//   - an input the decoder refuses (an embedded C0 80 among them) changes
//     nothing at all;
//   - for valid input, decoding and encoding again gives back the input.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <utility>

#include "jni_standin.h"
#include "mutf8.h"

extern "C" jint JNICALL Java_zorbel_jni_FileSystemHandler_changeFileMode(JNIEnv*, jclass, jstring, jboolean);
extern "C" jint JNICALL Java_zorbel_jni_FileSystemHandler_removeFile(JNIEnv*, jclass, jstring);

namespace {

[[noreturn]] void violated(const char* what, const std::string& path) {
    std::fprintf(stderr, "INVARIANT BROKEN: %s (path \"", what);
    for (unsigned char c : path) std::fprintf(stderr, c >= 0x20 && c < 0x7F ? "%c" : "\\x%02X", c);
    std::fprintf(stderr, "\")\n");
    std::abort();
}

// --- Encoding back, for the round trip ------------------------------------

void encodeUnit(char16_t u, std::string& out) {
    if (u != 0 && u < 0x80) {
        out += static_cast<char>(u);
    } else if (u < 0x800) {
        out += static_cast<char>(0xC0 | u >> 6);
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | u >> 12);
        out += static_cast<char>(0x80 | (u >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    }
}

// Modified UTF-8 of UTF-16 units, as the JVM writes it.
std::string fromUtf16(const char16_t* units, std::size_t n) {
    std::string out;
    for (std::size_t i = 0; i < n; ++i) encodeUnit(units[i], out);
    return out;
}

// Modified UTF-8 of standard UTF-8: 4-byte sequences become surrogate pairs.
std::string fromUtf8(const char* bytes, std::size_t n) {
    std::string out;
    for (std::size_t i = 0; i < n;) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0xF0) {
            const std::size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : 3;
            out.append(bytes + i, len);
            i += len;
            continue;
        }
        const unsigned long cp = (c & 0x07ul) << 18 | (bytes[i + 1] & 0x3Ful) << 12 | (bytes[i + 2] & 0x3Ful) << 6 |
                                 (bytes[i + 3] & 0x3Ful);
        encodeUnit(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)), out);
        encodeUnit(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)), out);
        i += 4;
    }
    return out;
}

void fuzzDecoders(const std::string& in) {
    static char16_t wide[1024];
    static char narrow[2048];
    for (std::size_t capacity : {std::size_t{1}, std::size_t{7}, sizeof wide / sizeof wide[0]}) {
        const std::size_t n = fileops::mutf8::toUtf16(in.c_str(), wide, capacity);
        if (n == fileops::mutf8::kMalformed || n == fileops::mutf8::kTooLong) continue;
        if (n >= capacity || wide[n] != 0) violated("toUtf16 overran its output", in);
        if (fromUtf16(wide, n) != in) violated("toUtf16 does not round-trip", in);
    }
    for (std::size_t capacity : {std::size_t{1}, std::size_t{5}, sizeof narrow}) {
        const std::size_t n = fileops::mutf8::toUtf8(in.c_str(), narrow, capacity);
        if (n == fileops::mutf8::kMalformed || n == fileops::mutf8::kTooLong) continue;
        if (n >= capacity || narrow[n] != 0) violated("toUtf8 overran its output", in);
        if (fromUtf8(narrow, n) != in) violated("toUtf8 does not round-trip", in);
    }
}

// --- The scratch directory ------------------------------------------------

struct Entry {
    ino_t inode;
    mode_t mode;
};
using Snapshot = std::map<std::string, Entry>;  // relative name -> entry

void snapshotInto(const std::string& dir, Snapshot& out) {
    DIR* d = opendir(dir.empty() ? "." : dir.c_str());
    if (d == nullptr) return;
    while (dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        const std::string path = dir.empty() ? name : dir + "/" + name;
        struct stat st;
        if (lstat(path.c_str(), &st) != 0) continue;
        out[path] = {st.st_ino, st.st_mode};
        if (S_ISDIR(st.st_mode)) snapshotInto(path, out);
    }
    closedir(d);
}

Snapshot snapshot() {
    Snapshot s;
    snapshotInto("", s);
    return s;
}

void touch(const char* name, mode_t mode) {
    close(open(name, O_CREAT | O_WRONLY | O_TRUNC, 0600));
    chmod(name, mode);
}

void removeTree(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) return;
    if (!S_ISDIR(st.st_mode)) {
        unlink(path.c_str());
        return;
    }
    chmod(path.c_str(), 0700);
    Snapshot inside;
    snapshotInto(path, inside);
    for (const auto& [name, entry] : inside) {
        if (S_ISDIR(entry.mode)) chmod(name.c_str(), 0700);  // a read-only directory keeps its entries
    }
    // A name sorts before every name below it: in reverse, children go first.
    for (auto it = inside.rbegin(); it != inside.rend(); ++it) {
        if (S_ISDIR(it->second.mode)) {
            rmdir(it->first.c_str());
        } else {
            unlink(it->first.c_str());
        }
    }
    rmdir(path.c_str());
}

// The fixture: files writable and read-only, a directory with files, links
// to a file, a directory and nothing (all beside them), non-ASCII names.
void resetScratch() {
    for (const auto& entry : snapshot()) {
        if (entry.first.find('/') == std::string::npos) removeTree(entry.first);
    }
    touch("a", 0644);
    touch("b", 0444);
    touch("caf\xC3\xA9", 0600);
    touch("\xF0\x9F\x98\x80", 0640);
    mkdir("d", 0755);
    touch("d/x", 0644);
    touch("d/y", 0400);
    mkdir("ro", 0555);
    symlink("a", "la");
    symlink("d", "ld");
    symlink("nowhere", "l0");
}

// Confines a path to the scratch directory: no leading '/', no "..".
std::string confine(const std::string& raw) {
    std::string out;
    std::size_t i = 0;
    while (i < raw.size() && raw[i] == '/') ++i;
    while (i <= raw.size()) {
        std::size_t end = raw.find('/', i);
        if (end == std::string::npos) end = raw.size();
        const std::string component = raw.substr(i, end - i);
        out += component == ".." ? "__" : component;
        if (end < raw.size()) out += '/';
        i = end + 1;
    }
    return out;
}

// --- One input ------------------------------------------------------------

void checkEffects(const std::string& path, bool removing, std::uint32_t answer, const Snapshot& before,
                  const Snapshot& after, bool decodable, ino_t named) {
    if (answer > 1) violated("an answer other than 0 or 1", path);
    if (!decodable && answer != 0) violated("an undecodable path answered 1", path);
    int gone = 0;
    for (const auto& [name, entry] : before) {
        const auto now = after.find(name);
        const bool isNamed = decodable && entry.inode == named;
        if (now == after.end()) {
            ++gone;
            if (!removing || answer != 1 || !isNamed) violated("an entry vanished that was not named and removed", path);
            continue;
        }
        const mode_t changed = now->second.mode ^ entry.mode;
        if (changed == 0) continue;
        if (!isNamed) violated("an entry changed that was not named", path);
        if ((changed & ~mode_t{0222}) != 0) violated("bits other than the write bits changed", path);
    }
    if (after.size() + gone != before.size()) violated("an entry appeared", path);
    if (removing && answer == 1 && gone != 1) violated("removeFile answered 1 but nothing is gone", path);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static char dir[] = "/tmp/trelvan-fuzz-XXXXXX";
    if (mkdtemp(dir) == nullptr || chdir(dir) != 0) {
        std::perror("trelvan fuzz: scratch directory");
        std::exit(2);
    }
    std::atexit([] {
        if (chdir("/tmp") == 0) removeTree(dir);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t op = data[0] % 3;
    // A JVM never lends a raw NUL: the path ends at the first one.
    std::string raw(reinterpret_cast<const char*>(data + 1), size - 1);
    raw = raw.substr(0, raw.find('\0'));

    fuzzDecoders(raw);

    const std::string path = confine(raw);
    resetScratch();
    static char decoded[PATH_MAX];
    const std::size_t n = fileops::mutf8::toUtf8(path.c_str(), decoded, sizeof decoded);
    // Judged apart from the decoder: C0 80 (U+0000) must stop the call,
    // never shorten the name to what comes before it.
    const bool decodable = n < sizeof decoded && path.find("\xC0\x80") == std::string::npos;
    struct stat st;
    const ino_t named = decodable && lstat(decoded, &st) == 0 ? st.st_ino : 0;

    JniStandIn jni;
    const Snapshot before = snapshot();
    const jstring string = jni.string(path);
    std::uint32_t answer;
    if (op == 2) {
        answer = static_cast<std::uint32_t>(Java_zorbel_jni_FileSystemHandler_removeFile(jni.env(), nullptr, string));
    } else {
        answer = static_cast<std::uint32_t>(
            Java_zorbel_jni_FileSystemHandler_changeFileMode(jni.env(), nullptr, string, op == 0 ? JNI_TRUE : JNI_FALSE));
    }
    if (!jni.problems().empty()) violated(jni.problems().front().c_str(), path);
    checkEffects(path, op == 2, answer, before, snapshot(), decodable, named);
    return 0;
}
