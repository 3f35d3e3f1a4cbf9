# Release packages: one archive per platform, unpacked straight into the
# game's System folder, so the archive has no top-level folder of its own.
#   Windows: vn3patch-<version>-windows-x64.zip
#   Linux:   vn3patch-<version>-linux-x86_64.tar.gz
# Made with `cpack` in a build folder; tools/package.sh makes both.
foreach(tool vn3patch vn3patch-tool)
  if(TARGET ${tool})
    install(TARGETS ${tool} RUNTIME DESTINATION .)
  endif()
endforeach()
install(FILES README.md LICENSE DESTINATION .)
# The folder where the player puts the stock data files; it ships with only
# its README.
install(FILES packaging/payload-README.txt DESTINATION payload RENAME README.txt)

set(CPACK_PACKAGE_NAME vn3patch)
set(CPACK_PACKAGE_VENDOR "vn3patch")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Vantor3 v1.0 visual-effects patcher")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME windows-x64)
else()
  set(CPACK_GENERATOR TGZ)
  set(CPACK_SYSTEM_NAME linux-${CMAKE_SYSTEM_PROCESSOR})
endif()
include(CPack)
