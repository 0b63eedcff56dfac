# movietool still under Wine on a movie of every version row: each frame comes out
# as the picture it was made from, and the recorded cursor (one magenta-keyed image
# in the oldest movies) and the logo are drawn where they belong.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/frames)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "failed: ${ARGN}\n${out}\n${err}")
  endif()
endfunction()

function(pixel file x y out)
  execute_process(COMMAND convert ${file} -format "%[hex:p{${x},${y}}]" info: OUTPUT_VARIABLE colour)
  string(SUBSTRING "${colour}" 0 6 colour)
  set(${out} "${colour}" PARENT_SCOPE)
endfunction()

execute_process(COMMAND convert -size 56x40 "xc:#3a6ea5" -fill white -draw "rectangle 30,4 50,20" ${WORK}/frames/001.bmp)
execute_process(COMMAND convert ${WORK}/frames/001.bmp -fill "#c02010" -draw "rectangle 0,30 55,39" ${WORK}/frames/002.bmp)
execute_process(COMMAND convert ${WORK}/frames/002.bmp -fill black -draw "rectangle 40,0 55,3" ${WORK}/frames/003.bmp)
# The cursor: a black block in the top-left corner of a magenta square.
execute_process(COMMAND convert -size 32x32 xc:magenta -fill black -draw "rectangle 0,0 7,11" -type TrueColor
                BMP3:${WORK}/cursor.bmp)
execute_process(COMMAND convert -size 6x5 xc:lime -type TrueColor BMP3:${WORK}/logo.bmp)
file(WRITE ${WORK}/objects.txt "rect id=1 first=0 frames=3 body=2,2,30,20 line=ff0000 width=2\n")

foreach(version 0.9 0.95 1.0 1.1 1.2 1.25 1.3 1.4 1.5 1.55 1.6 1.7 1.8 1.85 1.9 3.0)
  set(movie ${WORK}/movie-${version}.bin)
  set(options --version ${version} --frames ${WORK}/frames --delay 100 --objects ${WORK}/objects.txt
      --cursor ${WORK}/cursor.bmp)
  set(logo TRUE)
  if(version MATCHES "^(0\\.9|0\\.95|1\\.0|1\\.1|1\\.2|1\\.25)$")
    set(logo FALSE)
  else()
    list(APPEND options --logo ${WORK}/logo.bmp --logo-corner 3)
  endif()
  run(${EMULATOR} ${MOVIETOOL} make ${movie} ${options})
  foreach(frame 0 1 2)
    math(EXPR number "${frame} + 1")
    run(${EMULATOR} ${MOVIETOOL} still ${movie} ${frame} ${WORK}/still.bmp --no-cursor --no-objects --no-logo)
    execute_process(COMMAND compare -metric AE -alpha off ${WORK}/frames/00${number}.bmp ${WORK}/still.bmp null:
                    ERROR_VARIABLE difference)
    if(NOT difference STREQUAL "0")
      message(FATAL_ERROR "${version}: frame ${frame} differs from its picture in ${difference} pixels")
    endif()
  endforeach()

  # Frame 2 with everything: the cursor at (4, 4) shows its block and lets the
  # picture through where it is magenta; the outline; the logo at the bottom right,
  # but for 1.3, whose logo has no corner and sits at the top left.
  run(${EMULATOR} ${MOVIETOOL} still ${movie} 2 ${WORK}/all.bmp)
  pixel(${WORK}/all.bmp 6 12 block)
  pixel(${WORK}/all.bmp 20 25 through)
  pixel(${WORK}/all.bmp 2 10 outline)
  pixel(${WORK}/all.bmp 47 33 bottom_right)
  pixel(${WORK}/all.bmp 5 6 top_left)
  set(expected_bottom_right "C02010")
  set(expected_top_left "000000")
  if(version STREQUAL "1.3")
    set(expected_top_left "00FF00")
  elseif(logo)
    set(expected_bottom_right "00FF00")
  endif()
  if(NOT block STREQUAL "000000" OR NOT through STREQUAL "3A6EA5" OR NOT outline STREQUAL "FF0000"
     OR NOT bottom_right STREQUAL expected_bottom_right OR NOT top_left STREQUAL expected_top_left)
    message(FATAL_ERROR "${version}: cursor block ${block}, through the cursor ${through}, outline ${outline}, "
                        "bottom right ${bottom_right} (expected ${expected_bottom_right}), "
                        "top left ${top_left} (expected ${expected_top_left})")
  endif()
endforeach()
