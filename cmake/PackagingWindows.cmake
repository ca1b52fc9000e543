# The Windows packages, from the cross build (see scripts/windows.sh):
#
#   cd <build> && cpack   vostrel-<version>-win64.zip   vostrel.exe, vostrel-convert.exe,
#                                                       vostrel.html (the browser page),
#                                                       temperaments/, guide.html, README.txt,
#                                                       LICENSE.txt
#                         vostrel-<version>-win64.exe   64-bit installer (NSIS)
#
# The installer puts the program into Program Files (it asks for
# administrator rights), adds Start-menu entries (the program, the guide, the
# collection's folder) and an uninstaller that Windows lists among installed
# apps. The Start-menu entry of the program starts Vostrel in the user's own
# profile folder (%USERPROFILE%), where Vostrel.ini can be written; Program
# Files cannot be written by a normal user.
#
# Only the component "program" is packed: the window program, the converter
# and the collection of historical temperaments (cmake/Convert.cmake), the
# guide (cmake/Guide.cmake) and the two text files made here.
install(TARGETS vostrel RUNTIME DESTINATION . COMPONENT program)
if(VOSTREL_PAGE_FILE)
  install(FILES ${VOSTREL_PAGE_FILE} DESTINATION . COMPONENT program)
endif()
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};Vostrel;program;/")

# The texts a Windows user reads, with Windows line ends: README.txt, a short note (the guide is
# guide.html), and LICENSE.txt, the licence without the paragraph that names files of the source
# tree; the installer's licence page shows the same text.
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/data/windows/README.txt.in
               ${CMAKE_BINARY_DIR}/README.txt @ONLY NEWLINE_STYLE CRLF)
file(READ ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE licence)
string(REGEX REPLACE "\n\n([^\n]+\n)*[^\n]*data/[^\n]*" "" licence "${licence}")
string(REPLACE "\n" "\r\n" licence "${licence}")
file(WRITE ${CMAKE_BINARY_DIR}/LICENSE.txt "${licence}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
install(FILES ${CMAKE_BINARY_DIR}/README.txt ${CMAKE_BINARY_DIR}/LICENSE.txt ${VOSTREL_GUIDE}
        DESTINATION . COMPONENT program)

# The installer's pictures, made from our icon with ImageMagick: the welcome and finish pages'
# 164 x 314 on the icon's own ground, the other pages' header 150 x 57, white as the header is.
# NSIS takes only Windows 3 bitmaps without transparency.
find_program(VOSTREL_IMAGEMAGICK convert REQUIRED)
set(VOSTREL_WELCOME_BMP ${CMAKE_BINARY_DIR}/installer-welcome.bmp)
set(VOSTREL_HEADER_BMP ${CMAKE_BINARY_DIR}/installer-header.bmp)
set(icons ${CMAKE_CURRENT_SOURCE_DIR}/data/icons)
add_custom_command(OUTPUT ${VOSTREL_WELCOME_BMP} ${VOSTREL_HEADER_BMP}
  COMMAND ${VOSTREL_IMAGEMAGICK} -size 164x314 "gradient:#5b1a2b-#2e0b15" ${icons}/vostrel-128.png
          -gravity north -geometry +0+64 -composite -alpha off -type TrueColor
          BMP3:${VOSTREL_WELCOME_BMP}
  COMMAND ${VOSTREL_IMAGEMAGICK} -size 150x57 xc:white ${icons}/vostrel-48.png
          -gravity east -geometry +8+0 -composite -alpha off -type TrueColor
          BMP3:${VOSTREL_HEADER_BMP}
  DEPENDS ${icons}/vostrel-128.png ${icons}/vostrel-48.png
  COMMENT "Making the installer's pictures from the icon" VERBATIM)
add_custom_target(vostrel_installer_pictures ALL DEPENDS ${VOSTREL_WELCOME_BMP} ${VOSTREL_HEADER_BMP})

set(CPACK_PACKAGE_NAME Vostrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Vostrel developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_FILE_NAME vostrel-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Vostrel)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Vostrel)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_BINARY_DIR}/LICENSE.txt)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR ZIP NSIS)

# A 64-bit installer (CPack's default is 32-bit) into the 64-bit Program Files; the header
# picture at the right, as Windows' own installers have it; our name and version at the foot of
# every page in place of NSIS's own. (Not CPACK_NSIS_BRANDING_TEXT: CPack gives it a /TRIM
# option, which makensis refuses on Linux.)
set(CPACK_NSIS_DEFINES "Target amd64-unicode
!define MUI_HEADERIMAGE_RIGHT
BrandingText 'Vostrel ${PROJECT_VERSION}'")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME "Vostrel ${PROJECT_VERSION}")
set(CPACK_NSIS_DISPLAY_NAME "Vostrel ${PROJECT_VERSION}")
set(CPACK_NSIS_MUI_ICON ${CMAKE_CURRENT_SOURCE_DIR}/data/windows/vostrel.ico)
set(CPACK_NSIS_MUI_UNIICON ${CMAKE_CURRENT_SOURCE_DIR}/data/windows/vostrel.ico)
set(CPACK_NSIS_MUI_WELCOMEFINISHPAGE_BITMAP ${VOSTREL_WELCOME_BMP})
set(CPACK_NSIS_MUI_HEADERIMAGE ${VOSTREL_HEADER_BMP})
set(CPACK_NSIS_INSTALLED_ICON_NAME vostrel.exe)
set(CPACK_NSIS_MODIFY_PATH OFF)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# The Start-menu entries: the program, the guide and the collection's folder. A shortcut takes
# the output folder ($OUTDIR) as its working folder: for the program the user's profile, expanded
# when it is started. (NSIS's single quotes: CPack does not pass double quotes on whole; the
# backslashes are doubled for CPack's reading of its configuration.)
set(CPACK_NSIS_CREATE_ICONS_EXTRA [[
  StrCpy $OUTDIR '%USERPROFILE%'
  CreateShortCut '$SMPROGRAMS\\$STARTMENU_FOLDER\\Vostrel.lnk' '$INSTDIR\\vostrel.exe' '' '$INSTDIR\\vostrel.exe' 0
  SetOutPath '$INSTDIR'
  CreateShortCut '$SMPROGRAMS\\$STARTMENU_FOLDER\\Vostrel guide.lnk' '$INSTDIR\\guide.html'
  CreateShortCut '$SMPROGRAMS\\$STARTMENU_FOLDER\\Temperament collection.lnk' '$INSTDIR\\temperaments'
]])
# Uninstalling removes the entries, and the vendor's registry key, which CPack's uninstaller
# leaves empty once it has removed the key of the installation folder beneath it. (In a quoted
# text CMake halves the backslashes once more.)
set(CPACK_NSIS_DELETE_ICONS_EXTRA "
  Delete '$SMPROGRAMS\\\\$MUI_TEMP\\\\Vostrel.lnk'
  Delete '$SMPROGRAMS\\\\$MUI_TEMP\\\\Vostrel guide.lnk'
  Delete '$SMPROGRAMS\\\\$MUI_TEMP\\\\Temperament collection.lnk'
  DeleteRegKey /ifempty SHCTX 'Software\\\\${CPACK_PACKAGE_VENDOR}'
")

include(CPack)
