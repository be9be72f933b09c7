# Installation as a desktop program. On PATH: `tavrel` (the window) and `tavrel-gif`. The
# window's program itself lives in libexec/tavrel/Tavrel and `tavrel` links to it; started
# either way, it finds its data in share/tavrel from its own place, so the installed tree
# works under any prefix. Also installed: the desktop entry, AppStream metadata, icons, man
# pages and bash completion. Without the dialog (a build without Qt) nothing is installed.
if(NOT TAVREL_WITH_QT)
  return()
endif()
include(GNUInstallDirs)

set(TAVREL_PKGLIBEXECDIR ${CMAKE_INSTALL_LIBEXECDIR}/tavrel)
set(TAVREL_DATADIR ${CMAKE_INSTALL_DATADIR}/tavrel)
set(staging ${PROJECT_BINARY_DIR}/packaging)

install(TARGETS Tavrel RUNTIME DESTINATION ${TAVREL_PKGLIBEXECDIR})
install(TARGETS tavrel-gif RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The programs find the data folder relative to their own folders.
file(RELATIVE_PATH data_from_bindir /p/${CMAKE_INSTALL_BINDIR} /p/${TAVREL_DATADIR})
file(RELATIVE_PATH data_from_pkglibexecdir /p/${TAVREL_PKGLIBEXECDIR} /p/${TAVREL_DATADIR})
set(platform_dir ${PROJECT_SOURCE_DIR}/platform)
set_source_files_properties(${platform_dir}/installed_data.cpp DIRECTORY ${platform_dir}
  PROPERTIES COMPILE_DEFINITIONS
  "TAVREL_DATA_FROM_BINDIR=\"${data_from_bindir}\";TAVREL_DATA_FROM_PKGLIBDIR=\"${data_from_pkglibexecdir}\"")

# `tavrel` on PATH: a relative link, so the tree can be moved.
file(RELATIVE_PATH link_target /p/${CMAKE_INSTALL_BINDIR} /p/${TAVREL_PKGLIBEXECDIR}/Tavrel)
file(MAKE_DIRECTORY ${staging})
file(CREATE_LINK ${link_target} ${staging}/tavrel SYMBOLIC)
install(FILES ${staging}/tavrel DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES
  ${PROJECT_SOURCE_DIR}/Resources/Tavrel/back.bmp
  ${PROJECT_SOURCE_DIR}/Resources/Tavrel/simpleK.smf
  DESTINATION ${TAVREL_DATADIR})
if(TAVREL_QM_FILES)
  install(FILES ${TAVREL_QM_FILES} DESTINATION ${TAVREL_DATADIR}/translations)
endif()

foreach(size 16 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/res/icons/tavrel-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME tavrel.png)
endforeach()

install(FILES ${CMAKE_CURRENT_LIST_DIR}/org.example.tavrel.Tavrel.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/completion/tavrel-gif
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

# Man pages, compressed as Debian installs them (gzip -n: the same bytes on every build).
set(man_pages)
foreach(page tavrel tavrel-gif)
  set(source ${CMAKE_CURRENT_LIST_DIR}/man/${page}.1)
  set(compressed ${staging}/${page}.1.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND gzip -9 -n -c ${source} > ${compressed}
    DEPENDS ${source} VERBATIM)
  list(APPEND man_pages ${compressed})
endforeach()
add_custom_target(tavrel_man_pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The desktop entry names `tavrel` by its full path, which is known only at install time
# (cmake --install --prefix may choose another prefix than the one configured).
install(CODE "
  set(TAVREL_DESKTOP_TEMPLATE \"${CMAKE_CURRENT_LIST_DIR}/tavrel.desktop.in\")
  set(TAVREL_DESKTOP_STAGED_DIR \"${staging}/desktop-entries\")
  set(TAVREL_INSTALL_BINDIR \"${CMAKE_INSTALL_BINDIR}\")
  set(TAVREL_INSTALL_DATADIR \"${CMAKE_INSTALL_DATADIR}\")
")
install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/install_desktop_entry.cmake)

include(${CMAKE_CURRENT_LIST_DIR}/debian_package.cmake)
