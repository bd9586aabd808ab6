# The Debian packages: `cpack -G DEB` in the build folder (scripts/package) turns the install
# rules into rowsmith-fill_<version>_<arch>.deb, the command line with its help and examples and
# no Qt, so that a CI image gets no GUI libraries, and rowsmith_<version>_<arch>.deb, the window,
# which depends on it. Their dependencies come from the programs' shared libraries.

set(ROWSMITH_MAINTAINER "The Rowsmith developers <rowsmith@example.org>")

# Debian wants a copyright file and, for a package that is its own upstream, a changelog in each
# package's documentation folder. Its date is the day of the build (or of SOURCE_DATE_EPOCH), so
# that builds on one day give the same changelog.
string(TIMESTAMP ROWSMITH_CHANGELOG_DATE "%a, %d %b %Y 00:00:00 +0000" UTC)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${PROJECT_BINARY_DIR}/packaging/changelog
    @ONLY)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/packaging/changelog.gz
    COMMAND gzip -9 -n -f -k ${PROJECT_BINARY_DIR}/packaging/changelog
    DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog
    COMMENT "Compressing the changelog")
add_custom_target(rowsmith_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
set(ROWSMITH_COMPONENTS cli)
if(ROWSMITH_GUI)
    list(APPEND ROWSMITH_COMPONENTS gui)
endif()
foreach(component ${ROWSMITH_COMPONENTS})
    string(TOUPPER ${component} part)
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${PROJECT_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${ROWSMITH_${part}_DOCDIR} COMPONENT ${component})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${ROWSMITH_COMPONENTS})
set(CPACK_PACKAGE_NAME rowsmith)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Rowsmith developers")
set(CPACK_PACKAGE_CONTACT ${ROWSMITH_MAINTAINER})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${CMAKE_PROJECT_HOMEPAGE_URL})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

# Debian shows a description in 80 columns, each line indented by one blank; its first line is
# the summary.
set(ROWSMITH_ABOUT
    "Rowsmith fills the tables of an existing SQLite, PostgreSQL or MariaDB/MySQL\n"
    "database with generated test records. A scenario names the tables to fill in\n"
    "order and, for every column, how its values are made: a fixed value, a random\n"
    "pick from a list, a random number from a range, a count, a random string, or\n"
    "the values of another table's column.\n"
    "\n")
string(JOIN "" ROWSMITH_ABOUT ${ROWSMITH_ABOUT})

set(CPACK_DEBIAN_CLI_PACKAGE_NAME rowsmith-fill)
set(CPACK_DEBIAN_CLI_DESCRIPTION
    "fill database tables with generated test records (command line)\n${ROWSMITH_ABOUT}"
    "This package holds rowsmith-fill, which runs a scenario without a window, for\n"
    "scripts and CI pipelines, with the help pages and example scenarios.")
string(JOIN "" CPACK_DEBIAN_CLI_DESCRIPTION ${CPACK_DEBIAN_CLI_DESCRIPTION})

set(CPACK_DEBIAN_GUI_PACKAGE_NAME rowsmith)
set(CPACK_DEBIAN_GUI_DESCRIPTION
    "fill database tables with generated test records\n${ROWSMITH_ABOUT}"
    "This package holds the desktop program, rowsmith, where scenarios are made,\n"
    "changed and run, and the filled tables browsed.")
string(JOIN "" CPACK_DEBIAN_GUI_DESCRIPTION ${CPACK_DEBIAN_GUI_DESCRIPTION})
# The window cannot start without Qt's platform plugins, which Qt itself only recommends.
set(CPACK_DEBIAN_GUI_PACKAGE_DEPENDS "rowsmith-fill (= ${PROJECT_VERSION}), qt6-qpa-plugins")
include(CPack)
