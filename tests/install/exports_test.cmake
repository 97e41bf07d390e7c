# The libraries export exactly their interface: the fourteen pair exports with PairList in
# their decorated names and GetDeviceXMLBuffer with the wide string in its, the provider's thirty unmangled functions, and the inventory
# library names the provider among what it needs. Every export has the version of the ABI
# generation as its default version, and the version is defined.
# Inputs: NM, READELF, VELMORA_LIB, HARNEL_LIB, GENERATION.

# defined_symbols(lib version var): the symbols defined with that version, without it.
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
  list(LENGTH lines before)
  list(FILTER lines INCLUDE REGEX "@@${version}$")
  list(TRANSFORM lines REPLACE "@@${version}$" "")
  list(LENGTH lines after)
  if(definition EQUAL -1 OR NOT before EQUAL after)
    message(FATAL_ERROR "${lib} does not define ${version} or exports without it:\n${out}")
  endif()
  set(${var} "${lines}" PARENT_SCOPE)
endfunction()

set(pair_exports GetOSPair GetBIOSPair GetProcessorPair GetMemoryPair GetUserinfoPair
    GetInputdeviceListPair GetModemListPair GetMonitorListPair GetNetworkadapterListPair
    GetPrinterListPair GetStorageListPair GetSystemcontrollerListPair GetSystemslotListPair
    GetVideoadapterListPair)
set(pair_list_type "std::vector<std::pair<std::__cxx11::basic_string<char16_t")

defined_symbols(${VELMORA_LIB} VELMORA_${GENERATION} symbols)
list(LENGTH symbols count)
if(NOT count EQUAL 15)
  message(FATAL_ERROR "libVelmoraU exports ${count} symbols, not 15:\n${symbols}")
endif()
list(FILTER symbols INCLUDE REGEX " T GetDeviceXMLBuffer\\(int, std::__cxx11::basic_string<char16_t")
if(NOT symbols)
  message(FATAL_ERROR "libVelmoraU does not export GetDeviceXMLBuffer(int, WString&)")
endif()
defined_symbols(${VELMORA_LIB} VELMORA_${GENERATION} symbols)
foreach(name IN LISTS pair_exports)
  set(found "")
  foreach(line IN LISTS symbols)
    string(FIND "${line}" " T ${name}(${pair_list_type}" at)
    if(at GREATER -1)
      set(found "${line}")
    endif()
  endforeach()
  if(found STREQUAL "")
    message(FATAL_ERROR "libVelmoraU does not export ${name}(PairList&)")
  endif()
endforeach()

defined_symbols(${HARNEL_LIB} HARNEL_${GENERATION} symbols)
list(LENGTH symbols count)
list(FILTER symbols INCLUDE REGEX " T (Get|Free)[A-Za-z]+$")
list(LENGTH symbols plain)
if(NOT count EQUAL 30 OR NOT plain EQUAL 30)
  message(FATAL_ERROR "libHarnel exports ${count} symbols, ${plain} unmangled Get/Free")
endif()

execute_process(COMMAND ${READELF} -d ${VELMORA_LIB} OUTPUT_VARIABLE dynamic)
if(NOT dynamic MATCHES "NEEDED[^\n]*\\[libHarnel\\.so")
  message(FATAL_ERROR "libVelmoraU does not name libHarnel among its needed libraries")
endif()
