# movietool make --version for every row of the version table, read back by
# movietool info: frames, cursor, logo, objects and sounds, with the readers the
# version takes.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/frames)

find_program(CONVERT convert REQUIRED)
find_program(SOX sox REQUIRED)

include(${CMAKE_CURRENT_LIST_DIR}/cli_run.cmake)

function(expect what actual expected)
  if(NOT "${actual}" STREQUAL "${expected}")
    message(FATAL_ERROR "${version}: ${what} is '${actual}', not '${expected}'\n${out}")
  endif()
endfunction()

execute_process(COMMAND ${CONVERT} -size 48x40 "xc:#204060" ${WORK}/frames/001.bmp)
execute_process(COMMAND ${CONVERT} ${WORK}/frames/001.bmp -fill white -draw "rectangle 5,8 20,30" ${WORK}/frames/002.bmp)
execute_process(COMMAND ${CONVERT} ${WORK}/frames/002.bmp -fill red -draw "rectangle 0,36 47,39" ${WORK}/frames/003.bmp)
execute_process(COMMAND ${CONVERT} -size 32x32 xc:magenta -fill black -draw "rectangle 0,0 7,11" -type TrueColor
                BMP3:${WORK}/cursor.bmp)
execute_process(COMMAND ${CONVERT} -size 6x5 xc:lime -type TrueColor BMP3:${WORK}/logo.bmp)
execute_process(COMMAND ${SOX} -n -r 8000 -b 16 -c 1 ${WORK}/narration.wav synth 0.3 sine 440)
execute_process(COMMAND ${SOX} -n -r 8000 -b 16 -c 1 ${WORK}/click.wav synth 0.05 sine 1000)
file(WRITE ${WORK}/objects.txt "rect id=1 first=1 frames=1 body=2,2,30,20 line=ff0000 width=2\n"
                               "box id=2 first=2 frames=1 body=4,4,40,30 text=\"note\"\n")

# version, frame group, logo corner read back (-1: no logo), sound records, speech
foreach(row "0.9;G1;-1;2;no" "0.95;G2;-1;3;no" "1.0;G3;-1;3;no" "1.1;G4;-1;3;no" "1.2;G5;-1;3;no"
            "1.25;G6;-1;3;no" "1.3;G7;0;3;no" "1.4;G7;1;3;no" "1.5;G7;1;3;yes" "1.55;G7;1;3;yes"
            "1.6;G7;1;3;yes" "1.7;G7;1;3;yes" "1.8;G7;1;3;yes" "1.85;G8;1;3;yes" "1.9;G8;1;3;yes"
            "3.0;G8;1;3;yes")
  list(GET row 0 version)
  list(GET row 1 group)
  list(GET row 2 corner)
  list(GET row 3 records)
  list(GET row 4 speech)
  set(options --version ${version} --frames ${WORK}/frames --delay 120 --objects ${WORK}/objects.txt
      --cursor ${WORK}/cursor.bmp --narration ${WORK}/narration.wav --background ${WORK}/narration.wav)
  if(NOT version STREQUAL "0.9")
    list(APPEND options --effect 0 ${WORK}/click.wav)
  endif()
  if(speech)
    list(APPEND options --speech)
  endif()
  if(NOT corner EQUAL -1)
    list(APPEND options --logo ${WORK}/logo.bmp --logo-corner 1)
  endif()
  run(TRUE ${MOVIETOOL} make ${WORK}/movie-${version}.bin ${options})
  run(TRUE ${MOVIETOOL} info ${WORK}/movie-${version}.bin)

  string(JSON value GET "${out}" readers frameGroup)
  expect("frame group" "${value}" ${group})
  string(JSON value GET "${out}" MovieInfo frameCount)
  expect("frame count" "${value}" 3)
  string(JSON value GET "${out}" MovieInfo bitsPerPixel)
  expect("colour depth" "${value}" 32)
  string(JSON value GET "${out}" frames 1 bands)
  expect("bands of frame 1" "${value}" 1)
  string(JSON value GET "${out}" frames 2 timeMs)
  expect("time of frame 2" "${value}" 240)
  string(JSON value GET "${out}" frames 2 cursorId)
  expect("cursor of frame 2" "${value}" 1)
  string(JSON value GET "${out}" cursorShapes)
  expect("cursor shapes" "${value}" 1)
  string(JSON value GET "${out}" objectCount)
  expect("objects" "${value}" 2)
  string(JSON value GET "${out}" objectSection objects 1 text)
  expect("text of object 2" "${value}" "note")
  string(JSON value LENGTH "${out}" soundSection records)
  expect("sound records" "${value}" ${records})
  string(JSON value GET "${out}" soundSection narrationPresent)
  expect("narration" "${value}" 1)
  string(JSON value GET "${out}" MovieInfo logoPresent)
  if(corner EQUAL -1)
    expect("logo" "${value}" 0)
  else()
    expect("logo" "${value}" 1)
    string(JSON value GET "${out}" logo corner)
    expect("logo corner" "${value}" ${corner})
  endif()
endforeach()

# The delay limit: the oldest versions play a five-second frame for 50 ms, the
# newest for five seconds; 1.3 to 1.5 keep it when read in the background.
foreach(row "0.95;50" "1.25;50" "1.4;5000" "1.55;50" "1.8;50" "1.85;5000" "3.0;5000")
  list(GET row 0 version)
  list(GET row 1 delay)
  run(TRUE ${MOVIETOOL} make ${WORK}/delay.bin --version ${version} --frames ${WORK}/frames --delay 5000)
  run(TRUE ${MOVIETOOL} info ${WORK}/delay.bin)
  string(JSON value GET "${out}" frames 0 delayMs)
  expect("delay" "${value}" ${delay})
endforeach()

# Content a version cannot hold is refused with its reason.
set(version "limits")
run(FALSE ${MOVIETOOL} make ${WORK}/bad.bin --version 0.9 --effect 0 ${WORK}/click.wav)
expect("error" "${err}" "movietool: effects need version 0.95 or later\n")
run(FALSE ${MOVIETOOL} make ${WORK}/bad.bin --version 1.4 --narration ${WORK}/narration.wav --speech)
expect("error" "${err}" "movietool: speech needs version 1.5 or later\n")
run(FALSE ${MOVIETOOL} make ${WORK}/bad.bin --version 1.25 --logo ${WORK}/logo.bmp)
expect("error" "${err}" "movietool: a logo needs version 1.3 or later\n")
file(WRITE ${WORK}/hotspot.txt "hotspot id=1 body=1,1,9,9 events=100010\n")
run(FALSE ${MOVIETOOL} make ${WORK}/bad.bin --version 0.9 --objects ${WORK}/hotspot.txt)
expect("error" "${err}" "movietool: hotspots need version 0.95 or later\n")

# movietool sounds writes an old movie's sounds under the names its player gives.
run(TRUE ${MOVIETOOL} sounds ${WORK}/movie-1.0.bin ${WORK}/sounds)
string(JSON value GET "${out}" files 0 path)
expect("narration file" "${value}" "${WORK}/sounds/movie-1.0_Narration.wav")
string(JSON value GET "${out}" files 2 path)
expect("effect file" "${value}" "${WORK}/sounds/Effect0.wav")
run(TRUE ${MOVIETOOL} sounds ${WORK}/movie-0.9.bin ${WORK}/sounds-old)
string(JSON value GET "${out}" files 0 path)
expect("narration beside the movie" "${value}" "${WORK}/sounds-old/movie-0.9_Narration.wav")
