# A user's own copy of the tool: the executable in a folder of its own, where
# its key system files will live beside it, a symbolic link to it on PATH
# (start-up follows the link back to that folder) and the manual page. The
# prefix is the user's ~/.local unless another is chosen. Everything belongs
# to the component "vantor"; `cmake --build <build> --target uninstall`
# removes what the last install listed in its manifest.
include(GNUInstallDirs)

set(VANTOR_INSTALL_APPDIR "${CMAKE_INSTALL_DATADIR}/vantor" CACHE STRING
    "Folder of the executable and its key system files, under the prefix unless absolute")

# Key system files are private: so is the folder that holds them.
install(DIRECTORY DESTINATION ${VANTOR_INSTALL_APPDIR}
        DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE COMPONENT vantor)
install(PROGRAMS ${CMAKE_BINARY_DIR}/vantor DESTINATION ${VANTOR_INSTALL_APPDIR} COMPONENT vantor)
install(FILES ${PROJECT_SOURCE_DIR}/docs/vantor.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT vantor)
install(CODE "set(VANTOR_APPDIR \"${VANTOR_INSTALL_APPDIR}\")\nset(VANTOR_BINDIR \"${CMAKE_INSTALL_BINDIR}\")"
        COMPONENT vantor)
install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/InstallLink.cmake COMPONENT vantor)

add_custom_target(uninstall
  COMMAND ${CMAKE_COMMAND} -DMANIFEST=${CMAKE_BINARY_DIR}/install_manifest.txt
          -P ${CMAKE_CURRENT_LIST_DIR}/Uninstall.cmake
  COMMENT "Removing what the last install put in place"
  VERBATIM)
