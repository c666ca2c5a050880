# Run by cmake --install: writes de.talven.korbana.desktop. Input: KORBANA_SOURCE_DIR, KORBANA_BINDIR, and
# CMAKE_INSTALL_PREFIX / DESTDIR of the install run.
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr" OR CMAKE_INSTALL_PREFIX STREQUAL "/usr/local")
    # On every PATH: the plain name, as the desktop and lintian expect of a system package.
    set(KORBANA_EXEC "korbana")
else()
    # Exec takes a quoted argument; inside the quotes " ` $ \ are escaped with a backslash, and the key's value
    # escapes that backslash again. % is the field code character and is doubled.
    string(REPLACE "\\" "\\\\\\\\" exec "${CMAKE_INSTALL_PREFIX}/${KORBANA_BINDIR}/korbana")
    foreach(special "\"" "`" "$")
        string(REPLACE "${special}" "\\\\${special}" exec "${exec}")
    endforeach()
    string(REPLACE "%" "%%" exec "${exec}")
    set(KORBANA_EXEC "\"${exec}\"")
endif()

set(target "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/share/applications/de.talven.korbana.desktop")
message(STATUS "Installing: ${target}")
configure_file("${KORBANA_SOURCE_DIR}/packaging/de.talven.korbana.desktop.in" "${target}" @ONLY)
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${target}")
