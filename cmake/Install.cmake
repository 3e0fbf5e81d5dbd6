# What `cmake --install` puts under the prefix, and the Debian package CPack makes of it.

install(TARGETS tintora-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/data/completion/tintora-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${PROJECT_SOURCE_DIR}/data/man/tintora-cli.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${TINTORA_SAMPLE_PROFILES_DIR}/Tintora-Sample-CMYK.icc
              ${TINTORA_SAMPLE_PROFILES_DIR}/Tintora-Sample-CMY.icc
              ${TINTORA_SAMPLE_PROFILES_DIR}/Tintora-Sample-RGB.icc
              ${TINTORA_SAMPLE_PROFILES_DIR}/Tintora-Sample-Spots.icc
              ${TINTORA_SAMPLE_PROFILES_DIR}/Tintora-sRGB.icc
        DESTINATION ${TINTORA_INSTALL_DATADIR}/Resources/profiles)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${TINTORA_INSTALL_DATADIR}/examples)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

if(TINTORA_BUILD_GUI)
    install(TARGETS tintora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${PROJECT_SOURCE_DIR}/data/style.xml DESTINATION ${TINTORA_INSTALL_DATADIR})
    install(FILES ${PROJECT_SOURCE_DIR}/data/Resources/banner.png
            DESTINATION ${TINTORA_INSTALL_DATADIR}/Resources)
    install(FILES ${PROJECT_SOURCE_DIR}/data/man/tintora.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${PROJECT_SOURCE_DIR}/data/desktop/tintora.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${PROJECT_SOURCE_DIR}/data/desktop/tintora-mime.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME tintora.xml)
    install(FILES ${PROJECT_SOURCE_DIR}/data/desktop/icons/tintora.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    foreach(size 16 24 32 48 64 128 256)
        install(FILES ${PROJECT_SOURCE_DIR}/data/desktop/icons/tintora-${size}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
                RENAME tintora.png)
    endforeach()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tintora)
set(CPACK_PACKAGE_VENDOR Veltrane)
set(CPACK_PACKAGE_CONTACT "Tintora developers <tintora@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Spot colour search in ICC output profiles")
set(CPACK_PACKAGE_DESCRIPTION
    "Finds the device values (CMYK, CMY or RGB) that reproduce a spot colour as closely as a \
printing or display condition allows, in a window and on the command line (tintora-cli), with \
its own ICC colour library.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Debug information stays in the build tree.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# The Debian 12 packages of the libraries the programs link, and Qt's platform plugins for the
# window.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.36), libstdc++6 (>= 12), libgcc-s1, libtinyxml2-9")
if(TINTORA_BUILD_GUI)
    string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS
           ", libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4)"
           ", qt6-qpa-plugins")
endif()
include(CPack)
