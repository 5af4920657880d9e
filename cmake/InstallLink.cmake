# Run by `cmake --install`: the symbolic link on PATH to the installed
# executable, entered in the install manifest like the installed files. Its
# target is absolute: start-up takes a relative link target as it stands,
# relative to whatever the current folder is.
foreach(folder VANTOR_APPDIR VANTOR_BINDIR)
  if(NOT IS_ABSOLUTE "${${folder}}")
    set(${folder} "${CMAKE_INSTALL_PREFIX}/${${folder}}")
  endif()
endforeach()
set(link "$ENV{DESTDIR}${VANTOR_BINDIR}/vantor")
message(STATUS "Installing: ${link} -> ${VANTOR_APPDIR}/vantor")
file(MAKE_DIRECTORY "$ENV{DESTDIR}${VANTOR_BINDIR}")
file(CREATE_LINK "${VANTOR_APPDIR}/vantor" "${link}" SYMBOLIC)
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${link}")
