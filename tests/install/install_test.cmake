# Installs the build into a fresh prefix, moves the tree elsewhere, then runs the installed
# velmora and builds and runs a consumer project against the moved tree.
# Inputs: BUILD_DIR, CONSUMER_DIR, WORK_DIR, PROFILE, GENERATOR, CXX, FLAGS.

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "failed (${status}): ${ARGN}\n${out}\n${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/first)
file(RENAME ${WORK_DIR}/first ${WORK_DIR}/moved)
set(tree ${WORK_DIR}/moved)

foreach(file bin/velmora lib/libVelmoraU.so lib/libHarnel.so include/velmora/dll/velmora.h
        include/velmora/dll/export.h include/velmora/provider/text.h
        include/velmora/provider/records.h include/velmora/provider/provider.h
        lib/cmake/Velmora/VelmoraConfig.cmake lib/cmake/Velmora/VelmoraConfigVersion.cmake
        lib/cmake/Velmora/VelmoraTargets.cmake lib/pkgconfig/velmora.pc)
  if(NOT EXISTS ${tree}/${file})
    message(FATAL_ERROR "missing from the install tree: ${file}")
  endif()
endforeach()

run(${tree}/bin/velmora --profile ${PROFILE} pairs storage)
string(REGEX MATCHALL "\n" lines "${out}")
list(LENGTH lines count)
if(NOT count EQUAL 18)
  message(FATAL_ERROR "installed velmora printed ${count} storage pairs, not 18:\n${out}")
endif()

run(${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${WORK_DIR}/consumer -G ${GENERATOR}
    -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_PREFIX_PATH=${tree} "-DCMAKE_CXX_FLAGS=${FLAGS}"
    "-DCMAKE_EXE_LINKER_FLAGS=${FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/consumer)
run(${CMAKE_COMMAND} -E env HARNEL_PROFILE=${PROFILE} ${WORK_DIR}/consumer/consumer)
if(NOT out STREQUAL "GetStorageListPair 0 18\nGetOS record\n")
  message(FATAL_ERROR "unexpected consumer output:\n${out}")
endif()

find_program(PKG_CONFIG pkg-config)
if(PKG_CONFIG)
  run(${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${tree}/lib/pkgconfig ${PKG_CONFIG} --cflags --libs
      velmora)
  if(NOT out MATCHES "-I.*/include/velmora" OR NOT out MATCHES "-lVelmoraU")
    message(FATAL_ERROR "unexpected pkg-config flags: ${out}")
  endif()
endif()
