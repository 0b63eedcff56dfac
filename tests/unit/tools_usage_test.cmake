cmake_minimum_required(VERSION 3.20)
# Every tool, asked for help, prints its usage on standard output and succeeds; a
# call it cannot take prints the usage on standard error and exits 2.
# One case per line: tool | arguments (comma-separated) | exit code | stream with usage.
set(cases
  "MOVIETOOL|--help|0|out"   "MOVIETOOL|-h|0|out"   "MOVIETOOL||2|err"   "MOVIETOOL|frobnicate|2|err"
  "ZIPTOOL|--help|0|out"     "ZIPTOOL|-h|0|out"     "ZIPTOOL||2|err"     "ZIPTOOL|list|2|err"
  "ORVANETOOL|--help|0|out"  "ORVANETOOL|-h|0|out"  "ORVANETOOL||2|err"  "ORVANETOOL|dump,a,b|2|err"
  # Help is asked by the first argument only; later it is an unknown option.
  "ORVANETOOL|make,a,b,--help|2|err")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 tool)
  list(GET fields 1 arguments)
  list(GET fields 2 expected_exit)
  list(GET fields 3 usage_stream)
  string(REPLACE "," ";" arguments "${arguments}")
  execute_process(COMMAND ${${tool}} ${arguments} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(usage_stream STREQUAL "out")
    set(usage "${out}")
    set(other "${err}")
  else()
    set(usage "${err}")
    set(other "${out}")
  endif()
  if(NOT result EQUAL expected_exit OR NOT usage MATCHES "^usage:\n" OR NOT other STREQUAL "")
    message(FATAL_ERROR "${tool} '${arguments}': exit ${result} (expected ${expected_exit}), usage expected on std${usage_stream}\n"
                        "stdout: ${out}\nstderr: ${err}")
  endif()
endforeach()
