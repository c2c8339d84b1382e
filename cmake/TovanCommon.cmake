# Flags every target of the project shares.

# Sources are UTF-8; every literal becomes GBK bytes, as the programs expect.
# clang has no GBK execution charset: its only use here is the fuzz build, which
# looks for memory faults and keeps UTF-8 literals.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  add_compile_options(-finput-charset=UTF-8 -fexec-charset=GBK)
endif()

set(TOVAN_WARNINGS -Wall -Wextra -Wno-unused-parameter)
if(TOVAN_WERROR)
  list(APPEND TOVAN_WARNINGS -Werror)
endif()

# Test builds (Debug, and the benchmarks' release build) keep the hooks that
# the end-to-end tests drive the programs through; the release files users get
# have none, and only the tests that need no hook are registered there.
if(CMAKE_BUILD_TYPE STREQUAL "Debug" OR TOVAN_WIN_BENCH)
  set(TOVAN_TEST_HOOKS ON)
else()
  set(TOVAN_TEST_HOOKS OFF)
endif()

if(WIN32)
  add_compile_definitions(WINVER=0x0601 _WIN32_WINNT=0x0601 _WIN32_IE=0x0800 NOMINMAX)
  # Static runtime: the programs import Windows system DLLs only.
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()

if(TOVAN_SANITIZE AND NOT WIN32)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# tovan_warnings(target): the project's warning set on a target of our own code.
function(tovan_warnings target)
  target_compile_options(${target} PRIVATE ${TOVAN_WARNINGS})
endfunction()

# Every test that starts a Windows program runs through scripts/own-network:
# a network namespace and display sockets of its own, so that its fixed ports
# and display numbers meet nothing else on the machine (a demo, another run).
set(TOVAN_OWN_NETWORK ${PROJECT_SOURCE_DIR}/scripts/own-network)

# tovan_unit_test(name SOURCES ... LIBS ...): one GoogleTest program, one CTest test.
# Natively it runs directly; in the Windows tree CTest runs it through scripts/wine-run.
function(tovan_unit_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gmock)
  tovan_warnings(${name})
  if(WIN32)
    add_test(NAME ${name}
             COMMAND ${TOVAN_OWN_NETWORK} ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${name}> --gtest_brief=1)
    # Each Windows test program gets a display of its own (scripts/wine-run),
    # so that parallel window tests never share focus or the foreground.
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "TOVAN_OWN_DISPLAY=1")
  else()
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  endif()
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()

# tovan_resources(target rc_file): compiles a resource script kept in UTF-8 in
# the repository. It is converted to GBK first, since windres reads it in the
# code page it declares (#pragma code_page(936)). Files the script names are
# found relative to the script's own folder.
function(tovan_resources target rc_file)
  get_filename_component(rc_abs ${rc_file} ABSOLUTE)
  get_filename_component(rc_dir ${rc_abs} DIRECTORY)
  get_filename_component(rc_name ${rc_abs} NAME_WE)
  set(gbk_rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.${rc_name}.gbk.rc)
  set(res_obj ${CMAKE_CURRENT_BINARY_DIR}/${target}.${rc_name}.res.o)
  file(GLOB rc_deps CONFIGURE_DEPENDS ${rc_dir}/*)
  add_custom_command(
    OUTPUT ${res_obj}
    COMMAND iconv -f UTF-8 -t GBK ${rc_abs} -o ${gbk_rc}
    COMMAND ${CMAKE_RC_COMPILER} -c 936 --include-dir ${rc_dir} -DWINVER=0x0601 -D_WIN32_WINNT=0x0601 -D_WIN32_IE=0x0800 -i ${gbk_rc} -o ${res_obj}
    DEPENDS ${rc_abs} ${rc_deps}
    COMMENT "Resources ${rc_name} for ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE ${res_obj})
endfunction()
