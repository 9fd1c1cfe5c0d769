# Native tools over the portable core.
add_executable(kestrane-reform reform/tool/kestrane_reform.cpp reform/tool/utf8_cp932.cpp)
target_link_libraries(kestrane-reform PRIVATE kst_core)
kst_warnings(kestrane-reform)

# Benchmarks (Google Benchmark), built when it is there: tools/bench.sh.
find_package(benchmark QUIET)
if(benchmark_FOUND)
  add_executable(kst_core_bench bench/core_bench.cpp)
  target_link_libraries(kst_core_bench PRIVATE kst_core benchmark::benchmark)
  kst_warnings(kst_core_bench)
endif()

# Search over a full history and the dictionary's load: tools/bench.sh.
add_executable(kst_search_bench bench/search_bench.cpp)
target_link_libraries(kst_search_bench PRIVATE kst_search)
kst_warnings(kst_search_bench)
