# Packaging. Linux: the Debian package, built by cpack from a normal build of
# its own, so the sanitizer build of the suite leaves it out. Windows: the zip
# and the installer that scripts/windows.sh makes in packages/ of the build.
if(WIN32)
  set(VOSTREL_PACKAGES ${CMAKE_BINARY_DIR}/packages/vostrel-${PROJECT_VERSION}-win64)
  add_test(NAME packaging_windows COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/packaging/windows.sh
           ${VOSTREL_PACKAGES}.exe ${VOSTREL_PACKAGES}.zip)
  set_tests_properties(packaging_windows PROPERTIES TIMEOUT 120)
elseif(NOT VOSTREL_SANITIZE)
  add_test(NAME packaging_deb COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/packaging/deb.sh ${PROJECT_SOURCE_DIR})
  set_tests_properties(packaging_deb PROPERTIES TIMEOUT 600)
endif()
