# 64-bit Windows with MinGW-w64. Test programs run under wine64.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(TRELVAN_MINGW_TRIPLE x86_64-w64-mingw32)
set(TRELVAN_WINE_ARCH x64)
include("${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake")
