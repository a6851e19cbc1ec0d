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
file(GLOB UI_SOURCES CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/ui/app/*.cpp ${PROJECT_SOURCE_DIR}/ui/dialogs/*.cpp)
list(FILTER UI_SOURCES EXCLUDE REGEX "/main\\.cpp$")
add_library(ui STATIC ${UI_SOURCES})
target_include_directories(ui PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_options(ui PRIVATE ${PROJECT_WARNINGS})
target_link_libraries(ui PUBLIC engine comctl32 comdlg32 gdi32 user32 advapi32 shell32 ole32 uuid)

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
add_executable(win32_tests ${WIN32_TEST_SOURCES})
target_compile_options(win32_tests PRIVATE ${PROJECT_WARNINGS})
target_link_libraries(win32_tests PRIVATE engine gtest gmock gtest_main)
gtest_discover_tests(win32_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
  PROPERTIES ENVIRONMENT "VELLOX_TEST_ROOT=${CMAKE_BINARY_DIR}/test-trees")

file(GLOB UI_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/ui/*.cpp)
add_executable(ui_tests ${UI_TEST_SOURCES} ${UI_RESOURCES})
target_compile_options(ui_tests PRIVATE ${PROJECT_WARNINGS})
target_link_libraries(ui_tests PRIVATE ui version gtest gmock gtest_main)
gtest_discover_tests(ui_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
  PROPERTIES ENVIRONMENT "VELLOX_TEST_ROOT=${CMAKE_BINARY_DIR}/test-trees")

# Benchmarks print figures; they are programs, never tests.
file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/bench/*.cpp)
foreach(source ${BENCH_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source} ${UI_RESOURCES})
  target_compile_options(${name} PRIVATE ${PROJECT_WARNINGS})
  target_link_libraries(${name} PRIVATE ui)
endforeach()
