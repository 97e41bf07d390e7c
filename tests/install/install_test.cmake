# Checks an installed Velmora: the installed velmora runs, and a consumer project builds and runs
# against it, found with find_package and with pkg-config.
# - The install tree (BUILD_DIR given): the build is installed into a fresh prefix and the tree
#   moved elsewhere first; its files are listed, and a template put in place of one is read.
# - An installed package (PROGRAM given, the installed velmora): VELMORA_DIR and PC_DIR name
#   its CMake package and pkg-config folders, or are empty where the system's search finds them.
# Inputs: CONSUMER_DIR, WORK_DIR, PROFILE, GENERATOR, CXX, FLAGS; for a Windows Velmora also
# TOOLCHAIN (the consumer is cross-built with it) and EMULATOR (Wine, which runs the programs).

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "failed (${status}): ${ARGN}\n${out}\n${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

# Runs an installed program, under the emulator when there is one; a Windows program's text
# output has its line breaks as "\r\n", which are compared as "\n".
function(run_installed)
  run(${EMULATOR} ${ARGN})
  string(REPLACE "\r\n" "\n" out "${out}")
  set(out "${out}" PARENT_SCOPE)
endfunction()

if(TOOLCHAIN)
  # Windows keeps a program's DLLs beside it and links against their import libraries.
  set(exe .exe)
  set(libraries bin/VelmoraU.dll bin/Harnel.dll lib/libVelmoraU.dll.a lib/libHarnel.dll.a)
  set(consumer_options -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN})
else()
  set(exe "")
  set(libraries lib/libVelmoraU.so lib/libHarnel.so share/man/man1/velmora.1)
  set(consumer_options -DCMAKE_CXX_COMPILER=${CXX})
endif()

file(REMOVE_RECURSE ${WORK_DIR})
if(BUILD_DIR)
  run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/first)
  file(RENAME ${WORK_DIR}/first ${WORK_DIR}/moved)
  set(tree ${WORK_DIR}/moved)
  set(PROGRAM ${tree}/bin/velmora${exe})
  set(VELMORA_DIR ${tree}/lib/cmake/Velmora)
  set(PC_DIR ${tree}/lib/pkgconfig)

  foreach(file bin/velmora${exe} ${libraries} include/velmora/dll/velmora.h
          include/velmora/dll/export.h include/velmora/base/text.h
          include/velmora/provider/records.h include/velmora/provider/provider.h
          lib/cmake/Velmora/VelmoraConfig.cmake lib/cmake/Velmora/VelmoraConfigVersion.cmake
          lib/cmake/Velmora/VelmoraTargets.cmake lib/pkgconfig/velmora.pc
          bin/hardinfo/list.xml bin/hardinfo/os.xml bin/hardinfo/bios.xml bin/hardinfo/storage.xml
          bin/hardinfo/video.xml bin/hardinfo/network.xml bin/hardinfo/control.xml
          bin/hardinfo/other.xml)
    if(NOT EXISTS ${tree}/${file})
      message(FATAL_ERROR "missing from the install tree: ${file}")
    endif()
  endforeach()
endif()

run_installed(${PROGRAM} --profile ${PROFILE} pairs storage)
string(REGEX MATCHALL "\n" lines "${out}")
list(LENGTH lines count)
if(NOT count EQUAL 18)
  message(FATAL_ERROR "installed velmora printed ${count} storage pairs, not 18:\n${out}")
endif()

# The installed velmora reads the templates installed beside it, and a user's own template
# put in their place is what it fills.
run_installed(${PROGRAM} --profile ${PROFILE} xml 5003)
if(NOT out MATCHES "<category id=\"500302\"")
  message(FATAL_ERROR "installed velmora xml 5003 did not fill the storage template:\n${out}")
endif()
if(BUILD_DIR)
  file(WRITE ${tree}/bin/hardinfo/control.xml "<own><category id=\"9\" mine=\"yes\"/></own>")
  run_installed(${PROGRAM} --profile ${PROFILE} xml 5006)
  if(NOT out STREQUAL "<own><category id=\"9\" mine=\"yes\"/></own>")
    message(FATAL_ERROR "installed velmora did not read the replaced template:\n${out}")
  endif()
endif()

# The package directory is named outright where it is not the system's: a cross toolchain looks
# for packages only inside its own system root, not along CMAKE_PREFIX_PATH.
if(FLAGS)
  # Only when given: an empty value would also clear the toolchain's own link flags.
  list(APPEND consumer_options "-DCMAKE_CXX_FLAGS=${FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${FLAGS}")
endif()
if(VELMORA_DIR)
  list(APPEND consumer_options -DVelmora_DIR=${VELMORA_DIR})
endif()
run(${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${WORK_DIR}/consumer -G ${GENERATOR} ${consumer_options})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/consumer)
# The same program built with the flags pkg-config gives, as another build system would.
if(PC_DIR)
  set(ENV{PKG_CONFIG_PATH} ${PC_DIR})
endif()
run(pkg-config --cflags --libs velmora)
separate_arguments(pc_flags UNIX_COMMAND "${out}")
run(pkg-config --variable=libdir velmora)
string(STRIP "${out}" libdir)
if(TOOLCHAIN)
  # The runtime linked in, as the toolchain file links it, and our DLLs through their import
  # libraries.
  set(pc_flags -static -Wl,-Bdynamic ${pc_flags} -Wl,-Bstatic)
else()
  list(APPEND pc_flags -Wl,-rpath,${libdir})
endif()
run(${CXX} -std=c++20 ${FLAGS} ${CONSUMER_DIR}/main.cpp ${pc_flags}
    -o ${WORK_DIR}/consumer/pkg_config_consumer${exe})

if(TOOLCHAIN)
  # Where a Windows host would put them: the libraries beside the program.
  get_filename_component(program_dir ${PROGRAM} DIRECTORY)
  file(COPY ${program_dir}/VelmoraU.dll ${program_dir}/Harnel.dll DESTINATION ${WORK_DIR}/consumer)
endif()
foreach(consumer consumer pkg_config_consumer)
  set(ENV{HARNEL_PROFILE} ${PROFILE})
  run_installed(${WORK_DIR}/consumer/${consumer}${exe})
  unset(ENV{HARNEL_PROFILE})
  if(NOT out STREQUAL "GetStorageListPair 0 18\nGetOS record\n")
    message(FATAL_ERROR "unexpected output of the ${consumer}:\n${out}")
  endif()
endforeach()
