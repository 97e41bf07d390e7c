# The ABI check fails on a change, and its report names what changed. Each row changes a copy of
# the baseline the way a changed library would differ from it; the sources are not touched.
# Inputs: CHECK (scripts/check-abi.sh), BUILD_DIR, BASELINE (abi/), WORK_DIR.

# expect_named(file regex replacement words...): with `regex` replaced in the copy of `file`,
# the check fails and its report holds every one of `words`.
function(expect_named file regex replacement)
  file(REMOVE_RECURSE ${WORK_DIR})
  file(COPY ${BASELINE}/ DESTINATION ${WORK_DIR})
  file(READ ${WORK_DIR}/${file} abi)
  string(REGEX REPLACE "${regex}" "${replacement}" changed "${abi}")
  if(changed STREQUAL abi)
    message(FATAL_ERROR "${regex} is not in ${file}: the row no longer fits the baseline")
  endif()
  file(WRITE ${WORK_DIR}/${file} "${changed}")
  execute_process(COMMAND ${CHECK} ${BUILD_DIR} ${WORK_DIR} RESULT_VARIABLE status
                  OUTPUT_VARIABLE report ERROR_VARIABLE report)
  if(status EQUAL 0)
    message(FATAL_ERROR "the ABI check passed with ${regex} changed in ${file}:\n${report}")
  endif()
  foreach(word IN LISTS ARGN)
    string(FIND "${report}" "${word}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "the report on ${regex} in ${file} does not name ${word}:\n${report}")
    endif()
  endforeach()
endfunction()

# A record's field at another offset, and a record of another size.
expect_named(libHarnel.abi "'[0-9]+'(>\n *<var-decl name='osVersion')" "'8'\\1" OSInfo osVersion)
expect_named(libHarnel.abi "(<class-decl name='StorageNode' size-in-bits=')[0-9]+" "\\18"
             StorageNode "type size changed")
# An export under another symbol version, and an export that another name replaced.
expect_named(libHarnel.abi "(<elf-symbol name='GetBIOS' version=')HARNEL_[0-9]+" "\\1HARNEL_OLD"
             GetBIOS@@HARNEL_OLD)
expect_named(libVelmoraU.abi "GetMemoryPair" "GetMemPair" GetMemoryPair GetMemPair)
