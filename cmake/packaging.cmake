# What `cmake --install` puts where, and the Debian package CPack makes of it:
# scenario-tool in bin/, its manual page and the documents' format reference
# as manual pages, the reference as HTML, and bash completion. The generator
# is not installed: it writes its package next to itself, which an installed
# program must not do.

include(GNUInstallDirs)

# The format reference is printed by the tool itself from the compiler's
# table of records, so the manual never disagrees with the program.
set(reference_man ${CMAKE_BINARY_DIR}/scenario-documents.5)
set(reference_html ${CMAKE_BINARY_DIR}/scenario-documents.html)
# (Windows has no manual pages: only the page, made by one program under
# Wine, which on a fresh build makes Wine's prefix as well.)
set(reference_forms man html)
if(WIN32)
  set(reference_forms html)
endif()
foreach(form ${reference_forms})
  add_custom_command(
    OUTPUT ${reference_${form}}
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:scenario-tool> "-DARGS=help --${form}"
            -DOUTPUT=${reference_${form}} "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}"
            -P ${CMAKE_SOURCE_DIR}/cmake/write_output.cmake
    DEPENDS scenario-tool ${CMAKE_SOURCE_DIR}/cmake/write_output.cmake
    COMMENT "Writing the documents' format reference as ${form}"
    VERBATIM)
endforeach()
set(reference_files)
foreach(form ${reference_forms})
  list(APPEND reference_files ${reference_${form}})
endforeach()
add_custom_target(format_reference ALL DEPENDS ${reference_files})

# Windows has its own package: a zip of both programs (windows_package.cmake).
if(WIN32)
  include(cmake/windows_package.cmake)
  return()
endif()

install(TARGETS scenario-tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES docs/man/scenario-tool.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${reference_man} DESTINATION ${CMAKE_INSTALL_MANDIR}/man5)
install(FILES ${reference_html} DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES docs/completion/scenario-tool.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME scenario-tool)

set(CPACK_PACKAGE_NAME scenario-tool)
set(CPACK_PACKAGE_VERSION 1.0.0)
set(CPACK_PACKAGE_CONTACT "Scenario tools team <scenario-tools@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "check, compile, inspect and draw train-driving scenario packages")
set(CPACK_PACKAGE_DESCRIPTION
    "scenario-tool compiles a scenario's line description and train document into the package a train-driving simulator loads, reports every problem in them at once, serves editors as a language server and draws a package.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.34)")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
include(CPack)
