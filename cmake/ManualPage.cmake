# Each program's manual page is made by help2man from the program's own
# --help, so the page cannot drift from what the program accepts. The version
# comes from CMake (the programs need no --version for it) and there is no
# Texinfo manual to point at. A build machine without help2man still builds the
# programs; it installs no manual pages, which the package's check reports.
include_guard(GLOBAL)
find_program(VANTREL_HELP2MAN help2man)
if(NOT VANTREL_HELP2MAN)
  message(STATUS "help2man not found: the manual pages will not be built")
endif()

# The page is share/man/man1/<target>.1.gz; `summary` is its NAME line.
function(vantrel_add_manual_page target summary)
  if(NOT VANTREL_HELP2MAN)
    return()
  endif()
  set(page ${CMAKE_CURRENT_BINARY_DIR}/${target}.1)
  # help2man makes the SYNOPSIS from GNU-style usage lines ("Usage:", then
  # "  or:" for each other form); the programs write "usage:" and align the
  # other forms under the first. A stand-in named like the program hands on
  # its output in GNU style, so help2man still names the page after it. The
  # window's program reads its arguments before it opens a window, but the
  # offscreen platform keeps the page buildable without a display anyway.
  set(standin ${CMAKE_CURRENT_BINARY_DIR}/help2man/${target})
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/ManualStandin.sh.in ${standin}.in @ONLY)
  file(GENERATE OUTPUT ${standin} INPUT ${standin}.in
       FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                        WORLD_READ WORLD_EXECUTE)
  add_custom_command(
    OUTPUT ${page}.gz
    COMMAND ${VANTREL_HELP2MAN} --no-info --version-string=${PROJECT_VERSION}
            --name=${summary} --section=1 --output=${page} ${standin}
    COMMAND gzip -9nf ${page}
    DEPENDS ${target} ${standin}
    COMMENT "Writing the manual page for ${target}"
    VERBATIM)
  add_custom_target(${target}-manual ALL DEPENDS ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
