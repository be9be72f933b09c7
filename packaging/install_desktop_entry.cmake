# Run by cmake --install: writes the desktop entry with the launcher's full path and installs
# it. Set before this runs: TAVREL_DESKTOP_TEMPLATE, TAVREL_DESKTOP_STAGED,
# TAVREL_INSTALL_BINDIR, TAVREL_INSTALL_DATADIR.
set(launcher "${CMAKE_INSTALL_PREFIX}/${TAVREL_INSTALL_BINDIR}/tavrel")

# An Exec argument in double quotes escapes " ` $ and \ with a backslash; the key's value is
# then a string, in which every backslash is doubled once more.
string(REGEX REPLACE "([\"`$\\])" "\\\\\\1" argument "${launcher}")
string(REPLACE "\\" "\\\\" argument "${argument}")
set(TAVREL_DESKTOP_EXEC "\"${argument}\"")

configure_file("${TAVREL_DESKTOP_TEMPLATE}" "${TAVREL_DESKTOP_STAGED}" @ONLY)
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${TAVREL_INSTALL_DATADIR}/applications"
  TYPE FILE FILES "${TAVREL_DESKTOP_STAGED}")
