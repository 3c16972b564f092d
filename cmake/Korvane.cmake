# Helpers shared by every folder of the suite.
include(GoogleTest)

function(korvane_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  # clang warns of an unused constant in -Wall; so that a g++ build (the one
  # CI runs) catches it too, g++ is asked for the same.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -Wunused-const-variable=1)
  endif()
endfunction()

# korvane_library(<name> [DEPS <targets>...])
# A static library of every .cpp in the calling folder. A folder without
# sources yet gives an interface library so that dependants still link.
function(korvane_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    korvane_warnings(${name})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# korvane_test(<name> [GUI] [DEPS <targets>...] [RESOURCES <programs>...])
# A GoogleTest executable of every .cpp in the calling folder. GUI tests get
# the window fixtures with the smoke program's resources (and those of the
# RESOURCES programs, which platform::StartApplication("<program>") finds)
# and run headless under Qt's offscreen platform; the others link no toolkit
# at all.
function(korvane_test name)
  cmake_parse_arguments(ARG "GUI" "" "DEPS;RESOURCES" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources} $<TARGET_OBJECTS:korvane_test_main>)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} korvane_test_support GTest::gtest)
  # The tests' source folder, below which their fixture files lie (__FILE__
  # is relative when a compiler cache rewrites the paths).
  target_compile_definitions(${name} PRIVATE KORVANE_TESTS_DIR="${PROJECT_SOURCE_DIR}/tests")
  set(environment "")
  if(ARG_GUI)
    target_link_libraries(${name} PRIVATE korvane_test_support_gui korvane_resources_smoke)
    foreach(program ${ARG_RESOURCES})
      target_link_libraries(${name} PRIVATE korvane_resources_${program})
    endforeach()
    set(environment "QT_QPA_PLATFORM=offscreen")
  endif()
  korvane_warnings(${name})
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    TEST_PREFIX "${name}:"
    PROPERTIES ENVIRONMENT "${environment}"
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()
