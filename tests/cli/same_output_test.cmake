# Runs `velmora xml CATEGORY --profile PROFILE` for every template with the Windows program
# (under EMULATOR) and with the native one, and fails unless the bytes are the same.
# Variables: EMULATOR, WINDOWS_EXE, NATIVE_EXE, PROFILE, WORK_DIR.
file(MAKE_DIRECTORY ${WORK_DIR})
foreach(category IN ITEMS 0 5001 5002 5003 5004 5005 5006 5007 -1)
  execute_process(COMMAND ${EMULATOR} ${WINDOWS_EXE} xml ${category} --profile ${PROFILE}
                  OUTPUT_FILE ${WORK_DIR}/windows-${category}.xml RESULT_VARIABLE windowsResult
                  ERROR_VARIABLE windowsError)
  execute_process(COMMAND ${NATIVE_EXE} xml ${category} --profile ${PROFILE}
                  OUTPUT_FILE ${WORK_DIR}/native-${category}.xml RESULT_VARIABLE nativeResult
                  ERROR_VARIABLE nativeError)
  if(NOT windowsResult EQUAL 0 OR NOT nativeResult EQUAL 0)
    # What each program said goes into the failure: a one-off failure under the emulator
    # cannot be run again to find out.
    message(FATAL_ERROR "xml ${category}: exit ${windowsResult} on Windows, ${nativeResult} "
                        "natively\nWindows said: ${windowsError}\nnatively: ${nativeError}")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK_DIR}/windows-${category}.xml
                          ${WORK_DIR}/native-${category}.xml RESULT_VARIABLE different)
  if(different)
    message(FATAL_ERROR "xml ${category}: the Windows program prints other bytes than the native one")
  endif()
endforeach()
