# Stills drawn by the portable renderer against stills drawn with GDI under Wine:
# one frame per object kind, 1:1 and stretched, on movies without stored pictures
# (both sides render) and with them (both sides composite what is stored).
# Prints the differing pixels per kind and fails past each kind's allowance.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/frames)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "failed: ${ARGN}\n${out}\n${err}")
  endif()
endfunction()

# A background with every column and row different, so that a picture put one
# pixel off shows; frames differ by a band, so that bands are applied.
run(convert -size 320x240 "gradient:#3a6ea5-#f0c020" -fill "#204020" -draw "rectangle 0,0 319,7" ${WORK}/frames/f00.bmp)
foreach(frame RANGE 1 10)
  math(EXPR top "${frame} * 9")
  math(EXPR bottom "${top} + 5")
  string(LENGTH "${frame}" digits)
  set(name "f${frame}")
  if(digits EQUAL 1)
    set(name "f0${frame}")
  endif()
  run(convert ${WORK}/frames/f00.bmp -fill "#c03030" -draw "rectangle 250,${top} 300,${bottom}" ${WORK}/frames/${name}.bmp)
endforeach()
run(convert -size 32x32 xc:magenta -fill black -draw "polygon 0,0 0,20 14,14" -fill white -draw "polygon 2,4 2,15 10,12" ${WORK}/cursor.bmp)
run(convert -size 40x24 xc:navy -fill gold -draw "circle 20,12 20,4" ${WORK}/logo.bmp)
run(convert -size 48x36 gradient:red-blue -fill white -draw "rectangle 8,8 20,20" ${WORK}/image.bmp)
run(convert -size 32x32 xc:magenta -fill darkgreen -draw "rectangle 4,4 27,27" -fill yellow -draw "circle 16,16 16,8" ${WORK}/icon.bmp)

file(WRITE ${WORK}/objects.txt
"rect id=1 first=0 frames=1 body=20,20,200,120 line=ff0000 width=3
ellipse id=2 first=1 frames=1 body=30,30,221,151 line=00a000 width=2
arrow id=3 first=2 frames=1 start=40,200 end=250,60 style=2 line=0000ff width=2
box id=4 first=3 frames=1 body=20,30,220,120 text=\"Click the Save button to keep your work\" fill=ffffe0 line=000080 width=2 font=Arial,-13 depth=8,-8 depth-corner=0 shadow=6,6
round id=5 first=4 frames=1 body=30,40,230,140 corner=40,30 text=\"Rounded corners hold this text\" fill=e0ffe0 line=006000 width=1 font=\"Times New Roman,-15\" shadow=5,5
oval id=6 first=5 frames=1 body=40,30,260,170 text=\"An elliptic box of text\" fill=e0e0ff line=000060 width=2 font=\"Courier New,-12\"
titled id=7 first=6 frames=1 body=30,30,250,160 text=\"The body text of a titled box\" title=\"Note\" title-font=Arial,-12,700 fill=ffffff line=804000 width=1 font=Arial,-13
balloon id=8 first=7 frames=1 body=100,40,300,110 tail=60,200 text=\"Here it is\" fill=ffffc0 line=000000 width=1 font=Arial,-16 depth=6,6 depth-corner=1
round-balloon id=9 first=8 frames=1 body=90,30,290,120 tail=40,190 text=\"A rounded balloon\" fill=ffe0e0 line=800000 width=2 font=Arial,-14
oval-balloon id=10 first=9 frames=1 body=100,30,300,130 tail=50,200 text=\"An oval balloon\" fill=e0ffff line=008080 width=1 font=Arial,-14 depth=10,-10 depth-corner=0
image id=11 first=10 frames=1 body=20,20,116,92 picture=${WORK}/image.bmp actual-size=0 text=\"Picture\" font=Arial,-12
image id=12 first=10 frames=1 body=150,100,182,132 icon=${WORK}/icon.bmp
rect id=13 first=0 frames=1 body=231,141,302,219 line=8000ff width=8
ellipse id=14 first=1 frames=1 body=241,160,302,221 line=a00000 width=1
ellipse id=15 first=1 frames=1 body=35,165,176,232 line=0000a0 width=11
ellipse id=16 first=1 frames=1 body=190,20,230,50 line=606000 width=3
")
file(READ ${WORK}/objects.txt described)
string(REGEX REPLACE " (text|title)=\"[^\"]*\"" "" bare "${described}")
file(WRITE ${WORK}/objects_bare.txt "${bare}")

set(common --frames ${WORK}/frames --delay 100 --cursor ${WORK}/cursor.bmp --logo ${WORK}/logo.bmp --logo-corner 1)
run(${NATIVE_MOVIETOOL} make ${WORK}/rendered.bin ${common} --objects ${WORK}/objects.txt)
run(${NATIVE_MOVIETOOL} make ${WORK}/bare.bin ${common} --objects ${WORK}/objects_bare.txt)
run(${EMULATOR} ${MOVIETOOL} make ${WORK}/stored.bin ${common} --objects ${WORK}/objects.txt)

# Differing pixels between the two stills of one frame.
function(difference movie frame size out)
  set(options)
  set(tag "${frame}")
  if(size)
    set(options --size ${size})
    set(tag "${frame}-${size}")
  endif()
  run(${NATIVE_MOVIETOOL} still ${WORK}/${movie}.bin ${frame} ${WORK}/${movie}-native-${tag}.png ${options})
  run(${EMULATOR} ${MOVIETOOL} still ${WORK}/${movie}.bin ${frame} ${WORK}/${movie}-windows-${tag}.bmp ${options})
  execute_process(COMMAND compare -metric AE -alpha off ${WORK}/${movie}-native-${tag}.png
                          ${WORK}/${movie}-windows-${tag}.bmp ${WORK}/${movie}-diff-${tag}.png
                  ERROR_VARIABLE count)
  string(STRIP "${count}" count)
  set(${out} "${count}" PARENT_SCOPE)
endfunction()

# The differing pixels allowed: none where the pixels follow fixed rules; with
# text, at most ALLOWED_TEXT_PERCENT of the picture, and none outside the text.
set(report "kind  size  pixels  differing: rendered  without-text  stored\n")
set(failures "")
# Frame k shows the objects of kind k: kinds 0 and 1 with pens of several widths,
# kind 10 a bitmap and an icon.
foreach(kind RANGE 0 10)
  set(frame ${kind})
  foreach(size "" 480x360 200x150)
    difference(rendered ${frame} "${size}" withText)
    difference(bare ${frame} "${size}" withoutText)
    difference(stored ${frame} "${size}" stored)
    set(shown "${size}")
    set(total 76800)
    if(NOT size)
      set(shown "1:1")
    else()
      string(REPLACE "x" "*" area "${size}")
      math(EXPR total "${area}")
    endif()
    string(APPEND report "${kind}  ${shown}  ${total}  ${withText}  ${withoutText}  ${stored}\n")
    set(textAllowance 0)
    if(kind GREATER_EQUAL 3)
      math(EXPR textAllowance "${total} * ${ALLOWED_TEXT_PERCENT} / 100")
    endif()
    if(NOT withoutText EQUAL 0 OR NOT stored EQUAL 0 OR withText GREATER textAllowance)
      string(APPEND failures " kind ${kind} at ${shown}")
    endif()
  endforeach()
endforeach()
message(STATUS "native against GDI:\n${report}")
file(WRITE ${WORK}/figures.txt "${report}")
if(failures)
  message(FATAL_ERROR "stills differ:${failures} (pictures in ${WORK})")
endif()
