# velmora.exe and VelmoraU.dll as shipped, over a Harnel.dll built for this test whose
# allocations fail from the k-th on (failing_harnel.cpp): the std::bad_alloc thrown inside
# Harnel.dll must reach velmora.exe through VelmoraU.dll as an exception, which velmora reports
# as "velmora: std::bad_alloc" with exit status 1; an unwinding lost between the DLLs ends the
# process instead. k grows eightfold until the command succeeds, so that failures fall at
# several depths of the provider and of the library (each run starts Wine: a few seconds).
# Variables: EMULATOR, VELMORA_EXE, VELMORA_DLL, FAILING_HARNEL_DLL, TEMPLATES, WORK_DIR.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
# Windows loads a program's DLLs from its own folder first.
file(COPY ${VELMORA_EXE} ${VELMORA_DLL} ${FAILING_HARNEL_DLL} ${TEMPLATES} DESTINATION ${WORK_DIR})

# The machine's readers, through a pair export and through a template.
foreach(run IN ITEMS "pairs;os" "xml;5001")
  set(failed "")
  set(k 1)
  while(k LESS 100000)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env HARNEL_PROFILE= HARNEL_FAIL_ALLOCATION=${k}
                            ${EMULATOR} ${WORK_DIR}/velmora.exe ${run}
                    RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
    if(status EQUAL 0)
      break()
    endif()
    if(NOT status EQUAL 1 OR NOT errors MATCHES "^velmora: std::bad_alloc\n$")
      message(FATAL_ERROR "velmora ${run}, allocation ${k} on failing: exit ${status}\n${errors}")
    endif()
    list(APPEND failed ${k})
    math(EXPR k "${k} * 8")
  endwhile()
  if(NOT failed OR NOT status EQUAL 0)
    message(FATAL_ERROR "velmora ${run}: exit ${status} with allocation ${k} on failing")
  endif()
  message(STATUS "velmora ${run}: std::bad_alloc reached velmora.exe with allocation k on "
                 "failing, k = ${failed}; at k = ${k} it succeeded")
endforeach()
