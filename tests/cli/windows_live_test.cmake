# velmora.exe without a profile, under Wine, against two witnesses: the management classes as
# `wmic` reports them from Wine's own tables (which Wine fills independently of the calls the
# provider makes), and the native velmora replaying what velmora.exe captured.
# Variables: EMULATOR, WINDOWS_EXE, NATIVE_EXE, WORK_DIR.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

# Runs `program` with the arguments after it; its standard output goes to WORK_DIR/`out`.
function(run out program)
  execute_process(COMMAND ${program} ${ARGN} OUTPUT_FILE ${WORK_DIR}/${out}
                  ERROR_VARIABLE errors RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${program} ${ARGN}: exit ${result}\n${errors}")
  endif()
endfunction()

run(live.json ${EMULATOR} ${WINDOWS_EXE} capture --reasons)
run(live.txt ${EMULATOR} ${WINDOWS_EXE})
run(live-5001.xml ${EMULATOR} ${WINDOWS_EXE} xml 5001)
file(READ ${WORK_DIR}/live.json profile)

# The profile's value at the JSON path given as arguments; empty for null and for no value.
function(profile_value out)
  string(JSON value ERROR_VARIABLE problem GET "${profile}" ${ARGN})
  if(problem)
    set(value "")
  endif()
  set(${out} "${value}" PARENT_SCOPE)
endfunction()

# The rows of data/windows_live.txt, without their kind, into `paths` and `comparisons`. Every
# line but the comments is a whole row of one of the two kinds: a misspelt kind or rule would
# leave a check out without a word.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/data/windows_live.txt lines REGEX "^[^#]")
set(column "[^|]+\\|")
set(rules "(same|anycase|startof|mb|addresses)")
foreach(line IN LISTS lines)
  if(line MATCHES "^given ([^|]+)$")
    list(APPEND paths "${CMAKE_MATCH_1}")
  elseif(line MATCHES "^compare (${column}${column}${column}${column}${rules})$")
    list(APPEND comparisons "${CMAKE_MATCH_1}")
  else()
    message(FATAL_ERROR "data/windows_live.txt: not a row of either kind: ${line}")
  endif()
endforeach()

foreach(path IN LISTS paths)
  string(REPLACE " " ";" path "${path}")
  profile_value(value ${path})
  if(value STREQUAL "")
    message(FATAL_ERROR "velmora.exe capture --reasons gave no ${path}")
  endif()
endforeach()
# xml 5001 shows the OS record (none of these values holds a character XML escapes).
file(READ ${WORK_DIR}/live-5001.xml xml)
foreach(field IN ITEMS osName osVersion servicePack serialNumber computerName)
  profile_value(value OS ${field})
  string(FIND "${xml}" "value=\"${value}\"" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "xml 5001 does not show ${field} \"${value}\"")
  endif()
endforeach()
# The native program replaying the capture prints the same whole inventory, but where a record
# is missing: the live one says why, the replay, which has no machine to ask, "(none)". The
# inventory shows no uptime, the one field that moves between two runs.
run(replayed.txt ${NATIVE_EXE} --profile ${WORK_DIR}/live.json)
file(READ ${WORK_DIR}/live.txt live)
file(READ ${WORK_DIR}/replayed.txt replayed)
if(NOT live MATCHES "Mainboard and BIOS\n  \\([^\n]+\\)\n" OR
   live MATCHES "Mainboard and BIOS\n  \\(none\\)")
  message(FATAL_ERROR "velmora.exe does not say why there is no BIOS record")
endif()
string(REGEX REPLACE "\n  \\([^\n]*\\)\n" "\n  (none)\n" live "${live}")
if(NOT live STREQUAL replayed)
  message(FATAL_ERROR "the native velmora replaying the capture prints another inventory")
endif()

# The second witness: the compare rows, and properties read for the checks below the table.
set(extra "os|TotalVirtualMemorySize"
          "path Win32_VideoController|CurrentHorizontalResolution"
          "path Win32_VideoController|CurrentVerticalResolution")

# One Wine start for every query: a batch file writes each property to a file of its own.
set(batch "@echo off\r\n")
foreach(row IN LISTS comparisons extra)
  string(REPLACE "|" ";" columns "${row}")
  list(GET columns 0 query)
  list(GET columns 1 property)
  string(MAKE_C_IDENTIFIER "${query}_${property}" name)
  string(APPEND batch "wmic ${query} get ${property} > ${name}.txt\r\n")
endforeach()
file(WRITE ${WORK_DIR}/witness.bat "${batch}")
execute_process(COMMAND ${EMULATOR} cmd /c witness.bat WORKING_DIRECTORY ${WORK_DIR}
                RESULT_VARIABLE result)

# The rows of one property, blanks trimmed; a row without a value is "-" (a CMake list cannot
# begin with empty items).
function(wmic_rows out query property)
  string(MAKE_C_IDENTIFIER "${query}_${property}" name)
  if(NOT EXISTS ${WORK_DIR}/${name}.txt)
    message(FATAL_ERROR "wmic ${query} get ${property} gave nothing")
  endif()
  file(STRINGS ${WORK_DIR}/${name}.txt lines ENCODING UTF-16LE)
  list(POP_FRONT lines header)
  if(NOT header MATCHES "^${property}")
    message(FATAL_ERROR "wmic ${query} get ${property}: ${header}")
  endif()
  set(rows "")
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(line STREQUAL "")
      set(line "-")
    endif()
    list(APPEND rows "${line}")
  endforeach()
  set(${out} "${rows}" PARENT_SCOPE)
endfunction()

# "{"fd00::2", "fe80::1%4"}" and "fd00::2, fe80::1" as sorted lists without zones.
function(address_set out text)
  string(REGEX REPLACE "%[0-9]+" "" text "${text}")
  string(REGEX REPLACE "[{}\" ]" "" text "${text}")
  string(REPLACE "," ";" items "${text}")
  list(SORT items)
  set(${out} "${items}" PARENT_SCOPE)
endfunction()

foreach(row IN LISTS comparisons)
  string(REPLACE "|" ";" columns "${row}")
  list(GET columns 0 query)
  list(GET columns 1 property)
  list(GET columns 2 record)
  list(GET columns 3 field)
  list(GET columns 4 rule)
  wmic_rows(rows "${query}" ${property})
  string(JSON type TYPE "${profile}" ${record})
  if(type STREQUAL "ARRAY")
    list(LENGTH rows theirs)
    string(JSON ours LENGTH "${profile}" ${record})
    if(NOT theirs EQUAL ours)
      message(FATAL_ERROR "wmic ${query} lists ${theirs}, velmora.exe ${record} ${ours}")
    endif()
  endif()
  set(index 0)
  foreach(theirs IN LISTS rows)
    if(type STREQUAL "ARRAY")
      profile_value(ours ${record} ${index} ${field})
    else()
      profile_value(ours ${record} ${field})
    endif()
    math(EXPR index "${index} + 1")
    if(theirs STREQUAL "-")
      set(theirs "")
    endif()
    if(rule STREQUAL "anycase")
      string(TOUPPER "${theirs}" theirs)
    elseif(rule STREQUAL "startof")
      string(FIND "${theirs}" "${ours}" at)
      if(at EQUAL 0)
        set(theirs "${ours}")
      endif()
    elseif(rule STREQUAL "mb" AND NOT theirs STREQUAL "")
      math(EXPR theirs "${theirs} / 1024")
    elseif(rule STREQUAL "addresses")
      address_set(theirs "${theirs}")
      address_set(ours "${ours}")
    endif()
    if(NOT "${theirs}" STREQUAL "${ours}")
      message(FATAL_ERROR "wmic ${query} ${property} row ${index}: \"${theirs}\"; "
                          "velmora.exe ${record} ${field}: \"${ours}\"")
    endif()
  endforeach()
endforeach()

# The paging files: the class's commit limit less its physical memory.
wmic_rows(virtual os TotalVirtualMemorySize)
wmic_rows(visible os TotalVisibleMemorySize)
math(EXPR theirs "(${virtual} - ${visible}) / 1024")
profile_value(ours Memory totalPageFileMB)
if(NOT theirs EQUAL ours)
  message(FATAL_ERROR "paging files: wmic ${theirs} MB, velmora.exe ${ours} MB")
endif()

# The resolution: the class gives its two numbers.
wmic_rows(width "path Win32_VideoController" CurrentHorizontalResolution)
wmic_rows(height "path Win32_VideoController" CurrentVerticalResolution)
profile_value(ours VideoadapterList 0 resolution)
if(NOT "${width} * ${height}" STREQUAL "${ours}")
  message(FATAL_ERROR "resolution: wmic ${width} * ${height}, velmora.exe ${ours}")
endif()

# The uptime: Wine's class counts it from the start of Wine's server, while Wine's tick count,
# which the provider reads, counts from the host's boot, as the host's own uptime does: the
# native velmora reading the host is the witness here. (A host that was suspended counts the
# sleep in its own uptime and not in the tick count.)
run(native-5001.xml ${NATIVE_EXE} xml 5001)
function(uptime_seconds out file)
  file(READ ${file} xml)
  string(REGEX MATCH "value=\"([0-9]+) days? ([0-9]+):([0-9]+):([0-9]+)\"" match "${xml}")
  math(EXPR seconds "${CMAKE_MATCH_1} * 86400 + ${CMAKE_MATCH_2} * 3600 + ${CMAKE_MATCH_3} * 60 + ${CMAKE_MATCH_4}")
  set(${out} ${seconds} PARENT_SCOPE)
endfunction()
uptime_seconds(windows ${WORK_DIR}/live-5001.xml)
uptime_seconds(native ${WORK_DIR}/native-5001.xml)
math(EXPR later "${native} - ${windows}")
if(later LESS -5 OR later GREATER 300)
  message(FATAL_ERROR "uptime: velmora.exe ${windows} s, the native velmora ${native} s")
endif()
