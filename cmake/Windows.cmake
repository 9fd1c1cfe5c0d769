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
target_include_directories(ksthook PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(ksthook PRIVATE kst_hook_logic)
# Plain export names on 32-bit too (no @N decoration), and no "lib" prefix.
target_link_options(ksthook PRIVATE -Wl,--kill-at)
kst_warnings(ksthook)
set_target_properties(ksthook PROPERTIES PREFIX "" IMPORT_PREFIX "lib")

# Everything of the program but its entry, so the Windows tests can use it.
add_library(kst_app STATIC
  shell/app_shell.cpp shell/program_settings.cpp store/settings_store.cpp store/stored_settings.cpp store/run_entry_win.cpp shell/tray_icon.cpp
  shell/hotkey_actions.cpp shell/exclusion.cpp shell/foreground_app.cpp shell/history_folder.cpp shell/integrity.cpp history/clip_capture_win.cpp history/history_saver_win.cpp history/file_sealer_win.cpp
  notify/tooltip.cpp notify/progress_window.cpp ui/layered.cpp ui/shared_gdi.cpp ui/dpi_win.cpp
  popup/paste_popup.cpp popup/popup_list.cpp popup/popup_input.cpp popup/popup_find.cpp popup/popup_search.cpp
  popup/target_ime.cpp
  settings/settings_sheet.cpp settings/reform_pages.cpp settings/other_pages.cpp)
configure_file(${CMAKE_SOURCE_DIR}/resources/version.h.in ${CMAKE_BINARY_DIR}/generated/version.h @ONLY)
target_include_directories(kst_app PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
target_link_libraries(kst_app PUBLIC ksthook kst_models comctl32 comdlg32 shell32 gdi32 user32 advapi32
  oleacc ole32 oleaut32 uuid imm32 crypt32)
kst_warnings(kst_app)

add_executable(kestrane WIN32 shell/main.cpp resources/kestrane.rc)
target_link_libraries(kestrane PRIVATE kst_app)
# Search's dictionary, in a folder beside the program as the zips ship it.
configure_file(${KST_MIGEMO_DICT} ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/dict/migemo-dict COPYONLY)
# The help document lives beside the program, with the version filled in.
configure_file(${CMAKE_SOURCE_DIR}/resources/help/kestrane-help.html
  ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/kestrane-help.html @ONLY)
kst_warnings(kestrane)

# For scripts: asks a running Kestrane to end and waits for it.
add_executable(kstclose tools/kstclose.cpp)
kst_warnings(kstclose)
