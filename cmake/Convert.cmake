# vostrel-convert, the companion command-line program, and the collection of
# historical temperaments made from data/temperaments/collection.tsv.
#
#   cmake --build <build> --target vostrel_collection   the collection, in
#                                                        <build>/temperaments
#
# Both programs link the window program's modules (vostrel_core) but never
# open a display. The converter is a console program on every platform.
set(VOSTREL_CONVERT_SOURCES src/scala.cpp src/report.cpp src/collection.cpp)
add_library(vostrel_convert_core STATIC ${VOSTREL_CONVERT_SOURCES})
target_link_libraries(vostrel_convert_core PUBLIC vostrel_core)

add_executable(vostrel-convert src/convert.cpp)
target_compile_definitions(vostrel-convert PRIVATE VOSTREL_VERSION="${PROJECT_VERSION}")
target_link_libraries(vostrel-convert PRIVATE vostrel_convert_core)
if(WIN32)
  target_link_libraries(vostrel-convert PRIVATE shell32)  # CommandLineToArgvW
endif()

# The collection: a .scl and a host file per line of the table.
add_executable(make_collection tools/make_collection.cpp)
target_link_libraries(make_collection PRIVATE vostrel_convert_core)
set(VOSTREL_TABLE ${CMAKE_CURRENT_SOURCE_DIR}/data/temperaments/collection.tsv)
set(VOSTREL_COLLECTION ${CMAKE_CURRENT_BINARY_DIR}/temperaments)
add_custom_command(OUTPUT ${VOSTREL_COLLECTION}.stamp
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${VOSTREL_COLLECTION}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VOSTREL_COLLECTION}
  COMMAND make_collection ${VOSTREL_TABLE} ${VOSTREL_COLLECTION}
  COMMAND ${CMAKE_COMMAND} -E touch ${VOSTREL_COLLECTION}.stamp
  DEPENDS ${VOSTREL_TABLE} make_collection
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
