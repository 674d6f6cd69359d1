# Cross-build for 64-bit Windows with Debian's mingw-w64, posix thread model
# (std::thread and std::mutex need it), static runtime so an .exe runs with
# no DLL beside it. Programs built here run through Wine, so CTest and
# gtest_discover_tests can start them. Works for the GUI too: windres is set,
# and wx-config is passed by the caller (-DwxWidgets_CONFIG_EXECUTABLE=...).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KESMORA_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KESMORA_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KESMORA_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${KESMORA_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KESMORA_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# -static takes libstdc++, libgcc and winpthread in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

if(NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(KESMORA_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
  if(KESMORA_WINE64)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${KESMORA_WINE64})
  endif()
endif()
