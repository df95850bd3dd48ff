include(GoogleTest)

# Per-label limits: a hung test fails instead of stalling CI.
set(ORDALIS_TIMEOUT_unit 60)
set(ORDALIS_TIMEOUT_gui 120)
set(ORDALIS_TIMEOUT_e2e 120)
set(ORDALIS_TIMEOUT_fuzz 120)

# ordalis_add_test(NAME LABEL unit|gui|e2e|fuzz [WIDGETS] SOURCES ... LIBS ...)
# Builds one GoogleTest executable and registers each of its cases with CTest. WIDGETS gives a
# test of another label (an end-to-end test of the pages) the widgets' application object.
# Every test gets a private HOME and XDG folders so it never touches the user's settings.
function(ordalis_add_test name)
  cmake_parse_arguments(T "WIDGETS" "LABEL" "SOURCES;LIBS" ${ARGN})
  if(NOT T_LABEL)
    message(FATAL_ERROR "ordalis_add_test(${name}) needs a LABEL")
  endif()
  add_executable(${name} ${T_SOURCES})
  if(T_LABEL STREQUAL "gui" OR T_WIDGETS)
    set(main ordalis_test_main_gui)
  else()
    set(main ordalis_test_main_core)
  endif()
  target_link_libraries(${name} PRIVATE ${T_LIBS} ordalis_fakes ${main} GTest::gmock ordalis_warnings)
  # Shared test headers are included from the top: "tests/support/...".
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE
    ORDALIS_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
    ORDALIS_BINARY_DIR="${PROJECT_BINARY_DIR}")
  set(home ${CMAKE_CURRENT_BINARY_DIR}/${name}.home)
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 30
    PROPERTIES
      LABELS ${T_LABEL}
      TIMEOUT ${ORDALIS_TIMEOUT_${T_LABEL}}
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HOME=${home};XDG_CONFIG_HOME=${home}/.config;XDG_DATA_HOME=${home}/.local/share;XDG_RUNTIME_DIR=${home}/run"
    )
  file(MAKE_DIRECTORY ${home}/.config ${home}/.local/share ${home}/run)
  file(CHMOD ${home}/run DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
endfunction()
