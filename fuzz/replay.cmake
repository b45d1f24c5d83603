# SPDX-FileCopyrightText: 2026 The quorvantile_log authors
# SPDX-License-Identifier: Apache-2.0

# The seed replay of the export fuzz targets in the regular test build: every fuzz_*.cpp that
# declares QV_FUZZ_TARGET is compiled with its libFuzzer entry points renamed, one executable
# runs any of them over its committed seeds, and each target is one test.
find_package(nlohmann_json 3 REQUIRED)
file(GLOB QV_FUZZ_EXPORT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/fuzz_*.cpp)
set(QV_REPLAY_LIST "")
set(QV_REPLAY_SOURCES "")
foreach(src ${QV_FUZZ_EXPORT_SOURCES})
  file(READ ${src} body)
  if(NOT body MATCHES "QV_FUZZ_TARGET")
    continue()
  endif()
  get_filename_component(name ${src} NAME_WE)
  string(APPEND QV_REPLAY_LIST "QV_REPLAY_TARGET(${name})\n")
  list(APPEND QV_REPLAY_SOURCES ${src})
  set_source_files_properties(${src} PROPERTIES COMPILE_DEFINITIONS
    "LLVMFuzzerTestOneInput=replay_one_${name};LLVMFuzzerInitialize=replay_init_${name}")
  add_test(NAME FuzzSeeds.${name} COMMAND qv_fuzz_replay ${name} ${CMAKE_SOURCE_DIR}/fuzz/corpus/${name})
endforeach()
file(WRITE ${CMAKE_BINARY_DIR}/fuzz_replay/replay_targets.inc.new "${QV_REPLAY_LIST}")
file(COPY_FILE ${CMAKE_BINARY_DIR}/fuzz_replay/replay_targets.inc.new ${CMAKE_BINARY_DIR}/fuzz_replay/replay_targets.inc
     ONLY_IF_DIFFERENT)
add_executable(qv_fuzz_replay ${CMAKE_SOURCE_DIR}/fuzz/replay_main.cpp ${QV_REPLAY_SOURCES})
target_include_directories(qv_fuzz_replay PRIVATE ${CMAKE_BINARY_DIR}/fuzz_replay ${CMAKE_SOURCE_DIR}/include)
target_link_libraries(qv_fuzz_replay PRIVATE quorvantile_log_core OpenSSL::Crypto nlohmann_json::nlohmann_json)
target_compile_options(qv_fuzz_replay PRIVATE ${QV_WARNINGS})
# GCC 12 at -O3 reports vector copies of spans in the inlined harness code as overflows of
# zero-sized regions (a known false positive of its flow analysis); clang builds the same
# sources warning-free under the fuzz preset.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  target_compile_options(qv_fuzz_replay PRIVATE -Wno-stringop-overflow)
endif()
