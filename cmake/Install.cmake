# The help pages sit beside the program in the build tree (help/) and under
# share/quarbel/help once installed; the program looks in both places at run time.
# The desktop entry and the AppStream metainfo are named by the application id, which the
# program also gives Qt as its desktop file name (src/app/main.cpp).
set(QUARBEL_APP_ID org.quarbel.Quarbel)
# The documents go to share/doc/quarbel, as the package is named, not to share/doc/Quarbel.
if(NOT CMAKE_INSTALL_DOCDIR)
  set(CMAKE_INSTALL_DOCDIR share/doc/quarbel CACHE PATH "Documentation (DATAROOTDIR/doc/quarbel)"
      FORCE)
endif()
include(GNUInstallDirs)

file(GLOB quarbel_help_pages CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/help/*)
foreach(page ${quarbel_help_pages})
  get_filename_component(page_name ${page} NAME)
  configure_file(${page} ${PROJECT_BINARY_DIR}/help/${page_name} COPYONLY)
endforeach()

install(TARGETS quarbel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${quarbel_help_pages} DESTINATION ${CMAKE_INSTALL_DATADIR}/quarbel/help)
install(FILES ${PROJECT_SOURCE_DIR}/share/${QUARBEL_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/share/${QUARBEL_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/src/ui/shell/pictures/quarbel.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/share/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
