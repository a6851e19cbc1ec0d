# Native Linux build: the portable engine and its tests, under AddressSanitizer and
# UndefinedBehaviorSanitizer.
find_package(GTest REQUIRED)
include(GoogleTest)

set(SANITIZERS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)

file(GLOB ENGINE_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/engine/*.cpp)
add_library(engine STATIC ${ENGINE_SOURCES})
target_include_directories(engine PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_options(engine PRIVATE ${PROJECT_WARNINGS})
target_compile_options(engine PUBLIC ${SANITIZERS})
target_link_options(engine PUBLIC ${SANITIZERS})
find_package(Threads REQUIRED)
target_link_libraries(engine PUBLIC Threads::Threads)

file(GLOB ENGINE_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/engine/*.cpp)
add_executable(engine_tests ${ENGINE_TEST_SOURCES})
target_compile_options(engine_tests PRIVATE ${PROJECT_WARNINGS})
target_link_libraries(engine_tests PRIVATE engine GTest::gtest GTest::gtest_main)
gtest_discover_tests(engine_tests DISCOVERY_MODE PRE_TEST)
