# The browser page: the core compiled to WebAssembly by Emscripten (configure
# with emcmake; scripts/web.sh does it all), and the core's module tests run
# under Node.
#
#   <build>/vostrel.html   one self-contained file: HTML, styles, script and
#                          the WebAssembly module (SINGLE_FILE)
#
# The page carries the collection table and make_collection, which it runs
# in its in-memory file system to make the collection's host files.
set(VOSTREL_WEB ${CMAKE_CURRENT_SOURCE_DIR}/web)
set(VOSTREL_TABLE ${CMAKE_CURRENT_SOURCE_DIR}/data/temperaments/collection.tsv)
set(VOSTREL_TABLE_CPP ${CMAKE_CURRENT_BINARY_DIR}/collection_table.cpp)
add_custom_command(OUTPUT ${VOSTREL_TABLE_CPP}
  COMMAND ${CMAKE_COMMAND} -DTABLE=${VOSTREL_TABLE} -DOUT=${VOSTREL_TABLE_CPP}
          -P ${CMAKE_CURRENT_SOURCE_DIR}/cmake/embed_table.cmake
  DEPENDS ${VOSTREL_TABLE} ${CMAKE_CURRENT_SOURCE_DIR}/cmake/embed_table.cmake
  COMMENT "Embedding the collection table")

# Emscripten 3.1.6 runs the WebAssembly module from a data: URI only with
# SINGLE_FILE: a separate .wasm cannot be fetched from file:// (nor by Node 20).
# Its HTML minifier is broken in Debian (it calls htmlmin wrongly): MINIFY_HTML=0.
add_executable(vostrel_page ${VOSTREL_WEB}/vostrel_web.cpp tools/make_collection.cpp
               ${VOSTREL_TABLE_CPP})
target_include_directories(vostrel_page PRIVATE ${VOSTREL_WEB})
target_link_libraries(vostrel_page PRIVATE vostrel_core)
set(page_parts ${VOSTREL_WEB}/shell.html ${VOSTREL_WEB}/pre.js ${VOSTREL_WEB}/page.js
               ${VOSTREL_WEB}/report.js ${VOSTREL_WEB}/compare.js ${VOSTREL_WEB}/listen.js
               ${VOSTREL_WEB}/construct.js)
set_target_properties(vostrel_page PROPERTIES OUTPUT_NAME vostrel SUFFIX .html
                      LINK_DEPENDS "${page_parts}")
target_link_options(vostrel_page PRIVATE -sSINGLE_FILE=1 -sENVIRONMENT=web -sINVOKE_RUN=0
  -sMINIFY_HTML=0
  "-sEXPORTED_RUNTIME_METHODS=['ccall','FS','callMain']" --shell-file ${VOSTREL_WEB}/shell.html
  --pre-js ${VOSTREL_WEB}/pre.js)
# The page's scripts in order: page.js defines Page, which the others use. (SHELL: keeps CMake
# from folding the repeated option.)
foreach(script page report compare listen construct)
  target_link_options(vostrel_page PRIVATE "SHELL:--post-js ${VOSTREL_WEB}/${script}.js")
endforeach()

if(VOSTREL_TESTS)
  # GoogleTest compiled by em++ from Debian's source; each test binary runs
  # under Node (CMAKE_CROSSCOMPILING_EMULATOR) on the in-memory file system.
  enable_testing()
  set(VOSTREL_GTEST_SOURCE /usr/src/googletest/googletest CACHE PATH "GoogleTest source")
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  add_subdirectory(${VOSTREL_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(here ${CMAKE_CURRENT_SOURCE_DIR}/tests)
  add_executable(wasm_test_web ${here}/test_web.cpp ${here}/support.cpp ${VOSTREL_WEB}/vostrel_web.cpp)
  target_include_directories(wasm_test_web PRIVATE ${here} ${VOSTREL_WEB})
  # The case file inside the test's in-memory file system.
  target_compile_definitions(wasm_test_web PRIVATE VOSTREL_WEB_CASES="/binding.ini")
  target_link_options(wasm_test_web PRIVATE --embed-file ${here}/web/binding.ini@/binding.ini)
  set_target_properties(wasm_test_web PROPERTIES LINK_DEPENDS ${here}/web/binding.ini)
  foreach(test wasm_test_web)
    target_link_libraries(${test} PRIVATE vostrel_core gtest_main)
    target_link_options(${test} PRIVATE -sSINGLE_FILE=1 -sENVIRONMENT=node -sALLOW_MEMORY_GROWTH=1)
    add_test(NAME ${test} COMMAND ${test})
  endforeach()

  # The page's scenarios in headless Chromium, in Firefox ESR and in WebKitGTK's MiniBrowser
  # (under Xvfb), against the native programs of the build in VOSTREL_NATIVE_BUILD
  # (scripts/test.d/web.sh passes build/). The screenshots are Chromium's.
  set(VOSTREL_NATIVE_BUILD "" CACHE PATH "A native build with vostrel and vostrel-convert")
  if(VOSTREL_NATIVE_BUILD)
    foreach(engine chromium firefox webkit)
      set(run node)
      if(engine STREQUAL webkit)
        set(run xvfb-run -a node)
      endif()
      # The page's scenarios, then those of hearing, comparing, constructing and printing.
      foreach(steps scenarios listen)
        add_test(NAME web_${steps}_${engine}
                 COMMAND ${run} ${here}/web/scenarios.mjs $<TARGET_FILE:vostrel_page>
                         ${VOSTREL_NATIVE_BUILD} ${here}/web/${steps}.ini)
        set_tests_properties(web_${steps}_${engine} PROPERTIES TIMEOUT 600
                             ENVIRONMENT "VOSTREL_BROWSER=${engine}")
      endforeach()
    endforeach()
  endif()
endif()
