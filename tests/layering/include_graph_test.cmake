cmake_minimum_required(VERSION 3.20)
# The checker on a tree that breaks each rule: the faults it reports, whole and
# within a scope, one case per line: scope | expected faults separated by ";".
set(cases
  "|folders include each other: launcher/a (launcher/a/x.h) <-> launcher/b (launcher/b/y.h)\;tools/t includes player/app (tools/t/main.cpp)\;cycle among launcher/a launcher/b\;cycle among player/p1 player/p2 player/p3\;launcher/c/portable.cpp includes <windows.h> outside a win32/ folder"
  "tools|tools/t includes player/app (tools/t/main.cpp)"
  "player/p2|cycle among player/p1 player/p2 player/p3"
  "launcher/c|launcher/c/portable.cpp includes <windows.h> outside a win32/ folder"
  "launcher/b/win32|")
foreach(case IN LISTS cases)
  string(FIND "${case}" "|" bar)
  string(SUBSTRING "${case}" 0 ${bar} scope)
  math(EXPR after "${bar} + 1")
  string(SUBSTRING "${case}" ${after} -1 expected)
  execute_process(COMMAND ${CHECKER} ${FIXTURE} ${scope} RESULT_VARIABLE result OUTPUT_VARIABLE out)
  string(REGEX MATCHALL "FAULT: [^\n]*" lines "${out}")
  string(REPLACE "FAULT: " "" faults "${lines}")
  if(NOT "${faults}" STREQUAL "${expected}")
    message(FATAL_ERROR "scope '${scope}': reported\n  ${faults}\nexpected\n  ${expected}")
  endif()
  if(expected STREQUAL "" AND NOT result EQUAL 0)
    message(FATAL_ERROR "scope '${scope}': failed without a fault")
  elseif(NOT expected STREQUAL "" AND result EQUAL 0)
    message(FATAL_ERROR "scope '${scope}': passed with faults")
  endif()
endforeach()
