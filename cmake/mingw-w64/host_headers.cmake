# The header-only packages of the host, offered to the cross build without the rest of
# /usr/include (whose C library headers would shadow MinGW's): a folder that links to just
# their header folders.
function(velmora_host_header_target target folder)
  set(headers ${CMAKE_BINARY_DIR}/host-headers)
  if(NOT EXISTS ${headers}/${folder})
    file(MAKE_DIRECTORY ${headers})
    file(CREATE_LINK /usr/include/${folder} ${headers}/${folder} SYMBOLIC)
  endif()
  if(NOT TARGET ${target})
    add_library(${target} INTERFACE IMPORTED)
    set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${headers})
  endif()
endfunction()
