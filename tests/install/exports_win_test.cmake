# Checks the DLLs' export and import tables with objdump -p: the provider exports its thirty
# functions and the three added in 1.1 by their plain names, the inventory library its fifteen
# by decorated names and the two added in 1.1 by plain ones, and
# the inventory library imports the provider by name, and the provider imports nothing of COM
# or of the management service.
# Variables: OBJDUMP, VELMORA_DLL, HARNEL_DLL.
function(exported_names dll out)
  execute_process(COMMAND ${OBJDUMP} -p ${dll} OUTPUT_VARIABLE dump COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n([^\n]+\n)+" table "${dump}")
  # Brackets would upset CMake's lists, so the "[   n] " columns go before splitting.
  string(REGEX REPLACE "[^\n]*Table\n" "" table "${table}")
  string(REGEX REPLACE "[ \t]*\\[ *[0-9]+\\] ([^\n]+)\n" "\\1;" entries "${table}")
  list(REMOVE_ITEM entries "")
  set(${out} ${entries} PARENT_SCOPE)
  set(${out}_dump "${dump}" PARENT_SCOPE)
endfunction()

exported_names(${HARNEL_DLL} harnel)
list(LENGTH harnel count)
if(NOT count EQUAL 33)
  message(FATAL_ERROR "Harnel.dll exports ${count} names, not 33: ${harnel}")
endif()
foreach(name IN LISTS harnel)
  if(NOT name MATCHES "^(Get|Free|Harnel)[A-Za-z]+$")
    message(FATAL_ERROR "Harnel.dll exports ${name}, which is not a plain provider name")
  endif()
endforeach()

exported_names(${VELMORA_DLL} velmora)
list(LENGTH velmora count)
if(NOT count EQUAL 17)
  message(FATAL_ERROR "VelmoraU.dll exports ${count} names, not 17: ${velmora}")
endif()
foreach(name IN LISTS velmora)
  if(NOT name MATCHES "^(_Z[0-9]+Get[A-Za-z]+(PairRSt6vectorISt4pairINSt7__cxx1112basic_stringIw|XMLBufferiRNSt7__cxx1112basic_stringIw)|Velmora(CheckTemplate|FreeText)$)")
    message(FATAL_ERROR "VelmoraU.dll exports ${name}, not a decorated export over wchar_t text")
  endif()
endforeach()
if(NOT velmora_dump MATCHES "DLL Name: Harnel.dll")
  message(FATAL_ERROR "VelmoraU.dll does not import Harnel.dll by name")
endif()
if(harnel_dump MATCHES "DLL Name: ([Oo][Ll][Ee]32|[Oo][Ll][Ee][Aa][Uu][Tt]32|[Cc][Oo][Mm][Bb][Aa][Ss][Ee]|[Ww][Bb][Ee][Mm][^.]*)\\.[Dd][Ll][Ll]")
  message(FATAL_ERROR "Harnel.dll imports ${CMAKE_MATCH_1}.dll")
endif()
