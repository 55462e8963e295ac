# The Windows zip: both programs at its top, this README, how the programs
# behave on Windows, and the documents' format reference as one HTML page
# (printed by the Windows scenario-tool itself under Wine: packaging.cmake).
# Nothing else is needed beside the programs.
install(TARGETS scenario-gen scenario-tool RUNTIME DESTINATION .)
install(FILES README.md docs/windows.md DESTINATION .)
install(FILES ${reference_html} DESTINATION .)

set(CPACK_PACKAGE_NAME scenario)
set(CPACK_PACKAGE_VERSION 1.0.0)
set(CPACK_SYSTEM_NAME win64)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "the scenario package generator and scenario-tool for Windows")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR ZIP)
include(CPack)
