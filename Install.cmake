# cmake --install: both programs in a folder of their own with the models beside them (where they look for
# them and save new ones), each reached through a link in bin/, and the window's desktop entry.
include(GNUInstallDirs)
set(program_dir ${CMAKE_INSTALL_LIBEXECDIR}/parlanto)
set(installed_programs parlanto-cli)
if(TARGET parlanto)
  list(APPEND installed_programs parlanto)
  install(FILES src/app/window/parlanto.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
endif()
install(TARGETS ${installed_programs} RUNTIME DESTINATION ${program_dir})
install(CODE "
  set(root \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
  # Models the user saved or extended survive a reinstall: only missing files are copied.
  execute_process(COMMAND \"${CMAKE_COMMAND}\" -DFROM=${CMAKE_SOURCE_DIR}/Models -DTO=\${root}/${program_dir}/Models
                          -P ${CMAKE_SOURCE_DIR}/tools/copy_missing.cmake COMMAND_ERROR_IS_FATAL ANY)
  file(MAKE_DIRECTORY \${root}/${program_dir}/Models/Data \${root}/${CMAKE_INSTALL_BINDIR})
  foreach(program ${installed_programs})
    file(RELATIVE_PATH target \${root}/${CMAKE_INSTALL_BINDIR} \${root}/${program_dir}/\${program})
    file(CREATE_LINK \${target} \${root}/${CMAKE_INSTALL_BINDIR}/\${program} SYMBOLIC)
    message(STATUS \"Installing: \${root}/${CMAKE_INSTALL_BINDIR}/\${program} -> \${target}\")
  endforeach()
")
