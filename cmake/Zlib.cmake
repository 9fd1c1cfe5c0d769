# zlib, compiled from Debian's source package (fetched into the build folder
# by the set-up, never kept here): pictures are kept as PNG, formatted copies
# deflated.
set(KST_ZLIB_DIR "${CMAKE_SOURCE_DIR}/build/third_party/zlib" CACHE PATH "zlib's unpacked source package")
if(NOT EXISTS "${KST_ZLIB_DIR}/deflate.c")
  message(FATAL_ERROR "zlib's source is not in ${KST_ZLIB_DIR}: tools/test-all.sh fetches it (apt-get source zlib)")
endif()
add_library(kst_zlib STATIC
  ${KST_ZLIB_DIR}/adler32.c ${KST_ZLIB_DIR}/crc32.c ${KST_ZLIB_DIR}/deflate.c ${KST_ZLIB_DIR}/inffast.c
  ${KST_ZLIB_DIR}/inflate.c ${KST_ZLIB_DIR}/inftrees.c ${KST_ZLIB_DIR}/trees.c ${KST_ZLIB_DIR}/zutil.c)
target_include_directories(kst_zlib SYSTEM PUBLIC ${KST_ZLIB_DIR})
# Its warnings are not ours to fix.
target_compile_options(kst_zlib PRIVATE -w)
