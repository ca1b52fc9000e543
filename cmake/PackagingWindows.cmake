# The Windows packages, from the cross build (see scripts/windows.sh):
#
#   cd <build> && cpack   vostrel-<version>-win64.zip   vostrel.exe, vostrel-convert.exe,
#                                                       vostrel.html (the browser page),
#                                                       temperaments/, README.txt, LICENSE.txt
#                         vostrel-<version>-win64.exe   64-bit installer (NSIS)
#
# The installer puts the program into Program Files (it asks for
# administrator rights), adds a Start-menu entry and an uninstaller that
# Windows lists among installed apps. The Start-menu entry starts Vostrel in
# the user's own profile folder (%USERPROFILE%), where Vostrel.ini can be
# written; Program Files cannot be written by a normal user.
#
# Only the component "program" is packed: the window program, the converter
# and the collection of historical temperaments (cmake/Convert.cmake).
install(TARGETS vostrel RUNTIME DESTINATION . COMPONENT program)
if(VOSTREL_PAGE_FILE)
  install(FILES ${VOSTREL_PAGE_FILE} DESTINATION . COMPONENT program)
endif()
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/README.md DESTINATION . RENAME README.txt
        COMPONENT program)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt
        COMPONENT program)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};Vostrel;program;/")

set(CPACK_PACKAGE_NAME Vostrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Vostrel developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_FILE_NAME vostrel-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Vostrel)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Vostrel)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR ZIP NSIS)

# A 64-bit installer (CPack's default is 32-bit) into the 64-bit Program Files.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME "Vostrel ${PROJECT_VERSION}")
set(CPACK_NSIS_DISPLAY_NAME "Vostrel ${PROJECT_VERSION}")
set(CPACK_NSIS_MUI_ICON ${CMAKE_CURRENT_SOURCE_DIR}/data/windows/vostrel.ico)
set(CPACK_NSIS_MUI_UNIICON ${CMAKE_CURRENT_SOURCE_DIR}/data/windows/vostrel.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME vostrel.exe)
set(CPACK_NSIS_MODIFY_PATH OFF)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# The Start-menu entry: a shortcut takes the output folder ($OUTDIR) as its
# working folder, here the user's profile, expanded when it is started.
# (NSIS's single quotes: CPack does not pass double quotes on whole; the
# backslashes are doubled for CPack's reading of its configuration.)
set(CPACK_NSIS_CREATE_ICONS_EXTRA [[
  StrCpy $OUTDIR '%USERPROFILE%'
  CreateShortCut '$SMPROGRAMS\\$STARTMENU_FOLDER\\Vostrel.lnk' '$INSTDIR\\vostrel.exe' '' '$INSTDIR\\vostrel.exe' 0
  SetOutPath '$INSTDIR'
]])
set(CPACK_NSIS_DELETE_ICONS_EXTRA [[
  Delete '$SMPROGRAMS\\$MUI_TEMP\\Vostrel.lnk'
]])

include(CPack)
