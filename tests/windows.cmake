# The Windows stage's own tests: Wine for the whole run, the end-to-end tests
# of the Windows program, and its comparison with the Linux program. The unit
# tests (tests/CMakeLists.txt) are built for Windows and run under Wine,
# CTest's emulator; the programs that drive the Windows program with real
# files, pipes and terminals are built for this machine, in build-windows/host
# from the same sources, and run here. A 32-bit build without 32-bit Wine
# (ANGLECONV_WINE_MISSING, cmake/windows.cmake) builds its Windows programs
# and zip, checks their target and the zip's contents, and skips the rest,
# each skipped test with the reason.

if(ANGLECONV_PROGRAM_UNDER_TEST)
  # The half built for this machine: the end-to-end tests, run against the
  # Windows program under Wine; the Linux program is built beside them.
  angleconv_test_binary(end_to_end angleconv_platform)
  target_compile_definitions(end_to_end_tests PRIVATE ANGLECONV_BINARY="${ANGLECONV_PROGRAM_UNDER_TEST}"
    ANGLECONV_EMULATOR="${ANGLECONV_PROGRAM_EMULATOR}" ANGLECONV_UNDER_WINE ANGLECONV_MODULE_NAME="angleconv.exe")
  target_link_libraries(end_to_end_tests PRIVATE util)
  return()
endif()

# One Wine prefix and one wineserver for the whole run: started first,
# ended last, whatever fails between.
set(wine_run ${CMAKE_CROSSCOMPILING_EMULATOR})
if(NOT ANGLECONV_WINE_MISSING)
  add_test(NAME wine.start COMMAND ${wine_run} --start)
  add_test(NAME wine.stop COMMAND ${wine_run} --stop)
  set_tests_properties(wine.start PROPERTIES FIXTURES_SETUP wine TIMEOUT 120)
  set_tests_properties(wine.stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60)
  # One registry for the whole run: the test that writes the override's key
  # and deletes it again never runs beside the test that expects no key.
  # The tests are named only when CTest lists them, so the lock is set by a
  # script CTest reads after that list.
  set(registry_lock ${CMAKE_CURRENT_BINARY_DIR}/registry_lock.cmake)
  file(WRITE ${registry_lock} "set_tests_properties(core.FpuEnvironmentTest.OverrideReadsTheSystemRegistry \
core.FpuEnvironmentTest.ThisPlatformHasNoOverride PROPERTIES RESOURCE_LOCK wine_registry)\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${registry_lock})
endif()

# The test programs that are not built for Windows, each a skipped test
# that says why.
function(angleconv_not_under_wine folder reason)
  angleconv_skipped_test(${folder}.not_under_wine "${reason}")
endfunction()
angleconv_not_under_wine(platform
  "they test the POSIX stand-ins of the Windows calls; this build calls Windows itself")
angleconv_not_under_wine(streams
  "their fixtures swap POSIX descriptors for pipes, /dev/full and pseudo-terminals; the end-to-end tests run the streams under Wine on files and pipes")

if(ANGLECONV_WINE_MISSING)
  # Nothing is built for this machine: its programs would only drive Wine.
  angleconv_skipped_test(end_to_end.under_wine "${ANGLECONV_WINE_MISSING}")
  angleconv_skipped_test(end_to_end.WindowsAgainstLinux "${ANGLECONV_WINE_MISSING}")
else()
  # The half built for this machine, with the compiler of this machine.
  include(ExternalProject)
  set(host ${CMAKE_BINARY_DIR}/host)
  ExternalProject_Add(host_programs
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${host}
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++ -DANGLECONV_TESTS=ON
      -DANGLECONV_PROGRAM_UNDER_TEST=$<TARGET_FILE:angleconv> -DANGLECONV_PROGRAM_EMULATOR=${wine_run}
    BUILD_COMMAND ${CMAKE_COMMAND} --build ${host} --target angleconv end_to_end_tests
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    DEPENDS angleconv)

  file(GLOB end_to_end_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/end_to_end/*_test.cpp)
  gtest_add_tests(TARGET ${host}/tests/end_to_end_tests SOURCES ${end_to_end_sources} TEST_PREFIX end_to_end.
    TEST_LIST end_to_end_tests)
  set_tests_properties(${end_to_end_tests} PROPERTIES FIXTURES_REQUIRED wine
    SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")

  # The Windows program against the Linux program on random dialogues and byte
  # soups: the same bytes and exit codes. A few of each here; the script's
  # defaults (500 of each) for a longer comparison by hand.
  add_test(NAME end_to_end.WindowsAgainstLinux
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/end_to_end/compare_programs.py --dialogues 60 --soups 60
      ${host}/angleconv ${wine_run} $<TARGET_FILE:angleconv>)
  set_tests_properties(end_to_end.WindowsAgainstLinux PROPERTIES FIXTURES_REQUIRED wine)
endif()

# The zip of make package: built by the first test, checked by the second
# (without Wine, its contents alone, and then the check counts as skipped).
add_test(NAME package.windows_zip_build COMMAND ${CMAKE_CPACK_COMMAND} --config CPackConfig.cmake
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
set_tests_properties(package.windows_zip_build PROPERTIES FIXTURES_SETUP windows_zip)
if(ANGLECONV_WINE_MISSING)
  add_test(NAME package.windows_zip COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/check-windows-zip
    ${CMAKE_BINARY_DIR}/${ANGLECONV_WINDOWS_ZIP}.zip ${PROJECT_VERSION} --without-wine "${ANGLECONV_WINE_MISSING}")
  set_tests_properties(package.windows_zip PROPERTIES FIXTURES_REQUIRED windows_zip SKIP_RETURN_CODE 77)
else()
  add_test(NAME package.windows_zip COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/check-windows-zip
    ${CMAKE_BINARY_DIR}/${ANGLECONV_WINDOWS_ZIP}.zip ${PROJECT_VERSION} ${wine_run})
  set_tests_properties(package.windows_zip PROPERTIES FIXTURES_REQUIRED "windows_zip;wine")
endif()

# The program started by Windows itself with a standard handle missing,
# which no POSIX parent can arrange.
add_executable(started_by_windows_tests end_to_end/windows/missing_handles_test.cpp)
set_property(GLOBAL APPEND PROPERTY angleconv_test_programs started_by_windows_tests)
target_link_libraries(started_by_windows_tests PRIVATE ${angleconv_test_main})
add_dependencies(started_by_windows_tests angleconv)
if(ANGLECONV_WINE_MISSING)
  angleconv_skipped_test(end_to_end.started_by_windows "${ANGLECONV_WINE_MISSING}")
else()
  gtest_discover_tests(started_by_windows_tests TEST_PREFIX end_to_end. DISCOVERY_MODE PRE_TEST
    ${angleconv_discovery_options})
endif()
