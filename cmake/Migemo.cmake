# C/Migemo, compiled from Debian's source package (fetched into the build
# folder by the set-up, never kept here), and its dictionary from
# cmigemo-common. The romaji and width tables go into the program itself,
# so that search reads romaji as kana without the dictionary's folder.
set(KST_CMIGEMO_DIR "${CMAKE_SOURCE_DIR}/build/third_party/cmigemo" CACHE PATH "C/Migemo's unpacked source package")
set(KST_MIGEMO_DICT "/usr/share/cmigemo/cp932/migemo-dict" CACHE FILEPATH "C/Migemo's dictionary in code page 932")
if(NOT EXISTS "${KST_CMIGEMO_DIR}/src/migemo.c")
  message(FATAL_ERROR "C/Migemo's source is not in ${KST_CMIGEMO_DIR}: tools/test-all.sh fetches it (apt-get source cmigemo)")
endif()
if(NOT EXISTS "${KST_MIGEMO_DICT}")
  message(FATAL_ERROR "No dictionary at ${KST_MIGEMO_DICT}: install cmigemo-common")
endif()

# search/migemo_access.c compiles migemo.c itself.
add_library(kst_migemo STATIC
  ${KST_CMIGEMO_DIR}/src/charset.c ${KST_CMIGEMO_DIR}/src/filename.c ${KST_CMIGEMO_DIR}/src/mnode.c
  ${KST_CMIGEMO_DIR}/src/romaji.c ${KST_CMIGEMO_DIR}/src/rxgen.c ${KST_CMIGEMO_DIR}/src/wordbuf.c
  ${KST_CMIGEMO_DIR}/src/wordlist.c ${CMAKE_SOURCE_DIR}/search/migemo_access.c)
target_include_directories(kst_migemo PUBLIC ${KST_CMIGEMO_DIR}/src)
# Its files mix code page 932 and UTF-8, copied as they are; its warnings
# are not ours to fix.
target_compile_options(kst_migemo PRIVATE -w $<$<C_COMPILER_ID:GNU>:-fexec-charset=UTF-8>)

# The tables as byte arrays: kst_migemo_table_<name>, kst_migemo_table_<name>_size.
set(tables_c "${CMAKE_BINARY_DIR}/generated/migemo_tables.c")
set(tables_text "/* Made by the build from C/Migemo's dict folder. */\n#include <stddef.h>\n")
foreach(table roma2hira hira2kata han2zen zen2han)
  set(source "${KST_CMIGEMO_DIR}/dict/${table}.dat")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${source}")
  file(READ "${source}" hex HEX)
  string(LENGTH "${hex}" hex_length)
  math(EXPR bytes "${hex_length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," hex "${hex}")
  string(APPEND tables_text "const unsigned char kst_migemo_table_${table}[] = {${hex}0};\n")
  string(APPEND tables_text "const size_t kst_migemo_table_${table}_size = ${bytes};\n")
endforeach()
file(WRITE "${tables_c}.new" "${tables_text}")
file(COPY_FILE "${tables_c}.new" "${tables_c}" ONLY_IF_DIFFERENT)
target_sources(kst_migemo PRIVATE ${tables_c})
