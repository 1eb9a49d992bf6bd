# Installation and the Debian package: the programs, desktop entries, icons, file types,
# AppStream data, examples and man pages. scripts/package.sh builds the package with
# `cpack -G DEB`; tests/packaging/package_test.sh checks it (PACKAGE_TESTS=ON).
include(GNUInstallDirs)

set(PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(APP_IDS org.ladderbench.Sorvel org.ladderbench.Mirabo)
set(ICON_SIZES 16 22 24 32 48 64 128 256)

set(PACKAGE_PROGRAMS sorvel mirabo sorvel-sweep)
# The designer's command-line tools join the package once they are built.
foreach(tool mirabo-design mirabo-crystal sorvel-vna)
  if(TARGET ${tool})
    list(APPEND PACKAGE_PROGRAMS ${tool})
  endif()
endforeach()
install(TARGETS ${PACKAGE_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Sorvel looks for its start example at <bin>/../share/sorvel/examples.
install(FILES
  ${PACKAGING_DIR}/examples/lowpass-7-pole.cir
  ${PACKAGING_DIR}/examples/crystal-5-pole.cir
  ${PACKAGING_DIR}/examples/measured-crystal-5-pole.s2p
  DESTINATION ${CMAKE_INSTALL_DATADIR}/sorvel/examples)

install(FILES ${PACKAGING_DIR}/mime/sorvel-mirabo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)

# AppStream wants screenshots at a public web address; the README's pictures are listed once
# the address of the published docs/ folder is known, and left out until then.
set(SCREENSHOT_URL_BASE "" CACHE STRING
  "https address of the published docs/ folder holding sorvel.png and mirabo.png")
string(REGEX REPLACE "/+$" "" screenshot_url_base "${SCREENSHOT_URL_BASE}")

find_program(RSVG_CONVERT rsvg-convert)
set(generated_icons)
foreach(id ${APP_IDS})
  install(FILES ${PACKAGING_DIR}/${id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  set(metainfo_in ${PACKAGING_DIR}/${id}.metainfo.xml.in)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${metainfo_in})
  file(READ ${metainfo_in} metainfo)
  if(NOT screenshot_url_base)
    string(REGEX REPLACE "\n *<screenshots>.*</screenshots>" "" metainfo "${metainfo}")
  endif()
  string(REPLACE "@SCREENSHOT_URL_BASE@" "${screenshot_url_base}" metainfo "${metainfo}")
  file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/metainfo/${id}.metainfo.xml CONTENT "${metainfo}" @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/metainfo/${id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  set(svg ${PACKAGING_DIR}/icons/${id}.svg)
  install(FILES ${svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  # Menus and docks that take no SVG want the bitmaps; made from the SVG, never drawn twice.
  if(RSVG_CONVERT)
    foreach(size ${ICON_SIZES})
      set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/${id}.png)
      add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
        COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${svg}
        DEPENDS ${svg} VERBATIM)
      list(APPEND generated_icons ${png})
      install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
  endif()
endforeach()
if(RSVG_CONVERT)
  add_custom_target(package_icons ALL DEPENDS ${generated_icons})
else()
  message(STATUS "rsvg-convert not found: only the SVG icons are installed")
endif()

# Man pages carry the version and are installed compressed, as Debian's man expects.
set(man_pages)
foreach(page ${PACKAGE_PROGRAMS})
  set(page_in ${CMAKE_BINARY_DIR}/man/${page}.1)
  configure_file(${PACKAGING_DIR}/man/${page}.1 ${page_in} @ONLY)
  add_custom_command(OUTPUT ${page_in}.gz
    COMMAND gzip -9nkf ${page_in}
    DEPENDS ${page_in} VERBATIM)
  list(APPEND man_pages ${page_in}.gz)
endforeach()
add_custom_target(man_pages ALL DEPENDS ${man_pages})
# Each man page lists every option its program's --help lists.
foreach(page ${PACKAGE_PROGRAMS})
  add_test(NAME man_options_${page}
    COMMAND bash ${PROJECT_SOURCE_DIR}/tests/packaging/man_options_test.sh $<TARGET_FILE:${page}>
            ${PACKAGING_DIR}/man/${page}.1)
endforeach()
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The copyright file and the package's changelog, where Debian's tools look for them.
set(PACKAGE_RELEASE 1)
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/sorvel-mirabo)
configure_file(${PACKAGING_DIR}/doc/changelog.Debian ${CMAKE_BINARY_DIR}/doc/changelog.Debian @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/doc/changelog.Debian.gz
  COMMAND gzip -9nkf ${CMAKE_BINARY_DIR}/doc/changelog.Debian
  DEPENDS ${CMAKE_BINARY_DIR}/doc/changelog.Debian VERBATIM)
add_custom_target(package_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/doc/changelog.Debian.gz)
install(FILES ${PACKAGING_DIR}/doc/copyright ${CMAKE_BINARY_DIR}/doc/changelog.Debian.gz DESTINATION ${doc_dir})

# Everything the package installs, so scripts/package.sh builds no tests or benchmarks.
add_custom_target(package_contents DEPENDS ${PACKAGE_PROGRAMS} man_pages package_changelog)
if(RSVG_CONVERT)
  add_dependencies(package_contents package_icons)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sorvel-mirabo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Sorvel and Mirabo developers")
set(CPACK_PACKAGE_CONTACT "Sorvel and Mirabo developers <maintainers@ladderbench.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ladder filter analyser and crystal ladder filter designer")
set(CPACK_PACKAGE_DESCRIPTION
  "Two desktop programs for designing and tuning radio-frequency ladder filters
at the bench. Sorvel analyses an LC or crystal ladder read from a circuit file
and plots S21 and S11, with zoom, cursor, reference trace, value editing and
tune mode; sorvel-sweep prints the same sweep as CSV. Mirabo designs crystal
ladder filters from measured crystal data and writes the design as a circuit
file for Sorvel.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${PACKAGE_RELEASE})
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The one dependency no library scan can see: Qt loads its window-system plugin at run time.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
include(CPack)

if(PACKAGE_TESTS)
  add_test(NAME package COMMAND bash ${PROJECT_SOURCE_DIR}/tests/packaging/package_test.sh)
  set_tests_properties(package PROPERTIES TIMEOUT 1800)
endif()
