# Test data kept outside the repository, beside it by default: the html5lib tree-construction cases
# (*.dat) for the parser's round-trip test, and cut-down real pages for the browser fidelity test.
# A developer without a folder sees those cases skipped with a message; in CI (CI set in the
# environment) a missing folder fails them, so CI never passes without running them.
get_filename_component(LUMIVANE_SHARED_DIR "${PROJECT_SOURCE_DIR}/../shared" ABSOLUTE)
set(LUMIVANE_HTML5LIB_DIR "${LUMIVANE_SHARED_DIR}/html5lib-tests" CACHE PATH
    "Folder of the html5lib tree-construction tests (*.dat) for the round-trip test")
set(LUMIVANE_FIDELITY_DIR "${LUMIVANE_SHARED_DIR}/fidelity" CACHE PATH
    "Folder of extra pages (*.html) for the browser fidelity test")

# lumivane_add_test(<name> SOURCES <files...> [LIBRARIES <targets...>] [WIDGETS])
#
# One GoogleTest program per call, each test case registered with CTest. The tests know where the
# source tree's snippet folder, the shared HTML test data and the command-line program lie.
# WIDGETS: the program tests windows; it gets a main that makes the QApplication first, Qt Test's
# input helpers, and runs on the offscreen platform so that no display is needed.
function(lumivane_add_test name)
  cmake_parse_arguments(ARG "WIDGETS" "" "SOURCES;LIBRARIES" ${ARGN})
  if(ARG_WIDGETS)
    add_executable(${name} ${ARG_SOURCES} "${PROJECT_SOURCE_DIR}/tests/support/widgets/widget_test_main.cpp")
    target_link_libraries(${name} PRIVATE Qt6::Widgets Qt6::Test)
  else()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  lumivane_target_defaults(${name})
  target_link_libraries(${name} PRIVATE lumivane_engine GTest::gtest GTest::gmock ${ARG_LIBRARIES})
  target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}/src" "${PROJECT_SOURCE_DIR}/tests/support")
  target_compile_definitions(${name} PRIVATE
    LUMIVANE_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    LUMIVANE_SNIPPETS_DIR="${PROJECT_SOURCE_DIR}/snippets"
    LUMIVANE_HTML5LIB_DIR="${LUMIVANE_HTML5LIB_DIR}"
    LUMIVANE_CLI_PATH="$<TARGET_FILE:lumivane-cli>")
  # The command-line tests run the built program with its snippet folder beside it.
  add_dependencies(${name} lumivane-cli lumivane_snippet_folder)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")
  # Window tests need no display. A second ENVIRONMENT entry would be split off as a property of
  # its own on the way to CTest, so the platform goes in as a modification.
  set(platform "")
  if(ARG_WIDGETS)
    set(platform "QT_QPA_PLATFORM=set:offscreen")
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS unit
                       ENVIRONMENT_MODIFICATION "${platform}")
endfunction()

# Every *_test.cpp in the calling folder becomes one test program named after the file.
# lumivane_add_tests_in_folder([LIBRARIES <targets...>] [WIDGETS]) passes both on to each program.
function(lumivane_add_tests_in_folder)
  cmake_parse_arguments(ARG "WIDGETS" "" "LIBRARIES" ${ARGN})
  set(widgets "")
  if(ARG_WIDGETS)
    set(widgets WIDGETS)
  endif()
  file(GLOB test_sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp")
  file(GLOB support_sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/support/*.cpp")
  foreach(source IN LISTS test_sources)
    get_filename_component(stem "${source}" NAME_WE)
    lumivane_add_test(${stem} SOURCES "${source}" ${support_sources} LIBRARIES ${ARG_LIBRARIES} ${widgets})
  endforeach()
endfunction()
