// FileSystemHandler.cpp: the native methods of zorbel.jni.FileSystemHandler.
//
// Each call borrows the Java path as modified UTF-8, runs the file
// primitives on it, gives the characters back, and answers the 32-bit
// integer 1 for success or 0 for failure, which a Java declaration of
// boolean or int reads alike. Nothing is kept between calls and nothing
// touches the JVM but GetStringUTFChars and ReleaseStringUTFChars of the
// calling thread's JNIEnv.
#include <jni.h>

#include "fileops.h"

namespace {

// BorrowedPath: the characters of a Java string, lent by the JVM for the
// life of this object and given back exactly once. chars() is null, and
// nothing is given back, when the reference is null or the JVM could not
// lend them (it then has an OutOfMemoryError pending for the caller).
class BorrowedPath {
public:
    BorrowedPath(JNIEnv* env, jstring path)
        : env_(env), path_(path), chars_(path == nullptr ? nullptr : env->GetStringUTFChars(path, nullptr)) {}
    ~BorrowedPath() {
        if (chars_ != nullptr) env_->ReleaseStringUTFChars(path_, chars_);
    }
    BorrowedPath(const BorrowedPath&) = delete;
    BorrowedPath& operator=(const BorrowedPath&) = delete;

    const char* chars() const { return chars_; }

private:
    JNIEnv* const env_;
    const jstring path_;
    const char* const chars_;
};

}  // namespace

// changeFileMode: makes the file at `path` read-only when the low 8 bits of
// `readOnly` are nonzero, writable otherwise. Answers 1 when the attribute
// was written, 0 when it could not be, and for a null or unusable path.
extern "C" JNIEXPORT jint JNICALL
Java_zorbel_jni_FileSystemHandler_changeFileMode(JNIEnv* env, jclass, jstring path, jboolean readOnly) {
    const BorrowedPath borrowed(env, path);
    if (borrowed.chars() == nullptr) return 0;
    const int mode = readOnly != JNI_FALSE ? S_IREAD : S_IWRITE;
    return fileops::setFileMode(borrowed.chars(), mode) == -1 ? 0 : 1;
}

// removeFile: clears the read-only attribute of the file at `path`, then
// deletes it. Answers 1 when the file is gone, 0 otherwise. A failed delete
// does not restore read-only: the clearing is kept, by design.
extern "C" JNIEXPORT jint JNICALL
Java_zorbel_jni_FileSystemHandler_removeFile(JNIEnv* env, jclass, jstring path) {
    const BorrowedPath borrowed(env, path);
    if (borrowed.chars() == nullptr) return 0;
    fileops::setFileMode(borrowed.chars(), S_IWRITE);  // a failure here is left to the delete to report
    return fileops::deletePath(borrowed.chars()) == -1 ? 0 : 1;
}
