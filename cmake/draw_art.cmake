# quillet_draw_art(TARGET PROGRAM OUTPUT_DIR FILES...): a program's pictures are drawn
# on the build machine. tools/art/<PROGRAM>.cpp, with the shared canvas and file
# writers, is compiled by the host compiler and run into OUTPUT_DIR; TARGET stands
# for the files it writes. Each program draws its own, so no folder depends on
# another having been configured first.
function(quillet_draw_art TARGET PROGRAM OUTPUT_DIR)
  find_program(QUILLET_HOST_CXX NAMES g++ c++ clang++ NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  set(outputs ${ARGN})
  list(TRANSFORM outputs PREPEND ${OUTPUT_DIR}/)
  set(art ${PROJECT_SOURCE_DIR}/tools/art)
  set(sources ${art}/${PROGRAM}.cpp ${art}/picture_files.cpp)
  add_custom_command(
    OUTPUT ${outputs}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${OUTPUT_DIR}
    COMMAND ${QUILLET_HOST_CXX} -std=c++17 -O1 -I${PROJECT_SOURCE_DIR} -o ${OUTPUT_DIR}/${PROGRAM} ${sources}
    COMMAND ${OUTPUT_DIR}/${PROGRAM} ${OUTPUT_DIR}
    DEPENDS ${sources} ${art}/canvas.h ${art}/picture_files.h
    COMMENT "Drawing the pictures of ${PROGRAM}"
    VERBATIM)
  add_custom_target(${TARGET} DEPENDS ${outputs})
endfunction()
