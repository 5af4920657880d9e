# Toolchain of the 32-bit x86 build on a 64-bit x86 Debian: the machine's own
# compilers with -m32 (g++-multilib) and the i386 libraries of Debian's
# multiarch folders (scripts/install-deps.sh --m32 installs both).
#
#   cmake -S . -B build-m32 -DCMAKE_TOOLCHAIN_FILE=cmake/m32.cmake
#
# GoogleTest is then compiled from the sources Debian ships, since its
# installed libraries are 64-bit.
set(CMAKE_C_FLAGS_INIT -m32)
# GCC 12 raises false alarms of overlapping copies inside the standard
# library's string code at -m32; they stay warnings.
set(CMAKE_CXX_FLAGS_INIT "-m32 -Wno-error=restrict")
set(CMAKE_EXE_LINKER_FLAGS_INIT -m32)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -m32)
set(CMAKE_MODULE_LINKER_FLAGS_INIT -m32)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
# Packages found through pkg-config must come from the same folders.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/i386-linux-gnu/pkgconfig:/usr/share/pkgconfig)
set(VANTOR_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources to compile with the project")
