# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (win32 threads):
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
# Programs built here run under Wine (CMAKE_CROSSCOMPILING_EMULATOR, through
# scripts/wine-run.sh), so CTest can run the test binaries and GoogleTest
# can list their tests.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VOSTREL_MINGW x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${VOSTREL_MINGW}-gcc)
set(CMAKE_CXX_COMPILER ${VOSTREL_MINGW}-g++)
set(CMAKE_RC_COMPILER ${VOSTREL_MINGW}-windres)

# Libraries and packages only from the cross prefix and what is given in
# CMAKE_PREFIX_PATH (the FLTK build); programs from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${VOSTREL_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

find_program(VOSTREL_WINE wine)
if(VOSTREL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
endif()
