# The Debian package: `cpack -G DEB` in the build folder (scripts/package) turns the install rules
# into rowsmith_<version>_<arch>.deb. Its dependencies come from the programs' shared libraries.

set(ROWSMITH_MAINTAINER "The Rowsmith developers <rowsmith@example.org>")

# Debian wants a copyright file and, for a package that is its own upstream, a changelog in the
# documentation folder. Its date is the day of the build (or of SOURCE_DATE_EPOCH), so that
# builds on one day give the same changelog.
string(TIMESTAMP ROWSMITH_CHANGELOG_DATE "%a, %d %b %Y 00:00:00 +0000" UTC)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${PROJECT_BINARY_DIR}/packaging/changelog
    @ONLY)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/packaging/changelog.gz
    COMMAND gzip -9 -n -f -k ${PROJECT_BINARY_DIR}/packaging/changelog
    DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog
    COMMENT "Compressing the changelog")
add_custom_target(rowsmith_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${PROJECT_BINARY_DIR}/packaging/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rowsmith)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Rowsmith developers")
set(CPACK_PACKAGE_CONTACT ${ROWSMITH_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "fill database tables with generated test records")
# Debian shows the description in 80 columns, each line indented by one blank.
set(CPACK_PACKAGE_DESCRIPTION
    "Rowsmith fills the tables of an existing SQLite, PostgreSQL or MariaDB/MySQL\n"
    "database with generated test records. A scenario names the tables to fill in order and, for\n"
    "every column, how its values are made: a fixed value, a random pick from a\n"
    "list, a random number from a range, a count, a random string, or the values\n"
    "of another table's column.\n"
    "\n"
    "The package holds the desktop program, rowsmith, and its headless twin,\n"
    "rowsmith-fill, for scripts and CI pipelines.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${CMAKE_PROJECT_HOMEPAGE_URL})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window cannot start without Qt's platform plugins, which Qt itself only recommends.
if(ROWSMITH_GUI)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
endif()
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
