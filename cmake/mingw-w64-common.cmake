# The posix thread model gives the C++ runtime std::thread and friends.
find_program(CMAKE_C_COMPILER NAMES ${KST_MINGW_PREFIX}-gcc-posix ${KST_MINGW_PREFIX}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${KST_MINGW_PREFIX}-g++-posix ${KST_MINGW_PREFIX}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${KST_MINGW_PREFIX}-windres REQUIRED)
set(CMAKE_FIND_ROOT_PATH /usr/${KST_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Windows test programs run under Wine; the test script supplies the prefix.
find_program(KST_WINE NAMES wine)
if(KST_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KST_WINE})
endif()
