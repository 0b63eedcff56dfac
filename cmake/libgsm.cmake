# libgsm for Windows, compiled from Debian's source package into the build tree.
# The source is fetched by apt at configure time; nothing of it enters the repository.

set(LIBGSM_SOURCE_ROOT ${CMAKE_BINARY_DIR}/_deps/libgsm)
if(NOT EXISTS ${LIBGSM_SOURCE_ROOT}/src/gsm_decode.c)
  execute_process(
    COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/fetch-debian-source.sh libgsm ${LIBGSM_SOURCE_ROOT}
    RESULT_VARIABLE fetch_result)
  if(NOT fetch_result EQUAL 0)
    message(FATAL_ERROR "could not fetch the libgsm source package")
  endif()
endif()

set(LIBGSM_PARTS add code decode gsm_create gsm_decode gsm_destroy gsm_encode gsm_explode
    gsm_implode gsm_option long_term lpc preprocess rpe short_term table)
set(LIBGSM_SOURCES "")
foreach(part ${LIBGSM_PARTS})
  list(APPEND LIBGSM_SOURCES ${LIBGSM_SOURCE_ROOT}/src/${part}.c)
endforeach()

add_library(gsm STATIC ${LIBGSM_SOURCES})
target_include_directories(gsm SYSTEM PUBLIC ${LIBGSM_SOURCE_ROOT}/inc)
target_compile_definitions(gsm PRIVATE NeedFunctionPrototypes=1 SASR)
target_compile_options(gsm PRIVATE -w)
