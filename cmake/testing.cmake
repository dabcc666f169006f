# One test executable holds every unit test: under Wine each process start costs
# seconds, so each executable is started once and its cases run inside it.
if(WIN32)
  # GoogleTest for mingw, built from the Debian sources (needs the posix thread model).
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(TRWK_GTEST_MAIN gtest gmock)
else()
  find_package(GTest REQUIRED)
  set(TRWK_GTEST_MAIN GTest::gtest GTest::gmock)
endif()

set_property(GLOBAL PROPERTY TRWK_TEST_SOURCES "")
set_property(GLOBAL PROPERTY TRWK_TEST_LIBS "")

# Folders hand their *_test.cpp files and the libraries they test to the one executable.
function(trwk_tests)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  foreach(src ${T_SOURCES})
    get_filename_component(abs ${src} ABSOLUTE)
    set_property(GLOBAL APPEND PROPERTY TRWK_TEST_SOURCES ${abs})
  endforeach()
  set_property(GLOBAL APPEND PROPERTY TRWK_TEST_LIBS ${T_LIBS})
endfunction()

function(trwk_add_test_executable name)
  get_property(srcs GLOBAL PROPERTY TRWK_TEST_SOURCES)
  get_property(libs GLOBAL PROPERTY TRWK_TEST_LIBS)
  list(REMOVE_DUPLICATES libs)
  add_executable(${name} ${srcs} ${PROJECT_SOURCE_DIR}/testing/test_main.cpp)
  trwk_target_defaults(${name})
  # Test data is found from the source tree, wherever the build and the compiler cache are.
  target_compile_definitions(${name} PRIVATE TRWK_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  target_link_libraries(${name} PRIVATE ${libs} trwk_testing ${TRWK_GTEST_MAIN})
  if(WIN32)
    target_link_options(${name} PRIVATE -static)
  endif()
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()
