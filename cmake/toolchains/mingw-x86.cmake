# 32-bit Windows with MinGW-w64. Test programs run under 32-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TRELVAN_MINGW_TRIPLE i686-w64-mingw32)
set(TRELVAN_WINE_ARCH x86)
include("${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake")
