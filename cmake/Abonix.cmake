# The version abonix --version shows and the package carries.
set(ABONIX_VERSION 1.0.0)

# abonix_library(NAME SOURCES... DEPENDS libs...)
#   One library per folder. Headers are included by their path from the
#   repository root ("engine/Table.h"), so every library exposes the root.
function(abonix_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  if(ARG_DEPENDS)
    target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
  endif()
endfunction()

# abonix_test(NAME SOURCES... DEPENDS libs...)
#   A GoogleTest executable registered with CTest, run from the build tree.
#   ABONIX_TESTDATA points at shared/testdata when it is found beside the checkout.
function(abonix_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    ABONIX_TESTDATA="${ABONIX_TESTDATA}" ABONIX_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
endfunction()

# The real Paradox files from elsewhere live in the shared folder beside the checkout.
if(NOT DEFINED ABONIX_TESTDATA)
  get_filename_component(_shared "${PROJECT_SOURCE_DIR}/../shared/testdata" ABSOLUTE)
  set(ABONIX_TESTDATA "${_shared}" CACHE PATH "Folder with the Paradox tables from elsewhere")
endif()
