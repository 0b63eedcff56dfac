# libdeflate for Windows, compiled from Debian's source package into the build tree:
# only its whole-buffer zlib decompressor, which the player uses for blocks whose
# unpacked size it knows. The source is fetched by apt at configure time; nothing of
# it enters the repository.

set(LIBDEFLATE_SOURCE_ROOT ${CMAKE_BINARY_DIR}/_deps/libdeflate)
if(NOT EXISTS ${LIBDEFLATE_SOURCE_ROOT}/lib/zlib_decompress.c)
  execute_process(
    COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/fetch-debian-source.sh libdeflate ${LIBDEFLATE_SOURCE_ROOT}
    RESULT_VARIABLE fetch_result)
  if(NOT fetch_result EQUAL 0)
    message(FATAL_ERROR "could not fetch the libdeflate source package")
  endif()
endif()

add_library(libdeflate STATIC
  ${LIBDEFLATE_SOURCE_ROOT}/lib/deflate_decompress.c
  ${LIBDEFLATE_SOURCE_ROOT}/lib/zlib_decompress.c
  ${LIBDEFLATE_SOURCE_ROOT}/lib/adler32.c
  ${LIBDEFLATE_SOURCE_ROOT}/lib/utils.c
  ${LIBDEFLATE_SOURCE_ROOT}/lib/x86/cpu_features.c)
target_include_directories(libdeflate SYSTEM PUBLIC ${LIBDEFLATE_SOURCE_ROOT})
# The flags of the package's own build: C99 and its optimisation level.
target_compile_options(libdeflate PRIVATE -std=c99 -O2 -fomit-frame-pointer -w)
target_compile_definitions(libdeflate PRIVATE _ANSI_SOURCE)
