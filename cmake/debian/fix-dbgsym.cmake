# Run by CPack after it built the packages. CPack 3.25 writes the -dbgsym
# package's md5sums with the paths of its staging folder and gives the package
# no documentation folder; rebuild it as debhelper lays one out: md5sums of the
# installed paths, and /usr/share/doc/<package>-dbgsym pointing to the
# documentation of the package it belongs to.
foreach(package_file IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package_file MATCHES "/${CPACK_PACKAGE_NAME}-dbgsym_[^/]+$")
    continue()
  endif()
  set(root ${CPACK_TOPLEVEL_DIRECTORY}/dbgsym-rebuild)
  file(REMOVE_RECURSE ${root})
  execute_process(COMMAND dpkg-deb -R ${package_file} ${root} COMMAND_ERROR_IS_FATAL ANY)
  file(GLOB_RECURSE files RELATIVE ${root} ${root}/usr/*)
  list(SORT files)
  set(sums "")
  foreach(file IN LISTS files)
    file(MD5 ${root}/${file} sum)
    string(APPEND sums "${sum}  ${file}\n")
  endforeach()
  file(WRITE ${root}/DEBIAN/md5sums "${sums}")
  file(MAKE_DIRECTORY ${root}/usr/share/doc)
  file(CREATE_LINK ${CPACK_PACKAGE_NAME} ${root}/usr/share/doc/${CPACK_PACKAGE_NAME}-dbgsym SYMBOLIC)
  execute_process(COMMAND dpkg-deb --root-owner-group -Z${CPACK_DEBIAN_COMPRESSION_TYPE} -b ${root} ${package_file}
    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE ${root})
endforeach()
