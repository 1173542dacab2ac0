// jni_standin.h: a strict stand-in for the JVM's side of JNI.
//
// Every slot of its function table traps except GetStringUTFChars and
// ReleaseStringUTFChars. Each borrow hands out a fresh heap copy of the
// string, so that a use after release is caught by the sanitizers, and is
// checked off when it is given back: exactly once, with the same pointer and
// the same string reference.
#pragma once

#include <jni.h>

#include <string>
#include <vector>

class JniStandIn {
public:
    JniStandIn();
    JniStandIn(const JniStandIn&) = delete;
    JniStandIn& operator=(const JniStandIn&) = delete;

    JNIEnv* env() { return &home_.env; }

    // A Java string whose modified UTF-8 form is `bytes`, alive as long as the
    // stand-in.
    jstring string(const std::string& bytes);

    // The next GetStringUTFChars answers null, as a JVM out of memory does.
    void refuseNextBorrow() { refuseNext_ = true; }

    // Calls the library made into the stand-in since the last reset().
    int calls() const { return calls_; }

    // Problems seen since the last reset(): a string not given back, given
    // back twice or with a wrong pointer, an unexpected isCopy. Empty when
    // the library kept to the rules.
    std::vector<std::string> problems() const;

    void reset();

private:
    struct Borrow {
        jstring string;
        char* chars;
        bool released;
    };

    static JniStandIn& of(JNIEnv* env);
    static const char* JNICALL getStringUTFChars(JNIEnv* env, jstring string, jboolean* isCopy);
    static void JNICALL releaseStringUTFChars(JNIEnv* env, jstring string, const char* chars);

    // The JNIEnv handed to the library, first in a standard-layout struct so
    // that the pointer leads back to its stand-in.
    struct Home {
        JNIEnv env;
        JniStandIn* owner;
    } home_;
    JNINativeInterface_ table_;
    std::vector<std::string*> strings_;
    std::vector<Borrow> borrows_;
    std::vector<std::string> problems_;
    int calls_ = 0;
    bool refuseNext_ = false;

public:
    ~JniStandIn();
};
