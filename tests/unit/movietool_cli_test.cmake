# Runs movietool as a user would: make, pack, info, and info on bad input.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

include(${CMAKE_CURRENT_LIST_DIR}/cli_run.cmake)

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

# An object of a kind no reader knows hides the rest of the movie: it is damaged.
file(WRITE ${WORK}/unknown-kind.txt "rect id=1\n13 id=2\n")
run(TRUE ${MOVIETOOL} make ${WORK}/unknown-kind.bin --objects ${WORK}/unknown-kind.txt)
run(FALSE ${MOVIETOOL} info ${WORK}/unknown-kind.bin)
set(info_err "${err}")
run(FALSE ${MOVIETOOL} sounds ${WORK}/unknown-kind.bin ${WORK}/unknown-kind-sounds)
foreach(message "${info_err}" "${err}")
  if(NOT message MATCHES "Invalid or damaged files. \\(an object of unknown kind\\)")
    message(FATAL_ERROR "unexpected error: ${message}")
  endif()
endforeach()
run(FALSE ${MOVIETOOL} make ${WORK}/bad.bin --version three)

# Objects from a description: listed by info with their fields.
file(WRITE ${WORK}/objects.txt "# two outlines and a hotspot\n"
  "rect id=4 first=1 frames=3 body=10,10,60,40 line=ff0000 width=3\n"
  "arrow id=5 start=5,5 end=50,30 style=2\n"
  "hotspot id=6 first=2 body=1,1,20,20 events=100010 partner=9 label=\"Drop it\"\n")
run(TRUE ${MOVIETOOL} make ${WORK}/objects.bin --objects ${WORK}/objects.txt)
run(TRUE ${MOVIETOOL} info ${WORK}/objects.bin --no-frames)
string(JSON count GET "${out}" objectCount)
string(JSON kind GET "${out}" objectSection objects 1 kind)
string(JSON style GET "${out}" objectSection objects 1 arrowStyle)
string(JSON colour GET "${out}" objectSection objects 0 lineColour)
string(JSON label GET "${out}" objectSection objects 2 label)
string(JSON partner GET "${out}" objectSection objects 2 partner)
string(JSON counter GET "${out}" objectSection effectCounter)
if(NOT count EQUAL 3 OR NOT kind EQUAL 2 OR NOT style EQUAL 2 OR NOT colour EQUAL 255 OR NOT label STREQUAL "Drop it"
   OR NOT partner EQUAL 9 OR NOT counter EQUAL 1)
  message(FATAL_ERROR "unexpected objects:\n${out}")
endif()
file(WRITE ${WORK}/bad-objects.txt "rect id=1 body=1,2,3\n")
run(FALSE ${MOVIETOOL} make ${WORK}/bad.bin --objects ${WORK}/bad-objects.txt)
if(NOT err MATCHES "line 1")
  message(FATAL_ERROR "unexpected error: ${err}")
endif()

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

# WAV files as the player's reader sees them.
find_program(SOX sox)
if(SOX)
  execute_process(COMMAND ${SOX} -n -r 22050 -b 16 -c 2 ${WORK}/tone.wav synth 0.5 sine 1000)
  run(TRUE ${MOVIETOOL} wav ${WORK}/tone.wav)
  string(JSON channels GET "${out}" channels)
  string(JSON rate GET "${out}" samplesPerSecond)
  string(JSON bytes GET "${out}" bytesPerSecond)
  string(JSON duration GET "${out}" durationMs)
  if(NOT channels EQUAL 2 OR NOT rate EQUAL 22050 OR NOT bytes EQUAL 88200 OR NOT duration EQUAL 500)
    message(FATAL_ERROR "unexpected wav report:\n${out}")
  endif()
  run(FALSE ${MOVIETOOL} wav ${WORK}/player.exe)
  string(JSON error GET "${out}" lastError)
  if(NOT error EQUAL 272)
    message(FATAL_ERROR "unexpected wav error:\n${out}")
  endif()
endif()
