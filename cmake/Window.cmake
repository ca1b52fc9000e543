# The window program: vostrel_gui holds its modules (window, dialogs, settings
# file, folder search) on top of the core; vostrel adds main. Its install rules
# and packages are in Packaging.cmake.
if(WIN32)
  # FLTK 1.4 built for Windows (scripts/fltk-win.sh): its config package, not
  # CMake's FindFLTK module, which would take the wrong include folder. When
  # cross-compiling the config defines only the namespaced target.
  set(CMAKE_FIND_PACKAGE_PREFER_CONFIG ON)
  find_package(FLTK 1.4 CONFIG REQUIRED)
  set(VOSTREL_FLTK fltk::fltk)
else()
  # Debian's FLTK package config names its libraries under this variable.
  if(NOT DEFINED DEB_HOST_MULTIARCH AND CMAKE_LIBRARY_ARCHITECTURE)
    set(DEB_HOST_MULTIARCH ${CMAKE_LIBRARY_ARCHITECTURE})
  endif()
  find_package(FLTK REQUIRED)
  if(TARGET fltk)
    set(VOSTREL_FLTK fltk)
  else()
    set(VOSTREL_FLTK ${FLTK_LIBRARIES})
  endif()
endif()

add_library(vostrel_gui STATIC src/gui/main_gui.cpp src/gui/settings.cpp)
target_include_directories(vostrel_gui PUBLIC src/gui ${FLTK_INCLUDE_DIR})
target_link_libraries(vostrel_gui PUBLIC vostrel_core ${VOSTREL_FLTK})

add_executable(vostrel src/gui/main.cpp)
target_link_libraries(vostrel PRIVATE vostrel_gui)
if(WIN32)
  # A GUI program (no console window) with its icon, manifest and version.
  set(VOSTREL_WINDATA ${CMAKE_CURRENT_SOURCE_DIR}/data/windows)
  configure_file(${VOSTREL_WINDATA}/vostrel.rc.in ${CMAKE_CURRENT_BINARY_DIR}/vostrel.rc @ONLY)
  target_sources(vostrel PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/vostrel.rc)
  set_target_properties(vostrel PROPERTIES WIN32_EXECUTABLE ON)
endif()

include(cmake/Packaging.cmake)
