# Runs ziptool as a user would, on an archive made by Info-ZIP: listing kinds, and
# extraction into an empty folder argument.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/source/sub ${WORK}/here)

function(ziptool)
  execute_process(COMMAND ${ZIPTOOL} ${ARGN} WORKING_DIRECTORY ${WORK}/here
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "failed: ziptool ${ARGN}\n${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

file(WRITE ${WORK}/source/sub/target.txt "the target")
file(CREATE_LINK sub/target.txt ${WORK}/source/link.txt SYMBOLIC)
# -y stores the link itself, as a link entry.
execute_process(COMMAND zip -q -r -y ${WORK}/links.zip link.txt sub WORKING_DIRECTORY ${WORK}/source
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "zip failed")
endif()

ziptool(list ${WORK}/links.zip)
if(NOT out MATCHES "link.txt\t[0-9]+\t[0-9]+\t[^\t]+\tlink-as-file\n" OR
   NOT out MATCHES "sub/\t0\t0\t[^\t]+\tfolder\n" OR NOT out MATCHES "sub/target.txt\t10\t[^\n]+\tfile\n")
  message(FATAL_ERROR "unexpected listing:\n${out}")
endif()

# An empty folder is the current folder; the link comes out as a plain file.
# (Written out: a function's arguments lose empty strings.)
execute_process(COMMAND ${ZIPTOOL} extract ${WORK}/links.zip "" WORKING_DIRECTORY ${WORK}/here
                RESULT_VARIABLE result ERROR_VARIABLE err)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "extract into \"\" failed: ${err}")
endif()
file(READ ${WORK}/here/sub/target.txt target)
file(READ ${WORK}/here/link.txt link)
if(IS_SYMLINK ${WORK}/here/link.txt OR NOT link STREQUAL "sub/target.txt" OR NOT target STREQUAL "the target")
  message(FATAL_ERROR "unexpected extraction: link '${link}', target '${target}'")
endif()
