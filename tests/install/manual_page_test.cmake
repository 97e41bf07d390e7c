# The manual page and `velmora --help` tell of the same commands, the same options of each, the
# same arguments and the same KINDs of `pairs`: what one lists and the other lacks fails.
# Inputs: VELMORA, PAGE.

function(expect_same what from_help from_page)
  list(SORT from_help)
  list(SORT from_page)
  list(REMOVE_DUPLICATES from_help)
  list(REMOVE_DUPLICATES from_page)
  if(NOT from_help STREQUAL from_page)
    message(FATAL_ERROR "${what}: velmora --help has [${from_help}], the manual page [${from_page}]")
  endif()
endfunction()

# options_in(text out): the options named in a text ("--json", "-h"), not the hyphens of words.
function(options_in text out)
  string(REGEX MATCHALL "[^a-z]--?[a-z]+" found "${text}")
  string(REGEX REPLACE "[^;-]+(--?[a-z]+)" "\\1" found "${found}")
  list(REMOVE_ITEM found -h --help)
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

# help(command...) sets `options`, `arguments` and `commands` from the usage that --help prints.
function(help)
  execute_process(COMMAND ${VELMORA} ${ARGN} --help OUTPUT_VARIABLE text COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCHALL "\n  -[^ ]*" options "${text}")
  options_in("${options}" options)
  string(REGEX MATCH "Positionals:\n.*\nOptions:" positionals "${text}")
  string(REGEX MATCHALL "\n  [A-Z]+ " arguments "${positionals}")
  string(REGEX MATCHALL "[A-Z]+" arguments "${arguments}")
  string(REGEX MATCH "Subcommands:\n.*" commands "${text}")
  string(REGEX MATCHALL "\n  [a-z]+" commands "${commands}")
  string(REGEX MATCHALL "[a-z]+" commands "${commands}")
  set(kinds "")
  if(text MATCHES "{([a-z,]+)}")
    string(REPLACE "," ";" kinds "${CMAKE_MATCH_1}")
  endif()
  foreach(name options arguments commands kinds)
    set(${name} "${${name}}" PARENT_SCOPE)
  endforeach()
endfunction()

file(READ ${PAGE} page)
string(REPLACE "\\-" "-" page "${page}")  # roff's hyphen
string(REGEX MATCH "\n\\.SH COMMANDS\n.*\n\\.SH OPTIONS\n" command_section "${page}")
string(REGEX MATCH "\n\\.SH OPTIONS\n.*\n\\.SH EXIT STATUS\n" option_section "${page}")

help()
options_in("${option_section}" page_options)
expect_same("options of velmora" "${options}" "${page_options}")
# Each command's entry starts with its synopsis: \fBvelmora COMMAND\fR, its arguments in
# italics and its options in bold.
string(REGEX MATCHALL "\n\\\\fBvelmora [a-z]+" page_commands "${command_section}")
string(REGEX REPLACE "\n\\\\fBvelmora " "" page_commands "${page_commands}")
expect_same("commands" "${commands}" "${page_commands}")

foreach(command IN LISTS commands)
  help(${command})
  string(REGEX MATCH "\n\\\\fBvelmora ${command}\\\\fR[^\n]*" synopsis "${command_section}")
  options_in("${synopsis}" page_options)
  expect_same("options of ${command}" "${options}" "${page_options}")
  string(REGEX MATCHALL "\\\\fI[A-Z]+\\\\fR" page_arguments "${synopsis}")
  string(REGEX REPLACE "\\\\f[IR]" "" page_arguments "${page_arguments}")
  expect_same("arguments of ${command}" "${arguments}" "${page_arguments}")
  if(kinds)
    string(FIND "${command_section}" "is one of\n" start)
    string(SUBSTRING "${command_section}" ${start} -1 entry)
    string(FIND "${entry}" "\nWith" end)
    string(SUBSTRING "${entry}" 0 ${end} entry)
    string(REGEX MATCHALL "\n\\.BR? [a-z]+" page_kinds "${entry}")
    string(REGEX REPLACE "\n\\.BR? " "" page_kinds "${page_kinds}")
    expect_same("KINDs of ${command}" "${kinds}" "${page_kinds}")
  endif()
endforeach()
