# cmake --install lays korbana out as every Linux program is: the program in bin/, its data under share/. The
# user's list lives in the user's data folder, so a system prefix (/usr, the Debian package) works as well as
# the default per-user prefix ~/.local. On Windows the prefix is the program folder, with the list beside the
# program.
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
    if(WIN32)
        set(korbana_default_prefix "$ENV{LOCALAPPDATA}/Programs/korbana")
    else()
        set(korbana_default_prefix "$ENV{HOME}/.local")
    endif()
    file(TO_CMAKE_PATH "${korbana_default_prefix}" korbana_default_prefix)
    set(CMAKE_INSTALL_PREFIX "${korbana_default_prefix}" CACHE PATH "Install prefix" FORCE)
endif()

if(WIN32)
    install(TARGETS korbana RUNTIME DESTINATION .)
    # The help file exists only when chmcmd built it beside the program.
    install(FILES $<TARGET_FILE_DIR:korbana>/korbana.chm DESTINATION . OPTIONAL)
    # The sample list only on a first install: afterwards korbana.kbl is the user's own list. It stays out of
    # install_manifest.txt, so an uninstall never deletes it.
    install(CODE "
        set(korbana_sample \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/korbana.kbl\")
        if(NOT EXISTS \"\${korbana_sample}\")
            file(COPY_FILE \"${PROJECT_SOURCE_DIR}/resources/korbana.kbl\" \"\${korbana_sample}\")
        endif()
    ")
    return()
endif()

include(GNUInstallDirs)
install(TARGETS korbana RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The program finds its help at ../share/doc/korbana/html from its own folder.
install(FILES ${KORBANA_HTML_HELP_PAGES} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/korbana/html)
install(FILES packaging/copyright DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/korbana)
# For programs that read or write list files.
install(FILES docs/LISTFILE.md DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/korbana)

# The manual pages, English and German (man shows the German one under a German locale), compressed as man-db
# and Debian expect.
set(korbana_man_pages)
foreach(language en de)
    set(source "${PROJECT_SOURCE_DIR}/packaging/korbana.1")
    set(destination ${CMAKE_INSTALL_MANDIR}/man1)
    if(NOT language STREQUAL "en")
        set(source "${PROJECT_SOURCE_DIR}/packaging/korbana.${language}.1")
        set(destination ${CMAKE_INSTALL_MANDIR}/${language}/man1)
    endif()
    set(page "${PROJECT_BINARY_DIR}/man/${language}/korbana.1.gz")
    add_custom_command(OUTPUT "${page}"
        COMMAND ${CMAKE_COMMAND} -E make_directory "${PROJECT_BINARY_DIR}/man/${language}"
        COMMAND gzip -9 -n -c "${source}" > "${page}"
        DEPENDS "${source}"
        VERBATIM)
    list(APPEND korbana_man_pages "${page}")
    install(FILES "${page}" DESTINATION ${destination})
endforeach()
add_custom_target(korbana_man_page ALL DEPENDS ${korbana_man_pages})

# The menu entry: a program in a folder outside the usual PATH (~/.local/bin is not on every session's) is
# named by its absolute path. The path is only known at install time (cmake --install --prefix), so the file is
# written then.
install(CODE "
    set(KORBANA_SOURCE_DIR \"${PROJECT_SOURCE_DIR}\")
    set(KORBANA_BINDIR \"${CMAKE_INSTALL_BINDIR}\")
    include(\"${PROJECT_SOURCE_DIR}/cmake/InstallDesktopFile.cmake\")
")
install(FILES packaging/de.talven.korbana.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
# The list file's type, application/x-korbana for *.kbl; the desktop's file managers read it from here.
install(FILES packaging/korbana-mime.xml DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/mime/packages RENAME korbana.xml)
foreach(kind apps mimetypes)
    set(name korbana)
    if(kind STREQUAL "mimetypes")
        set(name application-x-korbana)
    endif()
    install(FILES resources/pictures/korbana.svg DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/${kind}
        RENAME ${name}.svg)
    foreach(size 16 22 24 32 48 64 128 256)
        install(FILES resources/icons/korbana-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/${kind} RENAME ${name}.png)
    endforeach()
endforeach()

include(cmake/Package.cmake)
