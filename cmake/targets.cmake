# Targets are found by convention, so adding a source file needs no CMake edit:
#   engine/src/**/*.cpp        -> qv_engine (static library)
#   game/src/**/*.cpp          -> glimvale_game (static library), but flow/main.cpp
#   game/src/flow/main.cpp     -> glimvale (the game)
#   tools/*.cpp                -> one executable each
#   tests/support/*.cpp        -> qv_test_support (shared test helpers)
#   tests/**/test_*.cpp        -> one GoogleTest executable each
#   tests/**/*_prog.cpp        -> one helper program each (driven by tests)
#   fuzz/fuzz_*.cpp            -> one libFuzzer target each (QV_FUZZ)
#   bench/bench_*.cpp          -> one benchmark each (QV_BENCH)

file(GLOB_RECURSE QV_ENGINE_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/engine/src/*.cpp)
add_library(qv_engine STATIC ${QV_ENGINE_SOURCES} ${PROJECT_SOURCE_DIR}/cmake/empty.cpp)
target_include_directories(qv_engine PUBLIC ${PROJECT_SOURCE_DIR}/engine/src)
target_include_directories(qv_engine SYSTEM PUBLIC ${UTF8CPP_INCLUDE_DIR})
target_link_libraries(qv_engine PUBLIC
  PkgConfig::SDL2 OpenGL::GL PkgConfig::LUA51 PkgConfig::PUGIXML PkgConfig::PNG JPEG::JPEG
  PkgConfig::MINIZIP PkgConfig::ZLIB PkgConfig::OGG PkgConfig::THEORA PkgConfig::VORBIS
  PkgConfig::OPENAL Threads::Threads ${CMAKE_DL_LIBS})

if(QV_SANITIZE)
  target_sources(qv_engine INTERFACE ${PROJECT_SOURCE_DIR}/cmake/keep_libraries_loaded.c)
endif()

file(GLOB_RECURSE QV_GAME_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/game/src/*.cpp)
list(FILTER QV_GAME_SOURCES EXCLUDE REGEX ".*/game/src/flow/main\\.cpp$")
add_library(glimvale_game STATIC ${QV_GAME_SOURCES} ${PROJECT_SOURCE_DIR}/cmake/empty.cpp)
target_include_directories(glimvale_game PUBLIC ${PROJECT_SOURCE_DIR}/game/src)
target_link_libraries(glimvale_game PUBLIC qv_engine)
# The game looks for its content in the source tree too, so a build runs from any folder.
set_property(SOURCE ${PROJECT_SOURCE_DIR}/game/src/flow/content_folder.cpp APPEND PROPERTY
  COMPILE_DEFINITIONS QV_SOURCE_MEDIA_DIR="${PROJECT_SOURCE_DIR}/media/")

add_executable(glimvale ${PROJECT_SOURCE_DIR}/game/src/flow/main.cpp)
target_link_libraries(glimvale PRIVATE glimvale_game)
# A build of a few tests (QV_TEST_ONLY) does not make the game itself.
if(QV_TEST_ONLY)
  set_target_properties(glimvale PROPERTIES EXCLUDE_FROM_ALL ON)
endif()

file(GLOB QV_TOOL_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tools/*.cpp)
foreach(src ${QV_TOOL_SOURCES})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_link_libraries(${name} PRIVATE glimvale_game PkgConfig::FREETYPE)
  # The simulator falls back on the content of the tree it was built from.
  if(name STREQUAL "board_sim")
    target_compile_definitions(${name} PRIVATE QV_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  endif()
  if(QV_TEST_ONLY)
    set_target_properties(${name} PROPERTIES EXCLUDE_FROM_ALL ON)
  endif()
endforeach()

if(QV_PACK_MEDIA)
  add_custom_target(pack_media ALL
    COMMAND qvp_pack ${PROJECT_SOURCE_DIR}/media ${PROJECT_SOURCE_DIR}/media/data.qvp
    DEPENDS qvp_pack
    COMMENT "Packing media/ into data.qvp")
endif()

if(QV_TESTS)
  enable_testing()
  file(GLOB QV_TEST_SUPPORT CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/support/*.cpp)
  add_library(qv_test_support STATIC ${QV_TEST_SUPPORT} ${PROJECT_SOURCE_DIR}/cmake/empty.cpp)
  target_include_directories(qv_test_support PUBLIC ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(qv_test_support PUBLIC glimvale_game GTest::gtest GTest::gmock PkgConfig::FREETYPE)
  target_compile_definitions(qv_test_support PUBLIC
    QV_SOURCE_DIR="${PROJECT_SOURCE_DIR}" QV_BINARY_DIR="${PROJECT_BINARY_DIR}")

  file(GLOB_RECURSE QV_TEST_PROGS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/*_prog.cpp)
  foreach(src ${QV_TEST_PROGS})
    file(RELATIVE_PATH rel ${PROJECT_SOURCE_DIR}/tests ${src})
    if(QV_TEST_ONLY AND NOT rel MATCHES "${QV_TEST_ONLY}")
      continue()
    endif()
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE qv_test_support)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/test_progs)
    list(APPEND QV_TEST_PROG_TARGETS ${name})
  endforeach()

  file(GLOB_RECURSE QV_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/test_*.cpp)
  foreach(src ${QV_TEST_SOURCES})
    file(RELATIVE_PATH rel ${PROJECT_SOURCE_DIR}/tests ${src})
    if(QV_TEST_ONLY AND NOT rel MATCHES "${QV_TEST_ONLY}")
      continue()
    endif()
    get_filename_component(dir ${rel} DIRECTORY)
    get_filename_component(name ${src} NAME_WE)
    string(REPLACE "/" "_" prefix "${dir}")
    if(prefix)
      set(target "${prefix}_${name}")
    else()
      set(target "${name}")
    endif()
    add_executable(${target} ${src})
    target_link_libraries(${target} PRIVATE qv_test_support GTest::gtest_main)
    if(QV_TEST_PROG_TARGETS)
      add_dependencies(${target} ${QV_TEST_PROG_TARGETS})
    endif()
    if(NOT QV_TEST_ONLY)
      add_dependencies(${target} glimvale)
    endif()
    # No processor affinity per test: the programs pin no thread, and a test
    # confined to one processor would run the game, its jobs and the GL
    # driver's threads on that one.
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST
      PROPERTIES ENVIRONMENT "QV_TEST_PROGS=${PROJECT_BINARY_DIR}/test_progs;QV_GLIMVALE=$<TARGET_FILE:glimvale>"
      DISCOVERY_TIMEOUT 60)
  endforeach()

  # Platform headers stay behind the platform layer.
  add_test(NAME platform_headers_confined
    COMMAND ${CMAKE_COMMAND} -DROOT=${PROJECT_SOURCE_DIR} -P ${PROJECT_SOURCE_DIR}/cmake/check_platform_includes.cmake)
  # The board reaches the game above it only through BoardHost and Mode.
  add_test(NAME board_includes_confined
    COMMAND ${CMAKE_COMMAND} -DROOT=${PROJECT_SOURCE_DIR} -P ${PROJECT_SOURCE_DIR}/cmake/check_board_includes.cmake)
endif()

if(QV_FUZZ)
  file(GLOB QV_FUZZ_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/fuzz/fuzz_*.cpp)
  foreach(src ${QV_FUZZ_SOURCES})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE glimvale_game)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  endforeach()
endif()

if(QV_BENCH)
  file(GLOB QV_BENCH_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/bench/bench_*.cpp)
  foreach(src ${QV_BENCH_SOURCES})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE glimvale_game benchmark::benchmark PkgConfig::FREETYPE)
    # Benchmarks that stand on the test fixtures (a window, content) use them.
    if(TARGET qv_test_support)
      target_link_libraries(${name} PRIVATE qv_test_support)
    endif()
  endforeach()
endif()
