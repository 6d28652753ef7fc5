# The Debian package (`make deb`): the same engine laid out as Debian lays out
# its chess engines, in an install component of its own that a plain
# `cmake --install` leaves out.

file(STRINGS ${CMAKE_SOURCE_DIR}/docs/debian/changelog VARGUL_DEB_CHANGELOG_TOP LIMIT_COUNT 1)
if(NOT VARGUL_DEB_CHANGELOG_TOP MATCHES "^vargul \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "docs/debian/changelog starts with '${VARGUL_DEB_CHANGELOG_TOP}': "
                      "its first entry must be version ${PROJECT_VERSION}, as in project()")
endif()

# Debian wants the manual page and the changelog compressed, without a time
# stamp in the gzip header, so that two builds give the same package.
set(VARGUL_DEB_STAGE ${CMAKE_BINARY_DIR}/debian)
add_custom_command(
  OUTPUT ${VARGUL_DEB_STAGE}/vargul.6.gz ${VARGUL_DEB_STAGE}/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VARGUL_DEB_STAGE}
  COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/docs/vargul.6 > ${VARGUL_DEB_STAGE}/vargul.6.gz
  COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/docs/debian/changelog > ${VARGUL_DEB_STAGE}/changelog.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/docs/vargul.6 ${CMAKE_SOURCE_DIR}/docs/debian/changelog
  VERBATIM)
add_custom_target(debian_files DEPENDS ${VARGUL_DEB_STAGE}/vargul.6.gz ${VARGUL_DEB_STAGE}/changelog.gz)

install(TARGETS vargul RUNTIME DESTINATION games COMPONENT deb EXCLUDE_FROM_ALL)
install(FILES ${VARGUL_DEB_STAGE}/vargul.6.gz DESTINATION share/man/man6 COMPONENT deb EXCLUDE_FROM_ALL)
install(FILES README.md docs/debian/copyright ${VARGUL_DEB_STAGE}/changelog.gz
        DESTINATION share/doc/vargul COMPONENT deb EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vargul)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};vargul;deb;/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Vargul maintainers <maintainers@users.noreply.c-seed-b0fc2ab7.example>")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Debian links its programs dynamically: the package depends on the C library
# version the engine was linked against (libstdc++ is linked in).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "chess engine speaking the UCI protocol")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Vargul is a chess engine: it has no board of its own, but plays and
analyses for a chess graphical interface that talks to it in the Universal
Chess Interface (UCI) protocol, such as Scid, PyChess, or xboard through
polyglot.

It searches on one thread, with iterative deepening over an alpha-beta
search with quiescence, and has one option, the size of its hash table.")
include(CPack)
