# Runs othello_probe on INPUT and checks that it prints exactly EXPECTED and reports the bad lines
# through its exit status. Usage: cmake -DPROBE=... -DINPUT=... -DEXPECTED=... -P CompareProbe.cmake
execute_process(COMMAND ${PROBE} INPUT_FILE ${INPUT} OUTPUT_VARIABLE actual ERROR_VARIABLE errors
                RESULT_VARIABLE status)
file(READ ${EXPECTED} expected)
if(NOT actual STREQUAL expected)
  message(FATAL_ERROR "othello_probe printed:\n${actual}\nexpected:\n${expected}\n${errors}")
endif()
if(NOT status EQUAL 1)
  message(FATAL_ERROR "othello_probe exited with '${status}', expected 1 for the bad lines")
endif()
