# TrelvanJni: the interface target trelvan::jni, carrying JNI's headers.
#
# On Linux they come from the JDK as find_package(JNI) finds it. For Windows
# targets, jni.h still comes from the JDK, but its machine-dependent half,
# jni_md.h, is our own (cmake/jni-win): the JDK here is a Linux one, and its
# jni_md.h would silently drop __stdcall from every JNI function.
add_library(trelvan_jni INTERFACE)
add_library(trelvan::jni ALIAS trelvan_jni)

if(WIN32)
  find_path(TRELVAN_JNI_H_DIR jni.h
    HINTS ENV JAVA_HOME
    PATHS /usr/lib/jvm/java-17-openjdk-amd64 /usr/lib/jvm/default-java
    PATH_SUFFIXES include
    NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  target_include_directories(trelvan_jni INTERFACE "${TRELVAN_JNI_H_DIR}" "${PROJECT_SOURCE_DIR}/cmake/jni-win")
else()
  # Without JAVA_HOME, take the JDK of the javac on PATH.
  if(NOT DEFINED ENV{JAVA_HOME} AND NOT DEFINED JAVA_HOME)
    find_program(TRELVAN_JAVAC javac REQUIRED)
    file(REAL_PATH "${TRELVAN_JAVAC}" javac_path)
    cmake_path(GET javac_path PARENT_PATH jdk_bin)
    cmake_path(GET jdk_bin PARENT_PATH JAVA_HOME)
  endif()
  find_package(JNI REQUIRED)
  target_include_directories(trelvan_jni INTERFACE ${JNI_INCLUDE_DIRS})
endif()
