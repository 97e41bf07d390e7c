# The manual page and `velmora --help` (with each command's --help) name the same commands,
# options, arguments and KINDs: what one names and the other lacks fails.
# Inputs: VELMORA, PAGE.

# names(text pattern strip out): the distinct matches of `pattern`, less `strip`, sorted.
function(names text pattern strip out)
  string(REGEX MATCHALL "${pattern}" found "${text}")
  list(TRANSFORM found REPLACE "${strip}" "")
  list(REMOVE_DUPLICATES found)
  list(REMOVE_ITEM found -h --help)
  list(SORT found)
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

file(READ ${PAGE} page)
string(REPLACE "\\-" "-" page "${page}")  # roff's hyphen
execute_process(COMMAND ${VELMORA} --help OUTPUT_VARIABLE help COMMAND_ERROR_IS_FATAL ANY)
names("${help}" "\n  [a-z]+ " "[\n ]" help_commands)
foreach(command IN LISTS help_commands)
  execute_process(COMMAND ${VELMORA} ${command} --help OUTPUT_VARIABLE text
                  COMMAND_ERROR_IS_FATAL ANY)
  string(APPEND help "${text}")
endforeach()

# In the help, options and arguments begin their lines; in the page, options are bold anywhere
# and a command's synopsis begins its entry: \fBvelmora COMMAND\fR, its arguments in italics.
names("${help}" "\n  -[-a-z,]+" "^.*[\n, ]" help_options)
names("${page}" "[^a-z]--?[a-z]+(-[a-z]+)*" "^[^-]+" page_options)
names("${page}" "\n\\\\fBvelmora [a-z]+" "^.* " page_commands)
names("${help}" "\n  [A-Z]+ " "[\n ]" help_arguments)
string(REGEX MATCHALL "\n\\\\fBvelmora [a-z]+\\\\fR[^\n]*" synopses "${page}")
# An option's own argument (--timeout S) is the option's, not the command's.
string(REGEX REPLACE "\\\\fB--?[a-z]+(-[a-z]+)*\\\\fR \\\\fI[A-Z]+\\\\fR" "" synopses "${synopses}")
names("${synopses}" "\\\\fI[A-Z]+\\\\fR" "\\\\f[IR]" page_arguments)
string(REGEX MATCH "KIND [A-Z]+:{([a-z,]+)}" kinds "${help}")
string(REPLACE "," ";" help_kinds "${CMAKE_MATCH_1}")
list(SORT help_kinds)
string(REGEX MATCH "is one of\n(\\.BR? [a-z]+ ?[,.]?\n(and\n)?)+" kinds "${page}")
names("${kinds}" "\\.BR? [a-z]+" "^.* " page_kinds)

foreach(what commands options arguments kinds)
  if(NOT help_${what} STREQUAL page_${what})
    message(FATAL_ERROR "${what}: velmora --help has [${help_${what}}], the page [${page_${what}}]")
  endif()
endforeach()
