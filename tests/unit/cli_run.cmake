# run(EXPECT_SUCCESS COMMAND...): runs a command-line tool as a user would and
# stops the test when it fails where it should succeed, or succeeds where it should
# fail; its output is left in `out` and `err`.
function(run expect_success)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(expect_success AND NOT result EQUAL 0)
    message(FATAL_ERROR "failed: ${ARGN}\n${err}")
  endif()
  if(NOT expect_success AND result EQUAL 0)
    message(FATAL_ERROR "should have failed: ${ARGN}\n${out}")
  endif()
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()
