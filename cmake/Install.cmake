# cmake --install lays korbana out as one program folder the user can write to: the program keeps its list file
# korbana.kbl beside itself and saves it there, so the default prefix is per user, not a system folder.
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
    if(WIN32)
        set(korbana_default_prefix "$ENV{LOCALAPPDATA}/Programs/korbana")
    else()
        set(korbana_default_prefix "$ENV{HOME}/.local")
    endif()
    file(TO_CMAKE_PATH "${korbana_default_prefix}" korbana_default_prefix)
    set(CMAKE_INSTALL_PREFIX "${korbana_default_prefix}" CACHE PATH "Install prefix" FORCE)
endif()

# On Windows the prefix is the program folder; elsewhere the folder sits under lib/ with a launcher in bin/.
if(WIN32)
    set(KORBANA_PROGRAM_DIR .)
else()
    set(KORBANA_PROGRAM_DIR lib/korbana)
endif()

install(TARGETS korbana RUNTIME DESTINATION ${KORBANA_PROGRAM_DIR})
# The help file exists only when chmcmd built it beside the program.
install(FILES $<TARGET_FILE_DIR:korbana>/korbana.chm DESTINATION ${KORBANA_PROGRAM_DIR} OPTIONAL)
# The sample list file only on a first install: afterwards korbana.kbl is the user's own list. It stays out of
# install_manifest.txt, so an uninstall never deletes it.
install(CODE "
    set(korbana_sample \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${KORBANA_PROGRAM_DIR}/korbana.kbl\")
    if(EXISTS \"\${korbana_sample}\")
        message(STATUS \"Kept: \${korbana_sample}\")
    else()
        message(STATUS \"Installing: \${korbana_sample}\")
        file(COPY_FILE \"${PROJECT_SOURCE_DIR}/resources/korbana.kbl\" \"\${korbana_sample}\")
    endif()
")

if(NOT WIN32)
    install(PROGRAMS packaging/korbana.launcher DESTINATION bin RENAME korbana)
    # The menu entry names the launcher by its absolute path: ~/.local/bin is not on every session's PATH.
    # The path is only known at install time (cmake --install --prefix), so the file is written then.
    install(CODE "
        set(KORBANA_SOURCE_DIR \"${PROJECT_SOURCE_DIR}\")
        include(\"${PROJECT_SOURCE_DIR}/cmake/InstallDesktopFile.cmake\")
    ")
    install(FILES packaging/de.talven.korbana.metainfo.xml DESTINATION share/metainfo)
    install(FILES resources/pictures/korbana.svg DESTINATION share/icons/hicolor/scalable/apps)
    foreach(size 16 22 24 32 48 64 128 256)
        install(FILES resources/icons/korbana-${size}.png DESTINATION share/icons/hicolor/${size}x${size}/apps
            RENAME korbana.png)
    endforeach()
endif()
