# cmake --install: both programs on bin/, the shipped models read-only in share/parlanto/Models (each user's
# own folder is made from them on first start), the window's desktop entry and its icon.
include(GNUInstallDirs)
install(TARGETS parlanto-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY Models/ DESTINATION ${CMAKE_INSTALL_DATADIR}/parlanto/Models)
if(TARGET parlanto)
  install(TARGETS parlanto RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES src/app/window/parlanto.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES src/app/window/parlanto.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
