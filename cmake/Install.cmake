# Installation (`cmake --install`) and the Debian package (`cpack -G DEB`).
#
# Layout under the prefix:
#   bin/quillora, bin/quillora-cli
#   share/quillora/{sablonok,mezoadatok,Normal2003.dot}   the samples, read-only
#   share/applications, share/mime/packages, share/metainfo, share/icons/hicolor
# The program finds share/quillora relative to its own executable, so the
# installed tree works from any prefix (see src/app/platform/datafolders.h).

include(GNUInstallDirs)

set(QUILLORA_WEB_URL "https://quillora.invalid" CACHE STRING
    "The project's web address; the AppStream metainfo names it and its screenshot lies under it")
set(QUILLORA_MAINTAINER "Quillora <quillora@quillora.invalid>" CACHE STRING
    "Maintainer field of the Debian package")

set(quillora_share ${CMAKE_INSTALL_DATADIR}/quillora)
set(quillora_packaging ${PROJECT_SOURCE_DIR}/packaging)
set(quillora_metainfo_id hu.quillora.Quillora)

install(TARGETS quillora quillora-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The samples, as the build makes them beside the program.
install(FILES
    ${CMAKE_BINARY_DIR}/bin/sablonok/adasveteli.sab
    ${CMAKE_BINARY_DIR}/bin/sablonok/adasveteli-egyesel-egyesvev.dot
    ${CMAKE_BINARY_DIR}/bin/sablonok/adasveteli-egyesel-tobbesvev.dot
    ${CMAKE_BINARY_DIR}/bin/sablonok/adasveteli-tobbesel-egyesvev.dot
    ${CMAKE_BINARY_DIR}/bin/sablonok/adasveteli-tobbesel-tobbesvev.dot
    DESTINATION ${quillora_share}/sablonok)
install(FILES ${CMAKE_BINARY_DIR}/bin/mezoadatok/adasveteli-egyesel-egyesvev.mza
    DESTINATION ${quillora_share}/mezoadatok)
install(FILES ${CMAKE_BINARY_DIR}/bin/Normal2003.dot DESTINATION ${quillora_share})

# Desktop integration.
install(FILES ${quillora_packaging}/quillora.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${quillora_packaging}/quillora.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
configure_file(${quillora_packaging}/${quillora_metainfo_id}.metainfo.xml.in
    ${CMAKE_BINARY_DIR}/packaging/${quillora_metainfo_id}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/${quillora_metainfo_id}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/resources/quillora.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(side 16 22 24 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/${side}x${side}/quillora.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${side}x${side}/apps)
endforeach()

# The Debian package. Depends are read from the shared libraries by
# dpkg-shlibdeps; what the program needs beyond them is named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillora)
set(CPACK_PACKAGE_VENDOR Quillora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${QUILLORA_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Assembles contracts from Word templates (Hungarian)")
set(CPACK_PACKAGE_DESCRIPTION
    "Quillora assembles contracts from Word-format templates whose places to fill in are\n"
    "bookmarks: it loads the variant for the number of sellers and buyers, copies the\n"
    "party descriptions, lists the fields beside the document and writes every value\n"
    "at each place of its field. Its user interface is Hungarian.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${QUILLORA_WEB_URL})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "hunspell-hu, fonts-liberation, fonts-crosextra-carlito, fonts-crosextra-caladea, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libreoffice-writer-nogui")
include(CPack)
