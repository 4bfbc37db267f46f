# Installation as a Linux desktop program, under any CMAKE_INSTALL_PREFIX:
#
#   bin/            kavro, dovel (a link to kavro), kavro-batch
#   lib/kavro/      libudov.so, the external vehicle model (when it is built)
#   share/kavro/    kavro.html and its images/, the help file
#   share/man/man1/ kavro.1, dovel.1, kavro-batch.1
#   share/applications/, share/icons/, share/mime/packages/: desktop entries, icons, file types
#
# The programs look for their files next to themselves first (the build folder) and then in
# these folders beside bin/ (src/config/ProgramFiles.cpp, which is given the same names).
# `cpack -G DEB` in the build folder makes a Debian package of the same files.

set(KAVRO_INSTALL_DATA_DIR share/kavro)
set(KAVRO_INSTALL_LIBRARY_DIR lib/kavro)
target_compile_definitions(kavro_config PRIVATE
  KAVRO_INSTALL_DATA_DIR="${KAVRO_INSTALL_DATA_DIR}"
  KAVRO_INSTALL_LIBRARY_DIR="${KAVRO_INSTALL_LIBRARY_DIR}")

install(TARGETS kavro-batch RUNTIME DESTINATION bin)
install(FILES docs/kavro.html DESTINATION ${KAVRO_INSTALL_DATA_DIR})
install(DIRECTORY docs/images DESTINATION ${KAVRO_INSTALL_DATA_DIR})

# Manual pages, written at build time from the option table that --help prints.
add_executable(kavro-man app/man/main.cpp)
target_link_libraries(kavro-man PRIVATE kavro_shell)
set_target_properties(kavro-man PROPERTIES AUTOMOC OFF)
set(KAVRO_MAN_DIR ${CMAKE_BINARY_DIR}/man)
set(KAVRO_MAN_PAGES)
set(KAVRO_MAN_PROGRAMS kavro-batch)
if(KAVRO_BUILD_GUI)
  list(APPEND KAVRO_MAN_PROGRAMS kavro)
endif()
foreach(program IN LISTS KAVRO_MAN_PROGRAMS)
  add_custom_command(OUTPUT ${KAVRO_MAN_DIR}/${program}.1
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KAVRO_MAN_DIR}
    COMMAND kavro-man ${program} ${KAVRO_MAN_DIR}/${program}.1
    DEPENDS kavro-man
    COMMENT "Writing the manual page ${program}(1)")
  list(APPEND KAVRO_MAN_PAGES ${KAVRO_MAN_DIR}/${program}.1)
endforeach()
if(KAVRO_BUILD_GUI)
  # dovel(1) is kavro(1).
  add_custom_command(OUTPUT ${KAVRO_MAN_DIR}/dovel.1
    COMMAND ${CMAKE_COMMAND} -E create_symlink kavro.1 ${KAVRO_MAN_DIR}/dovel.1
    DEPENDS ${KAVRO_MAN_DIR}/kavro.1)
  list(APPEND KAVRO_MAN_PAGES ${KAVRO_MAN_DIR}/dovel.1)
endif()
add_custom_target(kavro-man-pages ALL DEPENDS ${KAVRO_MAN_PAGES})
install(FILES ${KAVRO_MAN_PAGES} DESTINATION share/man/man1)

if(KAVRO_BUILD_GUI)
  install(TARGETS kavro RUNTIME DESTINATION bin)
  # Links are installed as links: bin/dovel and dovel(1) are those of kavro.
  install(FILES ${CMAKE_BINARY_DIR}/dovel DESTINATION bin)
  install(FILES data/kavro.desktop data/dovel.desktop DESTINATION share/applications)
  install(FILES data/kavro.svg data/dovel.svg DESTINATION share/icons/hicolor/scalable/apps)
  install(FILES data/kavro-mime.xml DESTINATION share/mime/packages RENAME kavro.xml)
endif()

# The external vehicle model, once the build makes it.
if(TARGET udov)
  install(TARGETS udov LIBRARY DESTINATION ${KAVRO_INSTALL_LIBRARY_DIR})
  install(FILES udov/New.dov DESTINATION ${KAVRO_INSTALL_DATA_DIR})
endif()

# The Debian package: its dependencies are found from the shared libraries the programs link
# (dpkg-shlibdeps); Qt's platform plugins are loaded at run time and named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kavro)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Kavro developers")
set(CPACK_PACKAGE_CONTACT "Kavro developers <kavro@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "microscopic traffic simulator for one-directional freeway stretches")
set(CPACK_PACKAGE_DESCRIPTION "Design a freeway stretch with its lanes, ramps, detectors and traffic lights, describe its traffic demand, watch every vehicle move and estimate the capacity with batch runs. kavro is the desktop program (also run as dovel, the user interface of an external vehicle model); kavro-batch runs the same batches without a window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(KAVRO_BUILD_GUI)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
endif()
include(CPack)
