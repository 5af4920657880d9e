# Removes exactly what an install put in place, as its manifest lists it: the
# executable, the link on PATH and the manual page. Key system files were
# never installed, so they are never removed; the executable's folder goes
# only when nothing is left in it.
#   cmake -DMANIFEST=<build>/install_manifest.txt -P Uninstall.cmake
if(NOT EXISTS "${MANIFEST}")
  message(FATAL_ERROR "No install manifest ${MANIFEST}: nothing is known to be installed from there.")
endif()

file(STRINGS "${MANIFEST}" installed)
set(executableFolder "")
foreach(path IN LISTS installed)
  if(NOT IS_SYMLINK "${path}" AND NOT EXISTS "${path}")
    continue()
  endif()
  get_filename_component(name "${path}" NAME)
  if(name STREQUAL "vantor" AND NOT IS_SYMLINK "${path}")
    get_filename_component(executableFolder "${path}" DIRECTORY)
  endif()
  message(STATUS "Removing: ${path}")
  file(REMOVE "${path}")
endforeach()

if(executableFolder AND IS_DIRECTORY "${executableFolder}")
  file(GLOB left LIST_DIRECTORIES true "${executableFolder}/*" "${executableFolder}/.*")
  if(left)
    message(STATUS "Keeping: ${executableFolder} (key system files or other files are in it)")
  else()
    message(STATUS "Removing: ${executableFolder}")
    file(REMOVE_RECURSE "${executableFolder}")
  endif()
endif()
