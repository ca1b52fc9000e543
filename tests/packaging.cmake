# Packaging: the desktop entry, and the Debian package built by cpack in a
# temporary build (installed and started under Xvfb only when CI=true).
# (The Windows zip and installer are tested by scripts/test.d/windows.sh.)
if(WIN32)
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
