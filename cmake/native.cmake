# Native build of the window-free logic and its tests, with sanitizers.
find_package(GTest QUIET)
if(NOT GTest_FOUND)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  add_library(GTest::gtest_main ALIAS gtest_main)
endif()

set(sanitize -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
add_library(tenvaro_pure STATIC ${TENVARO_PURE_SOURCES})
target_include_directories(tenvaro_pure PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(tenvaro_pure PUBLIC ${TENVARO_CHARSET_FLAGS} ${TENVARO_WARNINGS} ${sanitize})
target_link_options(tenvaro_pure PUBLIC ${sanitize})

file(GLOB pure_tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/pure/*.cpp)
add_executable(pure_tests_native ${pure_tests})
target_link_libraries(pure_tests_native PRIVATE tenvaro_pure GTest::gtest_main)
add_test(NAME pure_native COMMAND pure_tests_native)
