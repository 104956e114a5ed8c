# What both mingw-w64 toolchains share; each sets CMAKE_SYSTEM_PROCESSOR and
# TANGREL_MINGW_PREFIX first. POSIX threads model (std::thread and std::mutex), everything
# linked in statically.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${TANGREL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TANGREL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TANGREL_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TANGREL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# No DLLs beside the system's own: the C and C++ runtimes and winpthreads go into the exe.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
