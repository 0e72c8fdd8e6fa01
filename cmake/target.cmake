# The Win32 program, its tests and its benchmarks, cross-built with MinGW-w64.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(static_link -static -static-libgcc -static-libstdc++)
set(win_libs user32 gdi32 kernel32 comctl32 ole32 olepro32 uuid)

# Everything but the entry point, so that tests link the real code.
file(GLOB core_sources CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/app/*.cpp ${CMAKE_SOURCE_DIR}/ui/*.cpp
     ${CMAKE_SOURCE_DIR}/hotkeys/*.cpp ${CMAKE_SOURCE_DIR}/countdown/*.cpp
     ${CMAKE_SOURCE_DIR}/capture/*.cpp ${CMAKE_SOURCE_DIR}/messenger/*.cpp
     ${CMAKE_SOURCE_DIR}/clipboard/*.cpp ${CMAKE_SOURCE_DIR}/skins/*.cpp
     ${CMAKE_SOURCE_DIR}/common/*.cpp)
list(REMOVE_ITEM core_sources ${CMAKE_SOURCE_DIR}/app/main.cpp)
add_library(tenvaro_core STATIC ${core_sources})
target_include_directories(tenvaro_core PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_definitions(tenvaro_core PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX
                           _WIN32_WINNT=0x0601 WINVER=0x0601)
target_compile_options(tenvaro_core PUBLIC ${TENVARO_CHARSET_FLAGS} ${TENVARO_WARNINGS})
target_link_libraries(tenvaro_core PUBLIC ${win_libs})
target_link_options(tenvaro_core PUBLIC ${static_link})

add_executable(Tenvaro WIN32 app/main.cpp res/tenvaro.rc)
target_link_libraries(Tenvaro PRIVATE tenvaro_core)
set_target_properties(Tenvaro PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# Test programs: every folder under tests/ with sources is one executable.
# Those that touch the desktop share one lock: they move the focus and inject input.
function(tenvaro_test name)
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${name}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  add_executable(${name}_tests ${srcs} ${ARGN})
  target_link_libraries(${name}_tests PRIVATE tenvaro_core gtest)
  target_include_directories(${name}_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  set_target_properties(${name}_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name}_tests)
  set_tests_properties(${name} PROPERTIES RESOURCE_LOCK desktop TIMEOUT 600
                       ENVIRONMENT "TENVARO_EXE=${CMAKE_BINARY_DIR}/Tenvaro.exe")
  add_dependencies(${name}_tests Tenvaro tenvaro_fixtures)
endfunction()

# Fixture programs (stand-in peers) that the tests start.
add_custom_target(tenvaro_fixtures)
file(GLOB fixture_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fixtures/*.cpp)
foreach(src IN LISTS fixture_sources)
  get_filename_component(fx ${src} NAME_WE)
  add_executable(fixture_${fx} WIN32 ${src})
  target_link_libraries(fixture_${fx} PRIVATE tenvaro_core)
  set_target_properties(fixture_${fx} PROPERTIES OUTPUT_NAME ${fx}
                        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fixtures)
  add_dependencies(tenvaro_fixtures fixture_${fx})
endforeach()

add_library(tenvaro_test_main STATIC ${CMAKE_SOURCE_DIR}/tests/support/test_main.cpp
            ${CMAKE_SOURCE_DIR}/tests/support/process.cpp
            ${CMAKE_SOURCE_DIR}/tests/support/keys.cpp
            ${CMAKE_SOURCE_DIR}/tests/support/program.cpp)
target_link_libraries(tenvaro_test_main PUBLIC tenvaro_core gtest)
target_include_directories(tenvaro_test_main PUBLIC ${CMAKE_SOURCE_DIR}/tests)

foreach(t pure ui hotkeys app chords countdown)
  tenvaro_test(${t})
  if(TARGET ${t}_tests)
    target_link_libraries(${t}_tests PRIVATE tenvaro_test_main)
  endif()
endforeach()
if(TEST pure)
  set_tests_properties(pure PROPERTIES RESOURCE_LOCK "")
endif()

# Benchmarks print figures; they are built with everything else and run by hand.
file(GLOB bench_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
foreach(src IN LISTS bench_sources)
  get_filename_component(b ${src} NAME_WE)
  add_executable(bench_${b} ${src})
  target_link_libraries(bench_${b} PRIVATE tenvaro_core)
  set_target_properties(bench_${b} PROPERTIES OUTPUT_NAME ${b}
                        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endforeach()
