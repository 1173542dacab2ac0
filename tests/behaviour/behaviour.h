// behaviour.h: the behaviour table, run against a target's real library and
// real file system semantics through the strict JNI stand-in.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "jni_standin.h"
#include "library.h"

// Context: what a case works with. Every call through it checks the JNI
// rules and that the whole 32-bit answer is 0 or 1; breaches are failures.
class Context {
public:
    Context(JniStandIn& jni, const Exports& exports) : jni_(jni), exports_(exports) {}

    // change, remove: call an export with `path` as the string's modified
    // UTF-8 bytes, as the JVM would. `flagSlot` is the whole argument slot.
    std::uint32_t change(const std::string& path, std::uint32_t flagSlot);
    std::uint32_t remove(const std::string& path);
    // The same with a null string reference: no JNI call may be made.
    std::uint32_t changeNull();
    std::uint32_t removeNull();
    // The same with a JVM that cannot lend the characters.
    std::uint32_t changeRefused(const std::string& path);
    std::uint32_t removeRefused(const std::string& path);

    const Exports& exports() const { return exports_; }

    void expect(bool ok, const char* what, int line);
    const std::vector<std::string>& failures() const { return failures_; }

private:
    std::uint32_t checked(std::uint32_t answer, const std::string& problem);

    JniStandIn& jni_;
    const Exports& exports_;
    std::vector<std::string> failures_;
};

#define EXPECT(ctx, condition) (ctx).expect((condition), #condition, __LINE__)

inline constexpr std::uint32_t kTrue = 1;
inline constexpr std::uint32_t kFalse = 0;

struct Case {
    const char* name;
    void (*run)(Context&);
};

// Each case runs in a fresh, empty current directory of its own.
extern const std::vector<Case> commonCases;    // every target
extern const std::vector<Case> platformCases;  // this platform's own

// Fixture: the file system as the cases set it up and look at it, by the
// platform's own means rather than the library's. Names are UTF-8 and
// relative to the current directory.
namespace fixture {
std::filesystem::path native(const std::string& utf8);
bool makeFile(const std::string& name);
bool makeDirectory(const std::string& name);
bool exists(const std::string& name);  // the entry itself, not a link's target
bool isReadOnly(const std::string& name);
bool setReadOnly(const std::string& name, bool readOnly);
}  // namespace fixture
