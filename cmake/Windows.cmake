# The two deliverables. Everything is linked statically so that the program
# needs nothing beside it but ksthook.dll.
enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")
add_compile_definitions(WIN32_LEAN_AND_MEAN STRICT _WIN32_WINNT=0x0601)
add_link_options(-static -static-libgcc -static-libstdc++)

add_library(ksthook SHARED
  hook/ksthook.cpp hook/hook_procs.cpp hook/queries.cpp hook/shared_block.cpp)
target_compile_definitions(ksthook PRIVATE KSTHOOK_BUILD)
target_compile_options(ksthook PRIVATE -fno-exceptions -fno-rtti)
target_include_directories(ksthook PUBLIC ${CMAKE_SOURCE_DIR}/hook)
target_link_libraries(ksthook PRIVATE kst_hook_logic)
# Plain export names on 32-bit too (no @N decoration), and no "lib" prefix.
target_link_options(ksthook PRIVATE -Wl,--kill-at)
kst_warnings(ksthook)
set_target_properties(ksthook PROPERTIES PREFIX "" IMPORT_PREFIX "lib")

add_executable(kestrane WIN32 shell/main.cpp resources/kestrane.rc)
target_link_libraries(kestrane PRIVATE ksthook kst_core)
target_compile_options(kestrane PRIVATE -fno-exceptions)
kst_warnings(kestrane)
