# The same 64-bit Windows target with Debian's clang instead of MinGW's gcc:
# a second compiler reads the code before Visual Studio does. Headers and
# libraries are MinGW-w64's, from the posix-thread gcc that the other
# toolchain file uses.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${TOOLCHAIN_PREFIX})
set(CMAKE_CXX_COMPILER_TARGET ${TOOLCHAIN_PREFIX})
set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)
set(CMAKE_DLLTOOL ${TOOLCHAIN_PREFIX}-dlltool)
set(CMAKE_AR ${TOOLCHAIN_PREFIX}-ar)
set(CMAKE_RANLIB ${TOOLCHAIN_PREFIX}-ranlib)
set(CMAKE_SYSROOT /usr/${TOOLCHAIN_PREFIX})

# Clang 14 does not take Debian's gcc folder (named "12-posix") for a gcc
# version, so libstdc++ is named here.
file(GLOB VG_MINGW_GCC /usr/lib/gcc/${TOOLCHAIN_PREFIX}/*-posix)
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES
    ${VG_MINGW_GCC}/include/c++ ${VG_MINGW_GCC}/include/c++/${TOOLCHAIN_PREFIX})
foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "-L${VG_MINGW_GCC}")
endforeach()
# The runtime group gcc's posix specs link, winpthread inside it: clang's own
# group leaves it out, and a static libstdc++ needs it. Then the Windows
# libraries CMake links by default. (A cache entry: CMake's own would
# replace a plain variable.)
set(CMAKE_CXX_STANDARD_LIBRARIES
    "-lstdc++ -Wl,--start-group -lmingw32 -lgcc -lgcc_eh -lpthread -lmoldname -lmingwex -lmsvcrt -lkernel32 -Wl,--end-group -luser32 -lgdi32 -lwinspool -lshell32 -lole32 -loleaut32 -luuid -lcomdlg32 -ladvapi32"
    CACHE STRING "Libraries every C++ program and DLL links")

set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR wine)
