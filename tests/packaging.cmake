# Packaging: the desktop entry, and the Debian package built by cpack in a
# temporary build (installed and started under Xvfb only when CI=true).
# Windows: the zip and the installer that scripts/windows.sh makes with cpack
# in packages/ of the build, under Wine.
if(WIN32)
  set(VOSTREL_PACKAGES ${CMAKE_BINARY_DIR}/packages/vostrel-${PROJECT_VERSION}-win64)
  add_test(NAME packaging_windows COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/packaging/windows.sh
           ${VOSTREL_PACKAGES}.exe ${VOSTREL_PACKAGES}.zip)
  set_tests_properties(packaging_windows PROPERTIES TIMEOUT 120)
  return()
endif()
add_test(NAME packaging_desktop_entry
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/packaging/desktop_entry.sh ${PROJECT_SOURCE_DIR})

# The package is built from its own normal build, so one run is enough: the
# sanitizer build of the suite leaves it out.
if(NOT VOSTREL_SANITIZE)
  add_test(NAME packaging_deb
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/packaging/deb.sh ${PROJECT_SOURCE_DIR})
  set_tests_properties(packaging_deb PROPERTIES TIMEOUT 600)
endif()
