# The Windows program and its zip, from the cross build (see the Makefile's
# `windows` target): veloria.exe, the DLLs it needs that Windows lacks, the
# data set the Linux build's veloria-data made, README.txt and the licences.

set(VELORIA_LINUX_BUILD "" CACHE PATH "The Linux build whose veloria-data made the data set and the icon")
set(VELORIA_DATA_SOURCE ${VELORIA_LINUX_BUILD}/data)
if(NOT IS_DIRECTORY "${VELORIA_DATA_SOURCE}/gfx")
  message(FATAL_ERROR "VELORIA_LINUX_BUILD must name a finished Linux build (with data/)")
endif()
set(windows_dir ${CMAKE_SOURCE_DIR}/packaging/windows)

# The icon: the Linux build's, as Windows wants it.
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/veloria.ico
  COMMAND bash ${windows_dir}/png-to-ico ${VELORIA_LINUX_BUILD}/packaging/veloria.png ${CMAKE_BINARY_DIR}/veloria.ico
  DEPENDS ${VELORIA_LINUX_BUILD}/packaging/veloria.png ${windows_dir}/png-to-ico
  VERBATIM)

# Version information, the icon and the manifest (per-monitor DPI awareness,
# Windows 10 and later) inside the executable.
string(REPLACE "." "," VELORIA_VERSION_COMMAS "${PROJECT_VERSION}")
configure_file(${windows_dir}/veloria.rc.in ${CMAKE_BINARY_DIR}/veloria.rc @ONLY)
configure_file(${windows_dir}/veloria.manifest ${CMAKE_BINARY_DIR}/veloria.manifest COPYONLY)

# A GUI program (no console of its own) with the C and C++ runtimes and the
# threads library inside, so only Windows' own DLLs and the shipped ones are
# imported.
add_executable(veloria WIN32 app/main.cpp ${CMAKE_BINARY_DIR}/veloria.rc)
set_source_files_properties(${CMAKE_BINARY_DIR}/veloria.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_BINARY_DIR}/veloria.ico;${CMAKE_BINARY_DIR}/veloria.manifest")
target_link_libraries(veloria PRIVATE veloria_engine)
target_link_options(veloria PRIVATE -static-libgcc -static-libstdc++
  -Wl,-Bstatic,--whole-archive -lwinpthread -Wl,--no-whole-archive,-Bdynamic)

set(zip_name veloria-${PROJECT_VERSION}-win64)
set(zip_root ${CMAKE_BINARY_DIR}/zip/${zip_name})
# The libraries built as DLLs (mpg123 for its LGPL; its own programs and
# other libraries beside it are not needed).
set(shipped_dlls "")
foreach(dll SDL2.dll SDL2_mixer.dll libmpg123-0.dll libGLU-1.dll)
  list(APPEND shipped_dlls ${VELORIA_WINDOWS_DEPS}/bin/${dll})
endforeach()
# The licences of the runtimes linked into veloria.exe: MinGW-w64's C runtime
# and threads, GCC's libgcc and libstdc++ (under the runtime exception).
set(runtime_licences "")
foreach(doc mingw-w64-common gcc-mingw-w64-base)
  file(READ /usr/share/doc/${doc}/copyright text)
  string(APPEND runtime_licences "==== ${doc} ====\n${text}\n")
endforeach()
file(WRITE ${CMAKE_BINARY_DIR}/mingw-w64-runtime.txt "${runtime_licences}")
configure_file(${windows_dir}/README.txt.in ${CMAKE_BINARY_DIR}/README.txt @ONLY NEWLINE_STYLE CRLF)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/${zip_name}.zip
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${CMAKE_BINARY_DIR}/zip
  COMMAND ${CMAKE_COMMAND} -E make_directory ${zip_root}/licenses
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:veloria> ${shipped_dlls} ${CMAKE_BINARY_DIR}/README.txt ${zip_root}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${VELORIA_DATA_SOURCE} ${zip_root}/data
  COMMAND ${CMAKE_COMMAND} -E rm -f ${zip_root}/data/.stamp
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${VELORIA_WINDOWS_DEPS}/licenses ${zip_root}/licenses
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/packaging/copyright ${zip_root}/licenses/veloria.txt
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/mingw-w64-runtime.txt ${windows_dir}/float-maths.txt
          ${zip_root}/licenses/
  COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/zip
          ${CMAKE_COMMAND} -E tar cf ${CMAKE_BINARY_DIR}/${zip_name}.zip --format=zip ${zip_name}
  DEPENDS veloria ${CMAKE_BINARY_DIR}/README.txt ${VELORIA_DATA_SOURCE}/.stamp
  COMMENT "Packing ${zip_name}.zip"
  VERBATIM)
add_custom_target(windows_zip ALL DEPENDS ${CMAKE_BINARY_DIR}/${zip_name}.zip)
