# StageNatives.cmake: copies each native library into STAGING/<target>/ with
# a <file>.sha256 beside it, for bundling into the jar.
#   cmake -DSTAGING=DIR "-DNATIVES=linux-x64=PATH;windows-x64=PATH;..." -P StageNatives.cmake
foreach(entry IN LISTS NATIVES)
  string(REPLACE "=" ";" pair "${entry}")
  list(GET pair 0 target)
  list(GET pair 1 file)
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "The ${target} library is missing: ${file}\nBuild every target first (make dist).")
  endif()
  cmake_path(GET file FILENAME name)
  file(COPY "${file}" DESTINATION "${STAGING}/${target}")
  file(SHA256 "${file}" digest)
  file(WRITE "${STAGING}/${target}/${name}.sha256" "${digest}  ${name}\n")
endforeach()
