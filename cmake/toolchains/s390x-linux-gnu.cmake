# 64-bit big-endian s390x: the whole tree, run under qemu-user.
# The libraries come from the sysroot that scripts/setup-cross lays out
# (SCRUTA_SYSROOT_S390X, default .sysroot/s390x in the source tree); the C and
# C++ runtimes are the cross compiler's own.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(CMAKE_C_COMPILER s390x-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER s390x-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE s390x-linux-gnu)

if(DEFINED ENV{SCRUTA_SYSROOT_S390X})
  set(SCRUTA_SYSROOT "$ENV{SCRUTA_SYSROOT_S390X}" CACHE PATH "s390x libraries")
else()
  set(SCRUTA_SYSROOT "${CMAKE_CURRENT_LIST_DIR}/../../.sysroot/s390x" CACHE PATH "s390x libraries")
endif()
get_filename_component(SCRUTA_SYSROOT "${SCRUTA_SYSROOT}" ABSOLUTE)

# Library headers only: the sysroot holds no C or C++ runtime headers. The
# multiarch folder holds each library's processor-specific part (SDL2's config).
set(_incdirs "-isystem ${SCRUTA_SYSROOT}/usr/include -isystem ${SCRUTA_SYSROOT}/usr/include/s390x-linux-gnu")
set(CMAKE_CXX_FLAGS_INIT "${_incdirs}")
set(CMAKE_C_FLAGS_INIT "${_incdirs}")
# libpulse (under SDL2) finds its private library by a RUNPATH, which the linker
# does not look for inside the sysroot.
set(_rpath_links "")
foreach(dir usr/lib/s390x-linux-gnu lib/s390x-linux-gnu usr/lib/s390x-linux-gnu/pulseaudio)
  string(APPEND _rpath_links " -Wl,-rpath-link,${SCRUTA_SYSROOT}/${dir}")
endforeach()
foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "${_rpath_links}")
endforeach()

set(CMAKE_FIND_ROOT_PATH "${SCRUTA_SYSROOT}" /usr/s390x-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(ENV{PKG_CONFIG_LIBDIR} "${SCRUTA_SYSROOT}/usr/lib/s390x-linux-gnu/pkgconfig:${SCRUTA_SYSROOT}/usr/share/pkgconfig")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "${SCRUTA_SYSROOT}")

# Test programs, gtest discovery and the emulator started by tests run here.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/qemu-s390x;${SCRUTA_SYSROOT}")
