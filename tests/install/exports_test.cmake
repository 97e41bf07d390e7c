# In every build, each export of both libraries has the version of the ABI generation, or of a
# later minor version of it, as its default version, the provider exports only unmangled functions, and the inventory library
# names the provider among what it needs.
# Inputs: NM, READELF, VELMORA_LIB, HARNEL_LIB, GENERATION.

# defined_symbols(lib version var): the symbols defined with that version or its minor versions
# (version.N), without it.
function(defined_symbols lib version var)
  execute_process(COMMAND ${NM} -D -C --defined-only ${lib} OUTPUT_VARIABLE out
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${NM} failed on ${lib}")
  endif()
  string(REGEX REPLACE "\n$" "" out "${out}")
  string(REPLACE "\n" ";" lines "${out}")
  list(FIND lines "0000000000000000 A ${version}" definition)
  list(REMOVE_ITEM lines "0000000000000000 A ${version}")
  list(FILTER lines EXCLUDE REGEX "^0000000000000000 A ${version}\\.[0-9]+$")
  list(LENGTH lines before)
  list(FILTER lines INCLUDE REGEX "@@${version}(\\.[0-9]+)?$")
  list(TRANSFORM lines REPLACE "@@${version}(\\.[0-9]+)?$" "")
  list(LENGTH lines after)
  if(definition EQUAL -1 OR NOT before EQUAL after)
    message(FATAL_ERROR "${lib} does not define ${version} or exports without it:\n${out}")
  endif()
  set(${var} "${lines}" PARENT_SCOPE)
endfunction()

# Which functions, with which parameter types, is the ABI check's (abi/).
defined_symbols(${VELMORA_LIB} VELMORA_${GENERATION} velmora_symbols)
defined_symbols(${HARNEL_LIB} HARNEL_${GENERATION} symbols)
list(FILTER symbols EXCLUDE REGEX " T (Get|Free|Harnel)[A-Za-z]+$")
if(symbols)
  message(FATAL_ERROR "libHarnel exports more than unmangled functions of its own:\n${symbols}")
endif()

execute_process(COMMAND ${READELF} -d ${VELMORA_LIB} OUTPUT_VARIABLE dynamic)
if(NOT dynamic MATCHES "NEEDED[^\n]*\\[libHarnel\\.so")
  message(FATAL_ERROR "libVelmoraU does not name libHarnel among its needed libraries")
endif()
