# `cpack -G DEB` in a build folder makes vantrel_<version>_<arch>.deb from
# what `cmake --install` installs, under /usr. The libraries it needs come
# from dpkg-shlibdeps (Qt, libdeflate, the C++ runtime); the rest are what
# the program loads at run time without linking it: Qt's platform plugins
# (xcb) and the MIME database that names file types.
set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Vantrel developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "find duplicate files, large files and folders, temporary and old files")
set(CPACK_PACKAGE_DESCRIPTION
    "Vantrel finds the files and folders that take disk space - duplicates, the\n\
largest files and folders, temporary files, files by date - and lets you mark\n\
and remove them. Every search also runs from a shell, writing TSV, CSV or JSON.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Vantrel developers <vantrel@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, shared-mime-info")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
# Only the program: no test or benchmark ever installs anything, but be sure.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};ALL;/")
include(CPack)
