# 32-bit big-endian PowerPC: the plug-in alone (see cmake/plugin-only.cmake).
# Debian 12 builds no libraries for this processor; the libsigc++ headers are
# those of the s390x sysroot that scripts/setup-cross lays out (the same files
# on every processor, sigc++config.h included).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR powerpc)
set(CMAKE_C_COMPILER powerpc-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER powerpc-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE powerpc-linux-gnu)
set(SCRUTA_PLUGIN_ONLY ON CACHE BOOL "" FORCE)

if(DEFINED ENV{SCRUTA_SYSROOT_S390X})
  set(SCRUTA_HEADERS_ROOT "$ENV{SCRUTA_SYSROOT_S390X}" CACHE PATH "libsigc++ headers")
else()
  set(SCRUTA_HEADERS_ROOT "${CMAKE_CURRENT_LIST_DIR}/../../.sysroot/s390x" CACHE PATH "libsigc++ headers")
endif()
get_filename_component(SCRUTA_HEADERS_ROOT "${SCRUTA_HEADERS_ROOT}" ABSOLUTE)
set(ENV{PKG_CONFIG_LIBDIR} "${SCRUTA_HEADERS_ROOT}/usr/lib/s390x-linux-gnu/pkgconfig")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "${SCRUTA_HEADERS_ROOT}")

set(CMAKE_FIND_ROOT_PATH /usr/powerpc-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
