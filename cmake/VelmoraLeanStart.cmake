# How the shipped programs are linked so that a run starts quickly. A whole `velmora` run lasts
# a few milliseconds, and on small virtual machines each page it first touches costs tens of
# microseconds: loading the shared C++ runtime (libstdc++, libgcc_s, libm) and relocating it
# costs more pages than most requests do in all.
#
# - The C++ runtime is linked into each of the three objects (the host, the inventory library
#   and the provider), and none of it is exported: each object keeps its own copy, bound
#   locally. The provider's interface is C; the inventory library's exports take standard
#   containers, which both sides allocate and free through the C library's malloc and free.
# - Unused sections of our code and of the runtime are dropped, so that fewer pages of
#   relocated data are written at every start; relative relocations are packed.
#
# Sanitizer builds keep the shared runtime: the sanitizers replace operator new and delete
# process-wide, which a private copy of the runtime would bypass. Windows builds are left as
# they are.
if(WIN32 OR VELMORA_SANITIZE OR VELMORA_FUZZ)
  set(velmora_lean_start_default OFF)
else()
  set(velmora_lean_start_default ON)
endif()
option(VELMORA_LEAN_START "Link the C++ runtime into the shipped objects and drop unused sections"
       ${velmora_lean_start_default})

if(VELMORA_LEAN_START)
  add_compile_options(-ffunction-sections -fdata-sections)
endif()

# velmora_lean_start(target...): the link options above, for the shipped objects.
function(velmora_lean_start)
  if(NOT VELMORA_LEAN_START)
    return()
  endif()
  foreach(target IN LISTS ARGN)
    target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc
                        LINKER:--exclude-libs,ALL LINKER:--gc-sections LINKER:-O1
                        LINKER:-z,pack-relative-relocs)
  endforeach()
endfunction()
