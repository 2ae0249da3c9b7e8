# Run by cpack after it has made the Debian package (CPACK_POST_BUILD_SCRIPTS). CPack counts each
# folder in Installed-Size by its size on the build machine's disk (4 KiB each on most), which
# overstates the package and varies between file systems. The field is set here as
# dpkg-gencontrol sets it, each file rounded up to whole KiB and 1 KiB for each folder or link,
# and dpkg-deb makes the package again, every time in it SOURCE_DATE_EPOCH (which cpack has set,
# see CPackProject.cmake.in).
find_program(DPKG_DEB dpkg-deb REQUIRED)
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
    if(NOT deb MATCHES "\\.deb$")
        continue()
    endif()
    set(tree "${CPACK_TOPLEVEL_DIRECTORY}/installed-size")
    file(REMOVE_RECURSE "${tree}")
    execute_process(COMMAND ${DPKG_DEB} --raw-extract "${deb}" "${tree}" COMMAND_ERROR_IS_FATAL ANY)
    file(GLOB_RECURSE entries LIST_DIRECTORIES true "${tree}/*")
    set(kib 0)
    foreach(entry IN LISTS entries)
        if(entry MATCHES "^${tree}/DEBIAN(/|$)")
            continue()
        endif()
        if(IS_SYMLINK "${entry}" OR IS_DIRECTORY "${entry}")
            math(EXPR kib "${kib} + 1")
        else()
            file(SIZE "${entry}" bytes)
            math(EXPR kib "${kib} + (${bytes} + 1023) / 1024")
        endif()
    endforeach()
    file(READ "${tree}/DEBIAN/control" control)
    string(REGEX REPLACE "\nInstalled-Size: [0-9]+\n" "\nInstalled-Size: ${kib}\n" control "${control}")
    file(WRITE "${tree}/DEBIAN/control" "${control}")
    # What the extraction and the edit made carries their time: all of it gets the package's.
    execute_process(COMMAND find "${tree}" -exec touch -h -d "@$ENV{SOURCE_DATE_EPOCH}" {} +
                    COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND ${DPKG_DEB} --root-owner-group -Zxz --build "${tree}" "${deb}"
                    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE_RECURSE "${tree}")
endforeach()
