# The user's guide: <build>/guide.html, one page that pandoc makes from README.md without its
# sections for developers (the rule is in cmake/guide.lua), with its pictures inside it. The
# packages ship it (Packaging.cmake, PackagingWindows.cmake). Without pandoc the build goes on
# without the guide, and VOSTREL_GUIDE is empty.
#
#   cmake --build <build> --target vostrel_guide
find_program(VOSTREL_PANDOC pandoc)
if(NOT VOSTREL_PANDOC)
  message(WARNING "pandoc not found: the packages get no user's guide (scripts/deps.sh installs it)")
  set(VOSTREL_GUIDE "")
  return()
endif()
set(VOSTREL_GUIDE ${CMAKE_BINARY_DIR}/guide.html)

# Pictures inside the page: --embed-resources from pandoc 2.19 on, --self-contained before it.
execute_process(COMMAND ${VOSTREL_PANDOC} --version OUTPUT_VARIABLE pandoc_version)
string(REGEX MATCH "[0-9]+\\.[0-9]+" pandoc_version "${pandoc_version}")
if(pandoc_version VERSION_LESS 2.19)
  set(pandoc_embed --self-contained)
else()
  set(pandoc_embed --embed-resources --standalone)
endif()

# The README's first heading becomes the page's title, its sections the table of contents.
file(GLOB pictures ${CMAKE_CURRENT_SOURCE_DIR}/docs/*.png)
add_custom_command(OUTPUT ${VOSTREL_GUIDE}
  COMMAND ${VOSTREL_PANDOC} README.md --from gfm --to html5 ${pandoc_embed}
          --lua-filter cmake/guide.lua --shift-heading-level-by=-1 --toc --toc-depth=2
          --metadata "subtitle=User's guide, version ${PROJECT_VERSION}" --output ${VOSTREL_GUIDE}
  WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
  DEPENDS README.md cmake/guide.lua ${pictures}
  COMMENT "Making the user's guide from README.md" VERBATIM)
add_custom_target(vostrel_guide ALL DEPENDS ${VOSTREL_GUIDE})
