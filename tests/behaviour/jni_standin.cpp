// jni_standin.cpp: the strict JNIEnv of the behaviour tests.
#include "jni_standin.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

constexpr std::size_t kSlots = sizeof(JNINativeInterface_) / sizeof(void*);

// trap<I>: stands in table slot I. The library may call only the two string
// functions; anything else ends the run on the spot, naming the slot.
template <std::size_t I>
void JNICALL trap() {
    std::fprintf(stderr, "FATAL: the library called JNI function table slot %u\n", static_cast<unsigned>(I));
    std::fflush(stderr);
    std::_Exit(3);
}

template <std::size_t... I>
void fillWithTraps(void** slots, std::index_sequence<I...>) {
    ((slots[I] = reinterpret_cast<void*>(&trap<I>)), ...);
}

}  // namespace

JniStandIn::JniStandIn() {
    void* slots[kSlots];
    fillWithTraps(slots, std::make_index_sequence<kSlots>{});
    std::memcpy(&table_, slots, sizeof table_);
    table_.GetStringUTFChars = &getStringUTFChars;
    table_.ReleaseStringUTFChars = &releaseStringUTFChars;
    home_.env.functions = &table_;
    home_.owner = this;
}

JniStandIn::~JniStandIn() {
    reset();
    for (std::string* s : strings_) delete s;
}

jstring JniStandIn::string(const std::string& bytes) {
    strings_.push_back(new std::string(bytes));
    return reinterpret_cast<jstring>(strings_.back());
}

JniStandIn& JniStandIn::of(JNIEnv* env) {
    return *reinterpret_cast<Home*>(env)->owner;
}

const char* JNICALL JniStandIn::getStringUTFChars(JNIEnv* env, jstring string, jboolean* isCopy) {
    JniStandIn& self = of(env);
    ++self.calls_;
    if (isCopy != nullptr) self.problems_.push_back("GetStringUTFChars was given a non-null isCopy");
    if (string == nullptr) {
        self.problems_.push_back("GetStringUTFChars was given a null string");
        return nullptr;
    }
    if (self.refuseNext_) {
        self.refuseNext_ = false;
        return nullptr;
    }
    const std::string& bytes = *reinterpret_cast<const std::string*>(string);
    char* chars = new char[bytes.size() + 1];
    std::memcpy(chars, bytes.c_str(), bytes.size() + 1);
    self.borrows_.push_back({string, chars, false});
    return chars;
}

void JNICALL JniStandIn::releaseStringUTFChars(JNIEnv* env, jstring string, const char* chars) {
    JniStandIn& self = of(env);
    ++self.calls_;
    // Newest first: a pointer freed by one release may be lent again later.
    for (auto it = self.borrows_.rbegin(); it != self.borrows_.rend(); ++it) {
        Borrow& borrow = *it;
        if (borrow.chars != chars) continue;
        if (borrow.released) {
            self.problems_.push_back("ReleaseStringUTFChars was called twice for one borrow");
        } else if (borrow.string != string) {
            self.problems_.push_back("ReleaseStringUTFChars was given another string's characters");
        } else {
            borrow.released = true;
            delete[] borrow.chars;
        }
        return;
    }
    self.problems_.push_back("ReleaseStringUTFChars was given a pointer that was never lent");
}

std::vector<std::string> JniStandIn::problems() const {
    std::vector<std::string> all = problems_;
    for (const Borrow& borrow : borrows_) {
        if (!borrow.released) all.push_back("a string's characters were never given back");
    }
    return all;
}

void JniStandIn::reset() {
    for (Borrow& borrow : borrows_) {
        if (!borrow.released) delete[] borrow.chars;
    }
    borrows_.clear();
    problems_.clear();
    calls_ = 0;
    refuseNext_ = false;
}
