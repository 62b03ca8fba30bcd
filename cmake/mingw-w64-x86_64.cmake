# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (the "posix" thread model, which
# std::thread, std::mutex and Qt need). scripts/windows builds Qt and libarchive with this file
# and the "windows" preset builds the program with it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUENRA_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUENRA_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUENRA_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${QUENRA_MINGW_TRIPLET}-windres)

# Configure checks that run a test program, and CTest, run Windows programs through Wine.
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
    find_program(QUENRA_WINE NAMES wine wine64)
    if(QUENRA_WINE)
        set(CMAKE_CROSSCOMPILING_EMULATOR ${QUENRA_WINE})
    endif()
endif()

# Libraries, headers and CMake packages come only from the MinGW sysroot (zlib) and from the
# prefixes given on the command line (the Windows Qt and libarchive), never from the Linux system.
# Programs (moc, rcc, uic) are the host's, found by Qt through QT_HOST_PATH.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${QUENRA_MINGW_TRIPLET} ${CMAKE_PREFIX_PATH})
list(REMOVE_DUPLICATES CMAKE_FIND_ROOT_PATH)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
