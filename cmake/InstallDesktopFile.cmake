# Run by cmake --install: writes korbana.desktop with the launcher's absolute path in Exec.
# Input: KORBANA_SOURCE_DIR, and CMAKE_INSTALL_PREFIX / DESTDIR of the install run.
set(launcher "${CMAKE_INSTALL_PREFIX}/bin/korbana")
# Exec takes a quoted argument; inside the quotes " ` $ \ are escaped with a backslash, and the key's value
# escapes that backslash again. % is the field code character and is doubled.
string(REPLACE "\\" "\\\\\\\\" exec "${launcher}")
foreach(special "\"" "`" "$")
    string(REPLACE "${special}" "\\\\${special}" exec "${exec}")
endforeach()
string(REPLACE "%" "%%" exec "${exec}")
set(KORBANA_EXEC "\"${exec}\"")

set(target "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/share/applications/korbana.desktop")
message(STATUS "Installing: ${target}")
configure_file("${KORBANA_SOURCE_DIR}/packaging/korbana.desktop.in" "${target}" @ONLY)
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${target}")
