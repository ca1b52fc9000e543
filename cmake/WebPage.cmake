# The browser page in the packages (share/vostrel/vostrel.html; in the Windows
# zip and installer beside vostrel.exe). VOSTREL_WEB_PAGE names a page already
# built (scripts/test.sh and scripts/windows.sh pass the one scripts/web.sh
# makes); without it the page is built here when Emscripten's emcmake is
# found, in a core-only build of its own as scripts/web.sh makes it. With
# neither, the packages lack the page and configuring says so.
set(VOSTREL_WEB_PAGE "" CACHE FILEPATH "A built browser page (vostrel.html) for the packages")
set(VOSTREL_PAGE_FILE "")
if(VOSTREL_WEB_PAGE)
  set(VOSTREL_PAGE_FILE ${VOSTREL_WEB_PAGE})
elseif(NOT VOSTREL_SANITIZE)
  find_program(VOSTREL_EMCMAKE emcmake)
  if(VOSTREL_EMCMAKE)
    include(ExternalProject)
    set(page_build ${CMAKE_CURRENT_BINARY_DIR}/web-page)
    # Debian's Emscripten finds its acorn there when node is not Debian's own.
    set(page_env ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
    ExternalProject_Add(vostrel_web_page
      SOURCE_DIR ${CMAKE_CURRENT_SOURCE_DIR}
      BINARY_DIR ${page_build}
      CONFIGURE_COMMAND ${page_env} ${VOSTREL_EMCMAKE} ${CMAKE_COMMAND} -S <SOURCE_DIR>
                        -B <BINARY_DIR> -DVOSTREL_GUI=OFF -DVOSTREL_TESTS=OFF
                        -DCMAKE_BUILD_TYPE=MinSizeRel
      BUILD_COMMAND ${page_env} ${CMAKE_COMMAND} --build <BINARY_DIR> --target vostrel_page
      BUILD_ALWAYS ON
      BUILD_BYPRODUCTS ${page_build}/vostrel.html
      INSTALL_COMMAND "")
    set(VOSTREL_PAGE_FILE ${page_build}/vostrel.html)
  else()
    message(WARNING "Neither VOSTREL_WEB_PAGE nor Emscripten (emcmake, scripts/web.sh installs "
                    "it): the packages will lack the browser page")
  endif()
endif()
