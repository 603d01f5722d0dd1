# Build time: most of the suite's time went into compiling the same Qt headers
# again for every file, and into optimising test programs nobody installs.
#   CMAKE_UNITY_BUILD   each library and program compiles its files in a few
#                       batches (test programs excepted: see below)
#   SNT_PRECOMPILED_HEADERS   one precompiled header of Qt Test and its
#                       Qt headers, shared by every test program of the tree
#   SNT_TEST_PROGRAM_OPTIONS  compiler options of the test programs only
# The first two can be turned off (-DCMAKE_UNITY_BUILD=OFF,
# -DSNT_PRECOMPILED_HEADERS=OFF) to check that each file includes all it needs.

if(NOT DEFINED CMAKE_UNITY_BUILD)
  set(CMAKE_UNITY_BUILD ON)
endif()
set(CMAKE_UNITY_BUILD_BATCH_SIZE 16)
option(SNT_PRECOMPILED_HEADERS "Share one precompiled header of Qt Test across the test programs" ON)
# Test programs are never installed: they need line numbers in a backtrace,
# not full debug information or the optimiser. The module and everything
# installed keep the build type's flags.
set(SNT_TEST_PROGRAM_OPTIONS -O0 -g1 CACHE STRING "Compiler options added for the test programs")

# Every target of DIR and the directories below it.
function(snt_targets_below dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    snt_targets_below(${sub} below)
    list(APPEND targets ${below})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

# Called once every target exists: test programs are compiled file by file
# (a test's classes live in its .cpp; batched, they would count as declared
# in a header), all with the one header of the tree. A precompiled header is
# used only when the compiler sees the same options and the same values of
# the macros it tests as when it was made; -Winvalid-pch says so when it is
# not, and the file is then compiled from the headers as before.
function(snt_speed_up_tests)
  snt_targets_below(${PROJECT_SOURCE_DIR} targets)
  set(tests)
  foreach(t IN LISTS targets)
    get_target_property(type ${t} TYPE)
    get_target_property(libs ${t} LINK_LIBRARIES)
    if(type STREQUAL "EXECUTABLE" AND libs MATCHES "(^|;)(Qt::Test|testsupport|wintestsupport)(;|$)")
      list(APPEND tests ${t})
    endif()
  endforeach()
  if(NOT tests)
    return()
  endif()
  set_target_properties(${tests} PROPERTIES UNITY_BUILD OFF)
  set(options)
  if(NOT MSVC)
    set(options ${SNT_TEST_PROGRAM_OPTIONS})
  endif()
  foreach(t IN LISTS tests)
    target_compile_options(${t} PRIVATE ${options})
  endforeach()
  if(NOT SNT_PRECOMPILED_HEADERS)
    return()
  endif()

  # The donor: a program compiled exactly as a test is (an executable, so
  # position-independent the same way).
  set(main ${PROJECT_BINARY_DIR}/snt_test_pch_main.cpp)
  file(CONFIGURE OUTPUT ${main} CONTENT "int main() { return 0; }\n")
  add_executable(snt_test_pch ${main})
  set_target_properties(snt_test_pch PROPERTIES UNITY_BUILD OFF)
  target_link_libraries(snt_test_pch PRIVATE Qt::Test Qt::Widgets)
  target_precompile_headers(snt_test_pch PRIVATE
    <QtTest> <QSignalSpy> <QApplication> <QWidget> <QLabel> <QScreen>
    <memory> <functional> <vector> <string> <atomic> <mutex>)
  target_compile_options(snt_test_pch PRIVATE ${options})
  set(warn)
  if(NOT MSVC)
    set(warn -Winvalid-pch)
  endif()
  foreach(t snt_test_pch ${tests})
    # Qt 6 names each test's own folders in two macros that its headers test;
    # one value for all keeps the header valid for every test.
    set_target_properties(${t} PROPERTIES QT_TESTCASE_BUILDDIR ${PROJECT_BINARY_DIR})
    target_compile_options(${t} PRIVATE ${warn}
      -UQT_TESTCASE_SOURCEDIR "-DQT_TESTCASE_SOURCEDIR=\"${PROJECT_SOURCE_DIR}/tests\"")
    if(NOT t STREQUAL "snt_test_pch")
      target_precompile_headers(${t} REUSE_FROM snt_test_pch)
    endif()
    # Most tests' moc file is empty; reading the header would be its whole cost.
    get_target_property(dir ${t} BINARY_DIR)
    set_source_files_properties(${dir}/${t}_autogen/mocs_compilation.cpp TARGET_DIRECTORY ${t}
      PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
  endforeach()
endfunction()
