# The help pages sit beside the program in the build tree (help/) and under
# share/quarbel/help once installed; the program looks in both places at run time.
include(GNUInstallDirs)

file(GLOB quarbel_help_pages CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/help/*)
foreach(page ${quarbel_help_pages})
  get_filename_component(page_name ${page} NAME)
  configure_file(${page} ${PROJECT_BINARY_DIR}/help/${page_name} COPYONLY)
endforeach()

install(TARGETS quarbel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${quarbel_help_pages} DESTINATION ${CMAKE_INSTALL_DATADIR}/quarbel/help)
install(FILES ${PROJECT_SOURCE_DIR}/share/quarbel.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/src/ui/shell/pictures/quarbel.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
