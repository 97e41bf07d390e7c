# Checks the DLLs' export and import tables with objdump -p: the provider exports its thirty
# functions and the three added in 1.1 by their plain names, the inventory library its fifteen
# by decorated names and the two added in 1.1 by plain ones, and
# the inventory library imports the provider by name, and the provider imports nothing of COM
# or of the management service.
# Variables: OBJDUMP, VELMORA_DLL, HARNEL_DLL.
# expect_exports(dll var count pattern what): `dll` exports `count` names, each matching
# `pattern` (else it fails, saying `what` the name is not); its objdump goes into `var`_dump.
function(expect_exports dll var count pattern what)
  execute_process(COMMAND ${OBJDUMP} -p ${dll} OUTPUT_VARIABLE dump COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n([^\n]+\n)+" table "${dump}")
  # Brackets would upset CMake's lists, so the "[   n] " columns go before splitting.
  string(REGEX REPLACE "[^\n]*Table\n" "" table "${table}")
  string(REGEX REPLACE "[ \t]*\\[ *[0-9]+\\] ([^\n]+)\n" "\\1;" names "${table}")
  list(REMOVE_ITEM names "")
  list(LENGTH names found)
  get_filename_component(file ${dll} NAME)
  if(NOT found EQUAL count)
    message(FATAL_ERROR "${file} exports ${found} names, not ${count}: ${names}")
  endif()
  foreach(name IN LISTS names)
    if(NOT name MATCHES "${pattern}")
      message(FATAL_ERROR "${file} exports ${name}, ${what}")
    endif()
  endforeach()
  set(${var}_dump "${dump}" PARENT_SCOPE)
endfunction()

expect_exports(${HARNEL_DLL} harnel 33 "^(Get|Free|Harnel)[A-Za-z]+$"
               "which is not a plain provider name")
expect_exports(${VELMORA_DLL} velmora 17 "^(_Z[0-9]+Get[A-Za-z]+(PairRSt6vectorISt4pairINSt7__cxx1112basic_stringIw|XMLBufferiRNSt7__cxx1112basic_stringIw)|Velmora(CheckTemplate|FreeText)$)"
               "not a decorated export over wchar_t text")
if(NOT velmora_dump MATCHES "DLL Name: Harnel.dll")
  message(FATAL_ERROR "VelmoraU.dll does not import Harnel.dll by name")
endif()
if(harnel_dump MATCHES "DLL Name: ([Oo][Ll][Ee]32|[Oo][Ll][Ee][Aa][Uu][Tt]32|[Cc][Oo][Mm][Bb][Aa][Ss][Ee]|[Ww][Bb][Ee][Mm][^.]*)\\.[Dd][Ll][Ll]")
  message(FATAL_ERROR "Harnel.dll imports ${CMAKE_MATCH_1}.dll")
endif()
