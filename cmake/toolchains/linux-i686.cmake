# Linux, 32-bit x86, statically linked: the shipped program's word size and
# arithmetic, run on a 64-bit Linux through qemu-i386 user emulation (no
# kernel support for 32-bit programs needed). A cross build as far as CMake
# is concerned, so that ctest and gtest_discover_tests go through the
# emulator. The floating-point flags (SSE2 arithmetic, no contraction) come
# from cmake/warnings.cmake, by processor, exactly as for the MinGW i686 build.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)

find_program(CMAKE_C_COMPILER NAMES gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES g++ REQUIRED)
set(CMAKE_C_FLAGS_INIT "-m32")
set(CMAKE_CXX_FLAGS_INIT "-m32")
# One static executable: no 32-bit libraries needed where it runs. zlib from
# Debian's lib32z1-dev (/usr/lib32/libz.a). Loaded at 1 MiB rather than the
# usual 128 MiB, so that under qemu-i386 no unused space lies below the
# program: a memory limit a test sets then grants the guest what it grants
# a native program (tests/support/esegui.cc).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32 -static -Wl,-Ttext-segment=0x100000")
set(ZLIB_USE_STATIC_LIBS ON)

# The host's GoogleTest package is 64-bit: build it from its sources
# (Debian's googletest, /usr/src/googletest; see cmake/gtest.cmake).
set(CMAKE_DISABLE_FIND_PACKAGE_GTest ON)

find_program(QEMU_I386 NAMES qemu-i386 qemu-i386-static)
if(QEMU_I386)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QEMU_I386})
else()
  message(FATAL_ERROR "qemu-i386 not found: install Debian's qemu-user to run the 32-bit tests")
endif()
