# The plug-in alone, for a processor that has no build of the host's libraries
# (the 32-bit PowerPC cross-build). It compiles against host/ and the libsigc++
# headers and is linked with the host's symbols left undefined, as a plug-in of
# the box is: the GUI program that loads it defines them. scripts/build-powerpc
# checks each of those imports.
pkg_check_modules(SIGC REQUIRED sigc++-3.0)
find_package(Threads REQUIRED)

add_library(host_headers INTERFACE)
target_include_directories(host_headers INTERFACE ${CMAKE_SOURCE_DIR} ${SIGC_INCLUDE_DIRS})

file(GLOB PLUGIN_SOURCES CONFIGURE_DEPENDS plugin/*.cpp scan/*.cpp knowledge/*.cpp widgets/*.cpp)
add_library(plugin_objs OBJECT ${PLUGIN_SOURCES})
target_link_libraries(plugin_objs PUBLIC host_headers)

add_library(scrutafasci MODULE $<TARGET_OBJECTS:plugin_objs>)
set_target_properties(scrutafasci PROPERTIES PREFIX "")
target_link_libraries(scrutafasci PRIVATE Threads::Threads)
