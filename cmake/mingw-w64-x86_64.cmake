# Cross build for 64-bit Windows with Debian's MinGW-w64 (POSIX threads, so
# std::thread works). Used for the program and for the libraries it links,
# which scripts/build-windows-deps builds into VELORIA_WINDOWS_DEPS.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_triple}-windres)
set(CMAKE_AR ${mingw_triple}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${mingw_triple}-ranlib CACHE FILEPATH "")

# Libraries and headers come from MinGW-w64 itself and from the dependencies'
# prefix, never from the build machine's /usr.
if(DEFINED ENV{VELORIA_WINDOWS_DEPS})
  set(VELORIA_WINDOWS_DEPS $ENV{VELORIA_WINDOWS_DEPS} CACHE PATH "Cross-built dependencies")
endif()
set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triple} ${VELORIA_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config, too, sees only the dependencies' files.
if(VELORIA_WINDOWS_DEPS)
  set(ENV{PKG_CONFIG_LIBDIR} ${VELORIA_WINDOWS_DEPS}/lib/pkgconfig)
  set(ENV{PKG_CONFIG_PATH} "")
endif()
