# Installation as a desktop program: both programs, the runtime resources, a launcher that
# gives every user a working folder of their own, a desktop entry and the icons. Without
# the dialog (a build without Qt) there is nothing of it to install.
if(NOT TARGET Tavrel)
  return()
endif()
include(GNUInstallDirs)

foreach(program Tavrel tavrel-gif)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

set(TAVREL_RESOURCES_DESTINATION ${CMAKE_INSTALL_DATADIR}/tavrel)
install(FILES
  ${PROJECT_SOURCE_DIR}/Resources/Tavrel/back.bmp
  ${PROJECT_SOURCE_DIR}/Resources/Tavrel/simpleK.smf
  DESTINATION ${TAVREL_RESOURCES_DESTINATION})

# The launcher finds the resources from its own place, so the installed tree can be moved.
file(RELATIVE_PATH TAVREL_RESOURCES_FROM_BINDIR
  /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${TAVREL_RESOURCES_DESTINATION})
configure_file(${CMAKE_CURRENT_LIST_DIR}/tavrel.in ${PROJECT_BINARY_DIR}/packaging/tavrel @ONLY)
install(PROGRAMS ${PROJECT_BINARY_DIR}/packaging/tavrel DESTINATION ${CMAKE_INSTALL_BINDIR})

foreach(size 16 32 48 256)
  set(icon ${PROJECT_SOURCE_DIR}/res/icons/tavrel-${size}.png)
  if(EXISTS ${icon})
    install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
      RENAME tavrel.png)
  endif()
endforeach()

# The desktop entry names the launcher by its full path, which is known only at install time
# (cmake --install --prefix may choose another prefix than the one configured).
install(CODE "
  set(TAVREL_DESKTOP_TEMPLATE \"${CMAKE_CURRENT_LIST_DIR}/tavrel.desktop.in\")
  set(TAVREL_DESKTOP_STAGED \"${PROJECT_BINARY_DIR}/packaging/tavrel.desktop\")
  set(TAVREL_INSTALL_BINDIR \"${CMAKE_INSTALL_BINDIR}\")
  set(TAVREL_INSTALL_DATADIR \"${CMAKE_INSTALL_DATADIR}\")
")
install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/install_desktop_entry.cmake)
