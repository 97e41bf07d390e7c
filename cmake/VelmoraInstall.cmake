# Where the shipped pieces are installed. One function lays them out; each layout is one call:
#
# - The install tree, what `cmake --install` gives: bin/velmora with its templates in
#   bin/hardinfo, lib/ with both libraries (RPATH $ORIGIN/../lib, so the tree works wherever it
#   is copied), include/velmora/ with the public headers, the CMake package and pkg-config file
#   under lib/, the manual page under share/man/man1 and the example profile under
#   share/doc/velmora/examples (examples\ on Windows).
# - The packages' layouts (cmake/VelmoraPackages.cmake), installed only when their components
#   are asked for by name, so that a plain install still gives the tree.
include(CMakePackageConfigHelpers)

set_target_properties(velmora_headers PROPERTIES EXPORT_NAME headers)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/VelmoraConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)

# velmora_install_layout(NAME name PROGRAM_DIR dir LIBRARY_DIR dir [TEMPLATE_DIR dir]
#                        [MAN_DIR dir] [EXAMPLE_DIR dir] [DOC_FILES file...]
#                        [RUNTIME_COMPONENT component DEV_COMPONENT component]
#                        [SYSTEM_LOADER] [COMPRESS])
#   PROGRAM_DIR   velmora, and on Windows the DLLs beside it
#   LIBRARY_DIR   the shared libraries off Windows, the import libraries, the CMake package and
#                 the pkg-config file
#   TEMPLATE_DIR  the templates (PROGRAM_DIR/hardinfo when not given; elsewhere, that becomes a
#                 link to it)
#   MAN_DIR       the manual page's section folder (none on Windows)
#   EXAMPLE_DIR   the example machine profile, which any machine can replay
#   DOC_FILES     copied into share/doc/<package>/ of each component (named by the component's
#                 package: RUNTIME_PACKAGE and DEV_PACKAGE)
#   SYSTEM_LOADER the libraries lie where the system's loader looks: no RUNPATH
#   COMPRESS      the manual page and the DOC_FILES named changelog are installed gzipped
# Without components, everything belongs to the default install.
function(velmora_install_layout)
  cmake_parse_arguments(PARSE_ARGV 0 arg "SYSTEM_LOADER;COMPRESS"
                        "NAME;PROGRAM_DIR;LIBRARY_DIR;TEMPLATE_DIR;MAN_DIR;EXAMPLE_DIR;RUNTIME_COMPONENT;DEV_COMPONENT;RUNTIME_PACKAGE;DEV_PACKAGE"
                        "DOC_FILES")
  set(runtime "")
  set(dev "")
  set(namelink "")
  set(export_set VelmoraTargets)
  # Each layout's targets file has a name of its own: CMake generates the files of an export
  # in a folder named after the destination, which two layouts may share.
  set(VELMORA_TARGETS_FILE VelmoraTargets.cmake)
  if(arg_RUNTIME_COMPONENT)
    set(runtime COMPONENT ${arg_RUNTIME_COMPONENT} EXCLUDE_FROM_ALL)
    set(dev COMPONENT ${arg_DEV_COMPONENT} EXCLUDE_FROM_ALL)
    set(namelink NAMELINK_COMPONENT ${arg_DEV_COMPONENT})
    set(export_set VelmoraTargets_${arg_NAME})
    set(VELMORA_TARGETS_FILE VelmoraTargets-${arg_NAME}.cmake)
  endif()
  if(NOT arg_TEMPLATE_DIR)
    set(arg_TEMPLATE_DIR ${arg_PROGRAM_DIR}/hardinfo)
  endif()
  set(staging ${PROJECT_BINARY_DIR}/layouts/${arg_NAME})
  set(cmake_dir ${arg_LIBRARY_DIR}/cmake/Velmora)

  install(TARGETS VelmoraU Harnel velmora_headers EXPORT ${export_set}
          RUNTIME DESTINATION ${arg_PROGRAM_DIR} ${runtime}
          LIBRARY DESTINATION ${arg_LIBRARY_DIR} ${runtime} ${namelink}
          ARCHIVE DESTINATION ${arg_LIBRARY_DIR} ${dev})
  install(TARGETS velmora RUNTIME DESTINATION ${arg_PROGRAM_DIR} ${runtime})
  install(FILES ${velmora_template_sources} DESTINATION ${arg_TEMPLATE_DIR} ${runtime})
  if(NOT arg_TEMPLATE_DIR STREQUAL "${arg_PROGRAM_DIR}/hardinfo")
    velmora_install_link(${arg_TEMPLATE_DIR} ${arg_PROGRAM_DIR}/hardinfo "${runtime}")
  endif()
  if(arg_SYSTEM_LOADER)
    foreach(file ${arg_PROGRAM_DIR}/$<TARGET_FILE_NAME:velmora>
                 ${arg_LIBRARY_DIR}/$<TARGET_SONAME_FILE_NAME:VelmoraU>)
      install(CODE "file(RPATH_REMOVE FILE \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${file}\")"
              ${runtime})
    endforeach()
  endif()
  if(arg_EXAMPLE_DIR)
    install(FILES ${PROJECT_SOURCE_DIR}/examples/workstation.json DESTINATION ${arg_EXAMPLE_DIR}
            ${runtime})
  endif()
  if(arg_MAN_DIR)
    velmora_install_document(${PROJECT_SOURCE_DIR}/docs/velmora.1 ${arg_MAN_DIR} ${arg_COMPRESS}
                             "${runtime}")
  endif()
  foreach(package_component IN ITEMS RUNTIME DEV)
    foreach(file IN LISTS arg_DOC_FILES)
      get_filename_component(name ${file} NAME)
      set(compress FALSE)
      if(name STREQUAL "changelog")
        set(compress ${arg_COMPRESS})
      endif()
      set(component ${runtime})
      if(package_component STREQUAL "DEV")
        set(component ${dev})
      endif()
      velmora_install_document(${file} share/doc/${arg_${package_component}_PACKAGE} ${compress}
                               "${component}")
    endforeach()
  endforeach()

  set(include_dir ${CMAKE_INSTALL_INCLUDEDIR}/velmora)
  install(FILES dll/velmora.h dll/export.h DESTINATION ${include_dir}/dll ${dev})
  install(FILES base/text.h DESTINATION ${include_dir}/base ${dev})
  install(FILES provider/records.h provider/provider.h DESTINATION ${include_dir}/provider ${dev})

  install(EXPORT ${export_set} NAMESPACE Velmora:: FILE ${VELMORA_TARGETS_FILE}
          DESTINATION ${cmake_dir} ${dev})
  configure_package_config_file(cmake/VelmoraConfig.cmake.in ${staging}/VelmoraConfig.cmake
                                INSTALL_DESTINATION ${cmake_dir})
  install(FILES ${staging}/VelmoraConfig.cmake ${PROJECT_BINARY_DIR}/VelmoraConfigVersion.cmake
          DESTINATION ${cmake_dir} ${dev})

  # The pkg-config file finds the prefix from its own folder, so the tree can be moved.
  file(RELATIVE_PATH VELMORA_PC_PREFIX /prefix/${arg_LIBRARY_DIR}/pkgconfig /prefix)
  set(VELMORA_PC_LIBDIR ${arg_LIBRARY_DIR})
  configure_file(cmake/velmora.pc.in ${staging}/velmora.pc @ONLY)
  install(FILES ${staging}/velmora.pc DESTINATION ${arg_LIBRARY_DIR}/pkgconfig ${dev})
endfunction()

# velmora_install_link(target link component_args): a relative symbolic link, so that the
# installed tree stays right under any prefix and inside any root it is unpacked into.
function(velmora_install_link target link component_args)
  get_filename_component(link_dir ${link} DIRECTORY)
  file(RELATIVE_PATH relative /prefix/${link_dir} /prefix/${target})
  install(CODE "set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${link}\")
    get_filename_component(link_dir \"\${link}\" DIRECTORY)
    file(MAKE_DIRECTORY \"\${link_dir}\")
    message(STATUS \"Installing: \${link} -> ${relative}\")
    file(CREATE_LINK \"${relative}\" \"\${link}\" SYMBOLIC)" ${component_args})
endfunction()

# velmora_install_document(file destination compress component_args): copied as it is, or
# gzipped the way Debian wants it (best compression, no name or time stamp in the header).
function(velmora_install_document file destination compress component_args)
  if(NOT compress)
    install(FILES ${file} DESTINATION ${destination} ${component_args})
    return()
  endif()
  find_program(VELMORA_GZIP gzip REQUIRED)
  get_filename_component(name ${file} NAME)
  install(CODE "set(target \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${destination}/${name}.gz\")
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${destination}\")
    message(STATUS \"Installing: \${target}\")
    execute_process(COMMAND \"${VELMORA_GZIP}\" -9n -c \"${file}\" OUTPUT_FILE \"\${target}\"
                    COMMAND_ERROR_IS_FATAL ANY)
    file(CHMOD \"\${target}\" FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)"
    ${component_args})
endfunction()

set(velmora_man_dir "")
set(velmora_example_dir examples)
if(NOT WIN32)
  set(velmora_man_dir ${CMAKE_INSTALL_MANDIR}/man1)
  set(velmora_example_dir ${CMAKE_INSTALL_DATAROOTDIR}/doc/velmora/examples)
endif()
velmora_install_layout(NAME tree PROGRAM_DIR ${CMAKE_INSTALL_BINDIR}
                       LIBRARY_DIR ${CMAKE_INSTALL_LIBDIR} MAN_DIR ${velmora_man_dir}
                       EXAMPLE_DIR ${velmora_example_dir})
