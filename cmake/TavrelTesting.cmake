# tavrel_add_test(<name> SOURCES <files...> LIBS <targets...>)
# A GoogleTest executable registered with CTest; widget tests run offscreen.
function(tavrel_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${TAVREL_SRC} ${CMAKE_SOURCE_DIR}/tests)
  # Tests that read the shipped data files find the source tree here.
  target_compile_definitions(${name} PRIVATE TAVREL_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen TIMEOUT 600)
endfunction()

# tavrel_add_bench(<name> SOURCES <files...> LIBS <targets...>)
function(tavrel_add_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark)
  target_include_directories(${name} PRIVATE ${TAVREL_SRC} ${CMAKE_SOURCE_DIR}/tests)
endfunction()
