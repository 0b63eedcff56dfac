# Cross build of the same programs for 64-bit Windows. It lets the Windows test
# layers run on machines whose kernel cannot start 32-bit processes, where 32-bit
# Wine does not work.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLE x86_64-w64-mingw32)
set(MINGW_WINE_LOADER /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
