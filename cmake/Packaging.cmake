# Install rules and the Debian package.
#
#   cmake --install <build> [--prefix <dir>]   program, desktop entry, icons,
#                                               man page, copyright and guide
#   cd <build> && cpack                         vostrel_<version>_<arch>.deb
#
# The version is the project's, PROJECT_VERSION, everywhere.
include(${CMAKE_CURRENT_LIST_DIR}/Guide.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/WebPage.cmake)
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/PackagingWindows.cmake)
  return()
endif()
include(GNUInstallDirs)
if(VOSTREL_PAGE_FILE)
  install(FILES ${VOSTREL_PAGE_FILE} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/vostrel)
endif()

set(VOSTREL_DATA ${CMAKE_CURRENT_SOURCE_DIR}/data)

install(TARGETS vostrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

if(NOT WIN32)
  # Desktop menu entry and the icon in the sizes desktops look for.
  install(FILES ${VOSTREL_DATA}/vostrel.desktop
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
  set(VOSTREL_ICONS ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor)
  install(FILES ${VOSTREL_DATA}/icons/vostrel.svg DESTINATION ${VOSTREL_ICONS}/scalable/apps)
  foreach(size 48 128 256)
    install(FILES ${VOSTREL_DATA}/icons/vostrel-${size}.png
            DESTINATION ${VOSTREL_ICONS}/${size}x${size}/apps RENAME vostrel.png)
  endforeach()

  # The man page carries the version; Debian wants it compressed.
  configure_file(${VOSTREL_DATA}/vostrel.1.in ${CMAKE_CURRENT_BINARY_DIR}/man/vostrel.1 @ONLY)
  find_program(VOSTREL_GZIP gzip)
  if(VOSTREL_GZIP)
    set(VOSTREL_MAN ${CMAKE_CURRENT_BINARY_DIR}/man/vostrel.1.gz)
    add_custom_command(OUTPUT ${VOSTREL_MAN}
      COMMAND ${VOSTREL_GZIP} -9 -n -c ${CMAKE_CURRENT_BINARY_DIR}/man/vostrel.1 > ${VOSTREL_MAN}
      DEPENDS ${VOSTREL_DATA}/vostrel.1.in
      COMMENT "Compressing the man page")
    add_custom_target(vostrel_man ALL DEPENDS ${VOSTREL_MAN})
  else()
    set(VOSTREL_MAN ${CMAKE_CURRENT_BINARY_DIR}/man/vostrel.1)
  endif()
  install(FILES ${VOSTREL_MAN} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

# Debian's copyright file; it holds the licence of the code and the icon. Beside it the guide.
install(FILES ${VOSTREL_DATA}/copyright ${VOSTREL_GUIDE}
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/vostrel)

# ---- Debian package ---------------------------------------------------------
set(CPACK_PACKAGE_NAME vostrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Vostrel developers")
set(CPACK_PACKAGE_CONTACT "The Vostrel developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The summary line comes from CPACK_PACKAGE_DESCRIPTION_SUMMARY.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Vostrel defines a temperament as a reference pitch for A and twelve offsets\nin cents from equal temperament and writes it as a temperament file of the\nHW3 virtual pipe organ host. It also loads such files for editing.")

# Dependencies from the libraries the program really links (libfltk1.3 and
# what it needs). Without dpkg-shlibdeps, at least the package that holds the
# FLTK library is named.
find_program(VOSTREL_SHLIBDEPS dpkg-shlibdeps)
if(VOSTREL_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  find_library(VOSTREL_FLTK_SO NAMES fltk)
  find_program(VOSTREL_DPKG dpkg)
  if(VOSTREL_FLTK_SO AND VOSTREL_DPKG)
    file(REAL_PATH ${VOSTREL_FLTK_SO} fltk_so)
    execute_process(COMMAND ${VOSTREL_DPKG} -S ${fltk_so}
                    OUTPUT_VARIABLE fltk_owner ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
    string(REGEX MATCH "^[^:]+" fltk_package "${fltk_owner}")
    if(fltk_package)
      set(CPACK_DEBIAN_PACKAGE_DEPENDS ${fltk_package})
    endif()
  endif()
endif()

include(CPack)
