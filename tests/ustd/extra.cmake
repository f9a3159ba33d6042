# Child processes of the ustd tests: they crash, hang or signal on purpose, and are started
# by the tests from the folder of ustd_tests.exe (copied elsewhere where the folder matters).
add_executable(ustd_child ${CMAKE_CURRENT_SOURCE_DIR}/ustd/child/UstdChildMain.cpp)
target_link_libraries(ustd_child PRIVATE tw_ustd)

add_library(fake_breakpad SHARED ${CMAKE_CURRENT_SOURCE_DIR}/ustd/child/FakeBreakpad.cpp)
set_target_properties(fake_breakpad PROPERTIES PREFIX "" OUTPUT_NAME "fake_breakpad")

if(TARGET ustd_tests)
  add_dependencies(ustd_tests ustd_child fake_breakpad)
endif()
