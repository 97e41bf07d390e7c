# How the shipped programs are linked so that a run starts quickly. A whole `velmora` run lasts
# a few milliseconds, and on small virtual machines each page it first touches costs tens of
# microseconds: loading the shared C++ library (libstdc++ with libm) and binding its thousands
# of symbols costs more than most requests do in all.
#
# - The C++ library is linked into each of the three objects (the host, the inventory library
#   and the provider), and none of it is exported: each object keeps its own copy, bound
#   locally. The provider's interface is C. The inventory library's exports take standard
#   containers, which both sides allocate and free through the C library's malloc and free; a
#   host that replaces operator new and delete with an allocator of its own that is not malloc
#   must keep this off.
# - The unwinder (libgcc_s) stays shared: the standard library's exceptions pass through the
#   inventory library's exports to the host, and an exception crosses objects only when one
#   unwinder serves them all (with a private unwinder per object the host's catch is never
#   reached and the process ends). The two C++ libraries keep separate counts of exceptions in
#   flight, so after such an exception the host's std::uncaught_exceptions() is one too low.
# - Unused sections of our code and of the runtime are dropped, so that fewer pages of
#   relocated data are written at every start; relative relocations are packed.
# - A library named on the link line but not used is not loaded (--as-needed).
# - In the two libraries a call to one of their own exports is bound at link time
#   (-Bsymbolic-functions): their exports are C entry points under a version script, which no
#   host is meant to interpose. Data stays bound as usual, since a host's copy relocation of
#   exported data would otherwise leave two copies; the libraries export none today.
#
# Sanitizer builds keep the shared runtime: the sanitizers replace operator new and delete
# process-wide, which a private copy of the runtime would bypass. Windows builds are left as
# they are.
if(WIN32 OR VELMORA_SANITIZE OR VELMORA_SANITIZE_THREAD OR VELMORA_FUZZ)
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
    target_link_options(${target} PRIVATE -static-libstdc++
                        LINKER:--exclude-libs,ALL LINKER:--gc-sections LINKER:-O1
                        LINKER:-z,pack-relative-relocs LINKER:--as-needed)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "SHARED_LIBRARY")
      target_link_options(${target} PRIVATE LINKER:-Bsymbolic-functions)
    endif()
  endforeach()
endfunction()

# velmora_small_code(target...): the host's own code (its commands and the fleet documents) is
# compiled for size. A run executes most of it once if at all, so what it costs is the pages it
# touches, not the speed of its loops: compiled for size the program is a third smaller and a
# whole inventory takes about a dozen page faults fewer, for the same instructions. The
# libraries keep their optimisation: their parser and edits are hot paths.
function(velmora_small_code)
  if(NOT VELMORA_LEAN_START)
    return()
  endif()
  foreach(target IN LISTS ARGN)
    target_compile_options(${target} PRIVATE $<$<NOT:$<CONFIG:Debug>>:-Os>)
  endforeach()
endfunction()
