/* jni_md.h for Windows targets: the machine-dependent half of jni.h.
 * JNI functions use the stdcall convention on 32-bit Windows (the callee
 * pops its arguments, and exported names are decorated with their size);
 * on 64-bit Windows the keyword is accepted and ignored. jint is 32 bits
 * and jlong 64 on both, as in every Windows JDK. */
#ifndef TRELVAN_WIN_JNI_MD_H
#define TRELVAN_WIN_JNI_MD_H

/* A build that names its exports in a .def file defines JNIEXPORT empty:
 * with MinGW, dllexport would add a second, undecorated name for each. */
#ifndef JNIEXPORT
#define JNIEXPORT __declspec(dllexport)
#endif
#define JNIIMPORT __declspec(dllimport)
#define JNICALL __stdcall

typedef long jint;
typedef long long jlong;
typedef signed char jbyte;

#endif
