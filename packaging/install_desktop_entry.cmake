# Run by cmake --install: writes the desktop entry with the launcher's full path and installs
# it. Set before this runs: TAVREL_DESKTOP_TEMPLATE, TAVREL_DESKTOP_STAGED_DIR,
# TAVREL_INSTALL_BINDIR, TAVREL_INSTALL_DATADIR.
set(launcher "${CMAKE_INSTALL_PREFIX}/${TAVREL_INSTALL_BINDIR}/tavrel")

# An Exec argument in double quotes escapes " ` $ and \ with a backslash; the key's value is
# then a string, in which every backslash is doubled once more.
string(REGEX REPLACE "([\"`$\\])" "\\\\\\1" argument "${launcher}")
string(REPLACE "\\" "\\\\" argument "${argument}")
set(TAVREL_DESKTOP_EXEC "\"${argument}\"")

# Staged per launcher path: installs into several prefixes may run at once.
string(MD5 staging_key "${launcher}")
set(staged "${TAVREL_DESKTOP_STAGED_DIR}/${staging_key}/tavrel.desktop")
configure_file("${TAVREL_DESKTOP_TEMPLATE}" "${staged}" @ONLY)
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${TAVREL_INSTALL_DATADIR}/applications"
  TYPE FILE FILES "${staged}")
