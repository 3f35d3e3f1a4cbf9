# Release packages: one archive per platform, unpacked straight into the
# game's System folder, so the archive has no top-level folder of its own.
#   Windows: vn3patch-<version>-windows-x64.zip
#   Linux:   vn3patch-<version>-linux-x86_64.tar.gz
# What goes in is what `cmake --install` puts in its prefix; tools/package.sh
# installs both release builds and makes the archives, named as the file
# package-name in the build folder says.
if(WIN32)
  set(VN3_PACKAGE_SYSTEM windows-x64)
else()
  set(VN3_PACKAGE_SYSTEM linux-${CMAKE_SYSTEM_PROCESSOR})
endif()
file(WRITE ${PROJECT_BINARY_DIR}/package-name "vn3patch-${PROJECT_VERSION}-${VN3_PACKAGE_SYSTEM}\n")

foreach(tool vn3patch vn3patch-extract)
  if(TARGET ${tool})
    install(TARGETS ${tool} RUNTIME DESTINATION .)
  endif()
endforeach()
install(FILES README.md LICENSE DESTINATION .)
# The folder where the player puts the stock data files; it ships with only
# its README.
install(FILES packaging/payload-README.txt DESTINATION payload RENAME README.txt)
