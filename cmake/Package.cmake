# cpack -G DEB (from a release build) makes korbana_<version>_<arch>.deb, installing to /usr.
set(CPACK_PACKAGE_NAME korbana)
set(CPACK_PACKAGE_VENDOR TALVEN)
set(CPACK_PACKAGE_CONTACT "TALVEN <info@talven.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "shopping list with shops, products and prices")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.talven.example")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_SOURCE_GENERATOR "")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not linked (the linker drops it), but its plugins draw the program's SVG pictures. The HTTP server and the QR
# codes of the phone page are linked; named here too, so that the package says so whatever the linker keeps.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, libqt6httpserver6, libqrencode4")
# German standard buttons ("Ja", "Nein") and a font metric-compatible with the print font Arial.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-liberation2")
# The lines below the summary line; CPack indents them.
set(CPACK_PACKAGE_DESCRIPTION "korbana is a desktop program with a German user interface that keeps three
linked lists side by side: the shops, the product catalogue (each product with
its shop and price) and the shopping list (quantity, product, shop, price).
All three are kept together in one list file (.kbl). The shopping list prints
as a table with line totals and a grand total, on paper or into a PDF file.")

# Debian wants the package's changelog compressed beside its copyright file.
set(korbana_changelog "${PROJECT_BINARY_DIR}/changelog.gz")
add_custom_command(OUTPUT "${korbana_changelog}"
    COMMAND gzip -9 -n -c "${PROJECT_SOURCE_DIR}/packaging/changelog" > "${korbana_changelog}"
    DEPENDS "${PROJECT_SOURCE_DIR}/packaging/changelog"
    VERBATIM)
add_custom_target(korbana_changelog ALL DEPENDS "${korbana_changelog}")
install(FILES "${korbana_changelog}" DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/korbana)

include(CPack)
