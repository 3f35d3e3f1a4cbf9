# Release packages: one archive per platform, unpacked straight into the
# game's System folder, so the archive has no top-level folder of its own.
#   Windows: vn3patch-<version>-windows-x64.zip
#   Linux:   vn3patch-<version>-linux-x86_64.tar.gz
# What goes in is what `cmake --install` puts in its prefix; tools/package.sh
# installs both release builds and makes the archives, named as the file
# package-name in the build folder says.
if(WIN32)
  set(VN3_PACKAGE_SYSTEM windows-x64)
  set(VN3_NOTICES packaging/notices-windows.txt.in)
  # The texts a player opens get Windows line ends, for Notepad.
  set(VN3_NEWLINES CRLF)
else()
  set(VN3_PACKAGE_SYSTEM linux-${CMAKE_SYSTEM_PROCESSOR})
  set(VN3_NOTICES packaging/notices-linux.txt.in)
  set(VN3_NEWLINES UNIX)
endif()
file(WRITE ${PROJECT_BINARY_DIR}/package-name "vn3patch-${PROJECT_VERSION}-${VN3_PACKAGE_SYSTEM}\n")

# The Debian source package and version that the static library LIBRARY
# (libc.a, say) comes from, for the third-party notices.
function(vn3_debian_source variable library)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${library}
    OUTPUT_VARIABLE file OUTPUT_STRIP_TRAILING_WHITESPACE)
  get_filename_component(file "${file}" REALPATH)
  execute_process(COMMAND dpkg -S ${file} OUTPUT_VARIABLE owner ERROR_QUIET)
  string(REGEX MATCH "^[^:]+" package "${owner}")
  set(source "")
  if(package)
    execute_process(COMMAND dpkg-query -W "-f=\${source:Package} \${source:Version}" ${package}
      OUTPUT_VARIABLE source ERROR_QUIET)
  endif()
  if(NOT source)
    set(source "(not recorded: ${library} is not from a Debian package on the build machine)")
  endif()
  set(${variable} "${source}" PARENT_SCOPE)
endfunction()
vn3_debian_source(VN3_SOURCE_gcc libstdc++.a)
if(WIN32)
  vn3_debian_source(VN3_SOURCE_mingw libmingwex.a)
else()
  vn3_debian_source(VN3_SOURCE_glibc libc.a)
  vn3_debian_source(VN3_SOURCE_nettle libnettle.a)
  # Nettle is used under the LGPL 3, which asks for its text and the GPL 3's
  # beside the program: Debian's own copies, the same on every build machine.
  file(READ /usr/share/common-licenses/LGPL-3 VN3_LGPL3_TEXT)
  file(READ /usr/share/common-licenses/GPL-3 VN3_GPL3_TEXT)
endif()

set(VN3_PACKAGE_TEXT ${PROJECT_BINARY_DIR}/package-text)
configure_file(docs/player-README.txt ${VN3_PACKAGE_TEXT}/README.txt
  @ONLY NEWLINE_STYLE ${VN3_NEWLINES})
configure_file(docs/TROUBLESHOOTING.txt ${VN3_PACKAGE_TEXT}/TROUBLESHOOTING.txt
  @ONLY NEWLINE_STYLE ${VN3_NEWLINES})
configure_file(${VN3_NOTICES} ${VN3_PACKAGE_TEXT}/THIRD-PARTY-NOTICES.txt
  @ONLY NEWLINE_STYLE ${VN3_NEWLINES})
configure_file(packaging/payload-README.txt ${VN3_PACKAGE_TEXT}/payload/README.txt
  @ONLY NEWLINE_STYLE ${VN3_NEWLINES})

foreach(tool vn3patch vn3patch-tool)
  if(TARGET ${tool})
    install(TARGETS ${tool} RUNTIME DESTINATION .)
  endif()
endforeach()
install(FILES ${VN3_PACKAGE_TEXT}/README.txt ${VN3_PACKAGE_TEXT}/TROUBLESHOOTING.txt
  ${VN3_PACKAGE_TEXT}/THIRD-PARTY-NOTICES.txt LICENSE DESTINATION .)
# The folder where the player puts the stock data files; it ships with only
# its README.
install(FILES ${VN3_PACKAGE_TEXT}/payload/README.txt DESTINATION payload)
