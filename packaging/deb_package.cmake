# The .deb: `cpack -G DEB` in the build tree (or the `package` target).
#
# Dependencies: the shared libraries the programs link (Qt 6 Widgets, the
# C++ runtime) are found by dpkg-shlibdeps; what the programs load at run
# time is named here: the unixODBC driver manager (dlopen'ed, never
# linked) and the Qt platform plugins without which no window opens. The
# drivers are the user's choice, so they are only suggested.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vodbc)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "the vodbc authors")
set(CPACK_PACKAGE_CONTACT "vodbc maintainers <maintainers@vodbc.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "moves SQL query results from ODBC data sources into Velora worksheet files")
set(CPACK_PACKAGE_DESCRIPTION
    "vodbc connects to any ODBC data source, lets the user pick a table and
columns or write SQL, and saves the result as a Velora worksheet file
(.WOR). Queries are saved as retrieval files (.idb) and rerun from the
menu, the command line or scripts (vodbc-batch); vodbc-dump prints what a
worksheet file holds.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "unixodbc, libodbc2, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libsqliteodbc, odbc-postgresql, odbc-mariadb")
include(CPack)
