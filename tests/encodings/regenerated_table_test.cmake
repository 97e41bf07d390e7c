# Runs the alias table's generator on a copy of itself in WORK and fails unless it writes
# exactly the table files that SOURCE holds: the table is never edited by hand.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(COPY "${SOURCE}/gen_encoding_alias_table.py" DESTINATION "${WORK}")
execute_process(COMMAND "${PYTHON}" "${WORK}/gen_encoding_alias_table.py" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the generator failed: ${result}")
endif()
foreach(file encoding_alias_table.h encoding_alias_table.cpp)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/${file}" "${SOURCE}/${file}"
                  RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "${file} is not what the generator makes of its list")
  endif()
endforeach()
