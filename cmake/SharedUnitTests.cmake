# The unit tests of the platform-independent units that the cross builds run on their own
# compiler and runtime (Windows under Wine, the browser under Node). Each build defines
# tangrel_<kind>_test_of(name sources...), which builds test_<name> and adds its test.

# name: the folder under tests/; the sources are its .cpp files except those listed after it.
function(tangrel_folder_test kind name)
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${name}/*.cpp)
  foreach(skip ${ARGN})
    list(REMOVE_ITEM srcs ${CMAKE_SOURCE_DIR}/tests/${name}/${skip})
  endforeach()
  cmake_language(CALL tangrel_${kind}_test_of ${name} ${srcs})
endfunction()

# drawing, puzzle and settings, the folders named after kind, then the package reader and
# writer and the platform code every implementation shares.
function(tangrel_shared_unit_tests kind)
  foreach(name drawing puzzle settings ${ARGN})
    tangrel_folder_test(${kind} ${name})
  endforeach()
  # The package tool and its PNG toolkit are Linux programs; the reader and writer are here.
  tangrel_folder_test(${kind} package tool_test.cpp toolkit_test.cpp)
  # File reads, the INI reader, the settings store, the event queue, the clocks and random
  # numbers.
  set(t ${CMAKE_SOURCE_DIR}/tests/platform)
  cmake_language(CALL tangrel_${kind}_test_of platform_shared ${t}/files_test.cpp ${t}/ini_test.cpp
    ${t}/settings_store_test.cpp ${t}/event_queue_test.cpp ${t}/clocks_test.cpp)
endfunction()
