# Runs a program and writes what it prints to a file, for build steps that
# make documents with the programs just built (the format reference):
#   cmake -DPROGRAM=... "-DARGS=a b" -DOUTPUT=file [-DEMULATOR=...] -P write_output.cmake
separate_arguments(arguments UNIX_COMMAND "${ARGS}")
execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${arguments}
                OUTPUT_FILE ${OUTPUT}.new
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE ${OUTPUT}.new)
  message(FATAL_ERROR "${PROGRAM} ${ARGS} failed (${status})")
endif()
file(RENAME ${OUTPUT}.new ${OUTPUT})
