# Install rules (an FHS layout under the prefix) and the Debian package.
#
#   bin/zentavo-3d                      the program
#   lib/zentavo-3d/*.so                 its companion libraries, private to it
#   share/zentavo-3d/                   the data each user's working folder is filled from
#   share/applications, share/metainfo, share/icons/hicolor   the desktop's menu entry,
#                                       software-centre data and icon
#   share/doc/zentavo-3d/               copyright and changelog
#
# The program finds the data and the libraries by their paths relative to
# bin/ (app/install), so the copy works under any prefix.

set(ZENTAVO_HOMEPAGE_URL "https://zentavo.org/" CACHE STRING "The publisher's home page, in the software-centre data")
set(ZENTAVO_SCREENSHOT_URL "https://zentavo.org/screenshots/clock.png" CACHE STRING
    "Where the software centre finds the clock's screenshot")

# Installing and packaging build nothing themselves: scripts/package builds
# what the package holds, and not the whole tree with its tests.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(ZENTAVO_DATA_DESTINATION ${CMAKE_INSTALL_DATADIR}/zentavo-3d)
set(ZENTAVO_LIBRARY_DESTINATION ${CMAKE_INSTALL_LIBDIR}/zentavo-3d)

install(TARGETS zentavo-3d RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS images_companion ztaddon_companion lu_companion weather_companion connection_companion
    popup_companion LIBRARY DESTINATION ${ZENTAVO_LIBRARY_DESTINATION})

install(DIRECTORY data/pictures data/pages DESTINATION ${ZENTAVO_DATA_DESTINATION})
install(FILES data/weather-cities.txt data/weather-cities.LICENSE DESTINATION ${ZENTAVO_DATA_DESTINATION})
# The about page shows the clock.
install(FILES docs/screenshot.png DESTINATION ${ZENTAVO_DATA_DESTINATION}/pages)

# Files that name the installed copy's own paths, written at install time, when
# the prefix is known (cmake --install --prefix, or the package's /usr).
function(zentavo_install_with_prefix Source Destination)
    get_filename_component(Name ${Source} NAME)
    string(REGEX REPLACE "\\.in$" "" Name ${Name})
    install(CODE "
        file(READ \"${Source}\" Text)
        string(REPLACE \"@ZENTAVO_PREFIX@\" \"\${CMAKE_INSTALL_PREFIX}\" Text \"\${Text}\")
        string(REPLACE \"@ZENTAVO_PROGRAM@\" \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/zentavo-3d\" Text \"\${Text}\")
        set(Target \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${Destination}/${Name}\")
        message(STATUS \"Installing: \${Target}\")
        file(WRITE \"\${Target}\" \"\${Text}\")
        list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${Target}\")
    ")
endfunction()

# The default document refreshes itself from the installed copy of itself, so a
# default install completes its online run without a server of its own.
file(READ ${PROJECT_SOURCE_DIR}/data/sysConf.xml ZENTAVO_DOCUMENT)
string(REGEX REPLACE "<link url=\"[^\"]*\"" "<link url=\"file://@ZENTAVO_PREFIX@/${ZENTAVO_DATA_DESTINATION}/\""
    ZENTAVO_DOCUMENT "${ZENTAVO_DOCUMENT}")
file(WRITE ${PROJECT_BINARY_DIR}/install/sysConf.xml "${ZENTAVO_DOCUMENT}")
zentavo_install_with_prefix(${PROJECT_BINARY_DIR}/install/sysConf.xml ${ZENTAVO_DATA_DESTINATION})

zentavo_install_with_prefix(${PROJECT_SOURCE_DIR}/data/desktop/org.zentavo.Zentavo3D.desktop.in
    ${CMAKE_INSTALL_DATADIR}/applications)
string(TIMESTAMP ZENTAVO_RELEASE_DATE "%Y-%m-%d" UTC)
set(ZENTAVO_VERSION ${PROJECT_VERSION})
configure_file(data/desktop/org.zentavo.Zentavo3D.metainfo.xml
    ${PROJECT_BINARY_DIR}/install/org.zentavo.Zentavo3D.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/install/org.zentavo.Zentavo3D.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

install(FILES data/desktop/icons/zentavo-3d.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(Size 16 24 32 48 64 128 256)
    install(FILES data/desktop/icons/zentavo-3d-${Size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${Size}x${Size}/apps RENAME zentavo-3d.png)
endforeach()

# Debian wants its own changelog, compressed, even in a package without one of its own.
set(ZENTAVO_CHANGELOG ${PROJECT_BINARY_DIR}/install/changelog.gz)
string(TIMESTAMP ZENTAVO_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
file(WRITE ${PROJECT_BINARY_DIR}/install/changelog
    "zentavo-3d (${PROJECT_VERSION}) unstable; urgency=medium\n\n"
    "  * Built from the project's own tree.\n\n"
    " -- The Zentavo 3D maintainers <maintainers@users.noreply.c-seed-387dcc07.example>  ${ZENTAVO_CHANGELOG_DATE}\n")
add_custom_command(OUTPUT ${ZENTAVO_CHANGELOG}
    COMMAND gzip -9n -c ${PROJECT_BINARY_DIR}/install/changelog > ${ZENTAVO_CHANGELOG}
    DEPENDS ${PROJECT_BINARY_DIR}/install/changelog VERBATIM)
add_custom_target(zentavo_changelog ALL DEPENDS ${ZENTAVO_CHANGELOG})
install(FILES data/desktop/copyright ${ZENTAVO_CHANGELOG} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zentavo-3d)

# The package: scripts/package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zentavo-3d)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Zentavo 3D maintainers")
set(CPACK_PACKAGE_CONTACT "The Zentavo 3D maintainers <maintainers@users.noreply.c-seed-387dcc07.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "3D globe clock for the desktop")
# The lines after the synopsis; CPack indents them.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "A small borderless window with a 3D Earth that floats over the wallpaper:
translucent hour and minute domes turn to show the time of a chosen zone,
a sun light follows the hour, and the weather of a chosen city is shown
beside the globe. It also keeps the computer's clock synchronised and runs
one scheduled event: an alarm, a shutdown or the start of a program.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
# The install rules write files that name the final prefix, not the staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${ZENTAVO_HOMEPAGE_URL})
# Depends from the shared libraries the program and its companions use.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Found by file name at run time, not linked: the zone database, the bus for the
# shutdown and the time, the certificates for the weather.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "tzdata, ca-certificates")
# qt6-translations-l10n: the toolkit's own buttons and dialogs in the clock's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, xdg-utils, qt6-translations-l10n")
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_BINARY_DIR}/packages)
include(CPack)
