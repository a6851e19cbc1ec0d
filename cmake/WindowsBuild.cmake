# Windows cross build (MinGW-w64): the engine with its Win32 backend, the program, and the
# Windows-side tests, which ctest runs under Wine through the crosscompiling emulator.
# On Windows itself the tests run directly; elsewhere under Wine.
if(CMAKE_CROSSCOMPILING)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine-exec ${CMAKE_BINARY_DIR})
endif()

# GoogleTest built from sources with this toolchain: the Debian package's sources here, or a
# checkout named by GOOGLETEST_SOURCE_DIR on Windows.
set(GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
if(MINGW)
  # One executable without MinGW runtime DLLs beside it.
  add_link_options(-static)
endif()

file(GLOB ENGINE_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/engine/*.cpp)
file(GLOB ENGINE_WIN32_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/engine/win32/*.cpp)
add_library(engine STATIC ${ENGINE_SOURCES} ${ENGINE_WIN32_SOURCES})
target_include_directories(engine PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_options(engine PRIVATE ${PROJECT_WARNINGS})
target_link_libraries(engine PUBLIC shell32 ole32)

# The user interface without its entry point, so tests can drive the real windows in process.
file(GLOB UI_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/ui/framework/*.cpp
  ${PROJECT_SOURCE_DIR}/ui/app/*.cpp ${PROJECT_SOURCE_DIR}/ui/dialogs/*.cpp)
list(FILTER UI_SOURCES EXCLUDE REGEX "/main\\.cpp$")
add_library(ui STATIC ${UI_SOURCES})
target_include_directories(ui PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_options(ui PRIVATE ${PROJECT_WARNINGS})
target_link_libraries(ui PUBLIC engine comctl32 comdlg32 gdi32 user32 advapi32 shell32 shlwapi ole32 uuid)

# Resources are linked into every executable that opens a window or reads a string.
set(UI_RESOURCES ${PROJECT_SOURCE_DIR}/ui/resources/cleaner.rc)
set(UI_RESOURCE_FILES resource.h app.ico notice.bin cleaner.manifest)
list(TRANSFORM UI_RESOURCE_FILES PREPEND ${PROJECT_SOURCE_DIR}/ui/resources/)
set_source_files_properties(${UI_RESOURCES} PROPERTIES OBJECT_DEPENDS "${UI_RESOURCE_FILES}")

add_executable(Vellox WIN32 ${PROJECT_SOURCE_DIR}/ui/app/main.cpp ${UI_RESOURCES})
target_compile_options(Vellox PRIVATE ${PROJECT_WARNINGS})
if(MINGW)
  target_link_options(Vellox PRIVATE -municode)
endif()
target_link_libraries(Vellox PRIVATE ui)

file(GLOB WIN32_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/win32/*.cpp)
# The removal tests run in an environment of their own (below).
list(FILTER WIN32_TEST_SOURCES EXCLUDE REGEX "/removal_[^/]*\\.cpp$")
add_executable(win32_tests ${WIN32_TEST_SOURCES})
target_compile_options(win32_tests PRIVATE ${PROJECT_WARNINGS})
target_link_libraries(win32_tests PRIVATE engine gtest gmock gtest_main)
gtest_discover_tests(win32_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
  PROPERTIES ENVIRONMENT "VELLOX_TEST_ROOT=${CMAKE_BINARY_DIR}/test-trees"
             FIXTURES_REQUIRED LinkTree)

# Wine cannot make symbolic links, so the tree of directory links that the scan tests walk is
# made natively before the Windows-side tests and removed after them (test-trees/links).
if(CMAKE_CROSSCOMPILING)
  add_test(NAME link_tree_setup
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/link-tree create ${CMAKE_BINARY_DIR}/test-trees/links)
  add_test(NAME link_tree_cleanup
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/link-tree remove ${CMAKE_BINARY_DIR}/test-trees/links)
  set_tests_properties(link_tree_setup PROPERTIES FIXTURES_SETUP LinkTree)
  set_tests_properties(link_tree_cleanup PROPERTIES FIXTURES_CLEANUP LinkTree)
endif()

file(GLOB UI_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/ui/*.cpp)
add_executable(ui_tests ${UI_TEST_SOURCES} ${UI_RESOURCES})
target_compile_options(ui_tests PRIVATE ${PROJECT_WARNINGS})
target_link_libraries(ui_tests PRIVATE ui gtest gmock gtest_main)
# The program itself is driven from outside, found beside the tests.
add_dependencies(ui_tests Vellox)
# Files recycled by the window tests go to a recycle bin of their own (see the removal tests).
# Only Wine keeps its bin there; without one the window test that recycles skips.
set(UI_TEST_PROPERTIES ENVIRONMENT "VELLOX_TEST_ROOT=${CMAKE_BINARY_DIR}/test-trees")
if(CMAKE_CROSSCOMPILING)
  list(APPEND UI_TEST_PROPERTIES
    ENVIRONMENT_MODIFICATION "XDG_DATA_HOME=set:${CMAKE_BINARY_DIR}/test-trees/ui-xdg-data")
endif()
gtest_discover_tests(ui_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
  PROPERTIES ${UI_TEST_PROPERTIES})

# The removal tests work on real files with what a Windows program cannot set up for itself
# under Wine: a recycle bin of their own (Wine's is the freedesktop trash below XDG_DATA_HOME,
# kept out of the user's home here), a system without any recycle bin, one on a volume too small
# for the files sent to it, and small file systems that a fixture mounts natively (root only;
# the tests that need them skip without them). The fixture is a bash script, so on Windows
# itself there is none: the tests that need its files skip, and the tests of recycle bins that
# only Wine can stage are not registered.
target_link_libraries(engine PUBLIC advapi32 user32)
set(REMOVAL_TEST_ROOT ${CMAKE_BINARY_DIR}/test-trees/removal)
file(GLOB REMOVAL_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/win32/removal_*.cpp)
add_executable(removal_tests ${REMOVAL_TEST_SOURCES})
target_compile_options(removal_tests PRIVATE ${PROJECT_WARNINGS})
target_link_libraries(removal_tests PRIVATE engine gtest gmock gtest_main)
gtest_discover_tests(removal_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
  TEST_FILTER "-RecycleFileWithoutABin.*:RecycleFileToASmallBin.*"
  PROPERTIES FIXTURES_REQUIRED removal_files ENVIRONMENT "VELLOX_TEST_ROOT=${REMOVAL_TEST_ROOT}"
    ENVIRONMENT_MODIFICATION "XDG_DATA_HOME=set:${REMOVAL_TEST_ROOT}/xdg-data")
if(CMAKE_CROSSCOMPILING)
  add_test(NAME RecycleFileWithoutABin COMMAND removal_tests --gtest_filter=RecycleFileWithoutABin.*)
  set_tests_properties(RecycleFileWithoutABin PROPERTIES FIXTURES_REQUIRED removal_files
    ENVIRONMENT "VELLOX_TEST_ROOT=${REMOVAL_TEST_ROOT};XDG_DATA_HOME=${REMOVAL_TEST_ROOT}/no-such-directory/xdg-data;VELLOX_NO_RECYCLE_BIN=1")
  add_test(NAME RecycleFileToASmallBin COMMAND removal_tests --gtest_filter=RecycleFileToASmallBin.*)
  set_tests_properties(RecycleFileToASmallBin PROPERTIES FIXTURES_REQUIRED removal_files
    ENVIRONMENT "VELLOX_TEST_ROOT=${REMOVAL_TEST_ROOT};XDG_DATA_HOME=${REMOVAL_TEST_ROOT}/small-bin/xdg-data;VELLOX_SMALL_BIN=1")
  add_test(NAME RemovalFiles.Setup COMMAND ${PROJECT_SOURCE_DIR}/scripts/removal-test-files setup ${REMOVAL_TEST_ROOT})
  add_test(NAME RemovalFiles.Cleanup COMMAND ${PROJECT_SOURCE_DIR}/scripts/removal-test-files cleanup ${REMOVAL_TEST_ROOT})
  set_tests_properties(RemovalFiles.Setup PROPERTIES FIXTURES_SETUP removal_files)
  set_tests_properties(RemovalFiles.Cleanup PROPERTIES FIXTURES_CLEANUP removal_files)
endif()

# Benchmarks print figures; they are programs, never tests.
file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/bench/*.cpp)
# The program bench drives the built program from outside and needs none of its code.
list(FILTER BENCH_SOURCES EXCLUDE REGEX "/program_bench\\.cpp$")
add_executable(program_bench ${PROJECT_SOURCE_DIR}/bench/program_bench.cpp)
target_compile_options(program_bench PRIVATE ${PROJECT_WARNINGS})
target_link_libraries(program_bench PRIVATE engine gdi32)
add_dependencies(program_bench Vellox)
foreach(source ${BENCH_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source} ${UI_RESOURCES})
  target_compile_options(${name} PRIVATE ${PROJECT_WARNINGS})
  target_link_libraries(${name} PRIVATE ui)
endforeach()
