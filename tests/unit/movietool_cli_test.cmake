# Runs movietool as a user would: make, pack, info, and info on bad input.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

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

file(WRITE ${WORK}/player.exe "MZ-not-really-a-program")
run(TRUE ${MOVIETOOL} make ${WORK}/movie.bin --description "café \"quoted\"" --date "2006-12-02, 11:21:48")
run(TRUE ${MOVIETOOL} pack ${WORK}/player.exe ${WORK}/movie.bin ${WORK}/packed.exe)
run(TRUE ${MOVIETOOL} info ${WORK}/packed.exe)

string(JSON signature GET "${out}" signature)
string(JSON version GET "${out}" version)
string(JSON major GET "${out}" versionMajor)
string(JSON offset GET "${out}" movieOffset)
string(JSON date GET "${out}" date)
string(JSON inflated GET "${out}" headerCopy inflated)
string(JSON matches GET "${out}" headerCopy matchesHeader)
if(NOT signature STREQUAL "Compact Movie Ver. 3.0, Pro." OR NOT version EQUAL 3 OR NOT major EQUAL 3
   OR NOT offset EQUAL 23 OR NOT date STREQUAL "2006-12-02, 11:21:48" OR NOT inflated STREQUAL "ON"
   OR NOT matches STREQUAL "ON")
  message(FATAL_ERROR "unexpected report:\n${out}")
endif()

# A bare movie is described too, and the copy shows when it differs.
run(TRUE ${MOVIETOOL} make ${WORK}/old.bin --version 1.55 --copy-description changed)
run(TRUE ${MOVIETOOL} info ${WORK}/old.bin)
string(JSON version GET "${out}" version)
string(JSON copyDescription GET "${out}" headerCopy fields description)
if(NOT version STREQUAL "1.55" OR NOT copyDescription STREQUAL "changed")
  message(FATAL_ERROR "unexpected report:\n${out}")
endif()

# A program with nothing appended is not a movie.
run(FALSE ${MOVIETOOL} info ${WORK}/player.exe)
if(NOT err MATCHES "Invalid or damaged files.")
  message(FATAL_ERROR "unexpected error: ${err}")
endif()
run(FALSE ${MOVIETOOL} info ${WORK}/missing.exe)
run(FALSE ${MOVIETOOL} make ${WORK}/bad.bin --version three)

# Frames from pictures: three BMP files, the second changes a strip of rows.
find_program(CONVERT convert)
if(CONVERT)
  file(MAKE_DIRECTORY ${WORK}/frames)
  execute_process(COMMAND ${CONVERT} -size 64x60 "xc:#102030" ${WORK}/frames/001.bmp)
  execute_process(COMMAND ${CONVERT} -size 64x60 "xc:#102030" -fill red -draw "rectangle 0,22 63,30"
                  ${WORK}/frames/002.bmp)
  execute_process(COMMAND ${CONVERT} ${WORK}/frames/002.bmp ${WORK}/frames/003.bmp)
  run(TRUE ${MOVIETOOL} make ${WORK}/pictures.bin --frames ${WORK}/frames --delay 250)
  run(TRUE ${MOVIETOOL} info ${WORK}/pictures.bin)
  string(JSON count GET "${out}" MovieInfo frameCount)
  string(JSON width GET "${out}" MovieInfo screenWidth)
  string(JSON total GET "${out}" totalLength)
  string(JSON keyBands GET "${out}" frames 0 bands)
  string(JSON changedBands GET "${out}" frames 1 bands)
  string(JSON sameBands GET "${out}" frames 2 bands)
  string(JSON time2 GET "${out}" frames 2 timeMs)
  if(NOT count EQUAL 3 OR NOT width EQUAL 64 OR NOT total EQUAL 750 OR NOT keyBands EQUAL 1
     OR NOT changedBands EQUAL 1 OR NOT sameBands EQUAL 0 OR NOT time2 EQUAL 500)
    message(FATAL_ERROR "unexpected report:\n${out}")
  endif()
  run(FALSE ${MOVIETOOL} make ${WORK}/none.bin --frames ${WORK}/missing)
endif()
