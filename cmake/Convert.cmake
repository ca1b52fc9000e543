# vostrel-convert, the companion command-line program, and the collection of
# historical temperaments made from data/temperaments/collection.tsv.
#
#   cmake --build <build> --target vostrel_collection   the collection, in
#                                                        <build>/temperaments
#
# Both link the core alone: no toolkit, no display. The converter is a console
# program on every platform.
add_executable(vostrel-convert src/convert/convert.cpp)
target_compile_definitions(vostrel-convert PRIVATE VOSTREL_VERSION="${PROJECT_VERSION}")
target_link_libraries(vostrel-convert PRIVATE vostrel_core)
if(WIN32)
  # Its command line in UTF-8, its text to a console in UTF-16, the pause after a double-click.
  target_sources(vostrel-convert PRIVATE src/convert/console.cpp)
  target_link_libraries(vostrel-convert PRIVATE shell32)  # CommandLineToArgvW
elseif(NOT VOSTREL_SANITIZE)
  # Linked statically, as the Windows build is: no shared library to find and map at each
  # start, so a run takes no longer than the system's own small tools.
  target_link_options(vostrel-convert PRIVATE -static)
endif()

# The collection: a .scl and a host file per line of the table, made by
# make_collection on the build machine. A cross build makes that tool with
# the build machine's own compiler (a small core-only build of its own).
if(CMAKE_CROSSCOMPILING)
  include(ExternalProject)
  set(VOSTREL_HOST_TOOLS ${CMAKE_CURRENT_BINARY_DIR}/host-tools)
  ExternalProject_Add(host_make_collection
    SOURCE_DIR ${CMAKE_CURRENT_SOURCE_DIR}
    BINARY_DIR ${VOSTREL_HOST_TOOLS}
    CMAKE_ARGS -DVOSTREL_GUI=OFF -DVOSTREL_TESTS=OFF -DCMAKE_BUILD_TYPE=Release
    BUILD_COMMAND ${CMAKE_COMMAND} --build ${VOSTREL_HOST_TOOLS} --target make_collection
    BUILD_BYPRODUCTS ${VOSTREL_HOST_TOOLS}/make_collection
    BUILD_ALWAYS ON
    INSTALL_COMMAND "")
  set(VOSTREL_MAKE_COLLECTION ${VOSTREL_HOST_TOOLS}/make_collection)
  set(VOSTREL_MAKE_COLLECTION_TARGET host_make_collection)
  set(VOSTREL_COLLECTION_LINE_ENDS ${CMAKE_COMMAND} -DDIR=${CMAKE_CURRENT_BINARY_DIR}/temperaments
      -P ${CMAKE_CURRENT_SOURCE_DIR}/cmake/crlf.cmake)
else()
  add_executable(make_collection tools/make_collection.cpp)
  target_link_libraries(make_collection PRIVATE vostrel_core)
  set(VOSTREL_MAKE_COLLECTION $<TARGET_FILE:make_collection>)
  set(VOSTREL_MAKE_COLLECTION_TARGET make_collection)
  set(VOSTREL_COLLECTION_LINE_ENDS ${CMAKE_COMMAND} -E true)
endif()
set(VOSTREL_TABLE ${CMAKE_CURRENT_SOURCE_DIR}/data/temperaments/collection.tsv)
set(VOSTREL_COLLECTION ${CMAKE_CURRENT_BINARY_DIR}/temperaments)
add_custom_command(OUTPUT ${VOSTREL_COLLECTION}.stamp
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${VOSTREL_COLLECTION}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VOSTREL_COLLECTION}
  COMMAND ${VOSTREL_MAKE_COLLECTION} ${VOSTREL_TABLE} ${VOSTREL_COLLECTION}
  COMMAND ${VOSTREL_COLLECTION_LINE_ENDS}
  COMMAND ${CMAKE_COMMAND} -E touch ${VOSTREL_COLLECTION}.stamp
  DEPENDS ${VOSTREL_TABLE} ${VOSTREL_MAKE_COLLECTION_TARGET}
  COMMENT "Making the collection of historical temperaments")
add_custom_target(vostrel_collection ALL DEPENDS ${VOSTREL_COLLECTION}.stamp)

if(WIN32)
  # In the zip and the installer, beside vostrel.exe (cmake/PackagingWindows.cmake).
  install(TARGETS vostrel-convert RUNTIME DESTINATION . COMPONENT program)
  install(DIRECTORY ${VOSTREL_COLLECTION}/ DESTINATION temperaments COMPONENT program)
else()
  include(GNUInstallDirs)
  install(TARGETS vostrel-convert RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(DIRECTORY ${VOSTREL_COLLECTION}/
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/vostrel/temperaments)
endif()

if(NOT WIN32)
  # The man page, configured with the version and compressed as Debian wants.
  set(VOSTREL_CONVERT_MAN ${CMAKE_CURRENT_BINARY_DIR}/man/vostrel-convert.1)
  configure_file(${CMAKE_CURRENT_SOURCE_DIR}/data/vostrel-convert.1.in ${VOSTREL_CONVERT_MAN} @ONLY)
  find_program(VOSTREL_GZIP gzip)
  if(VOSTREL_GZIP)
    add_custom_command(OUTPUT ${VOSTREL_CONVERT_MAN}.gz
      COMMAND ${VOSTREL_GZIP} -9 -n -c ${VOSTREL_CONVERT_MAN} > ${VOSTREL_CONVERT_MAN}.gz
      DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/data/vostrel-convert.1.in
      COMMENT "Compressing the man page of vostrel-convert")
    add_custom_target(vostrel_convert_man ALL DEPENDS ${VOSTREL_CONVERT_MAN}.gz)
    set(VOSTREL_CONVERT_MAN ${VOSTREL_CONVERT_MAN}.gz)
  endif()
  install(FILES ${VOSTREL_CONVERT_MAN} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
