# Whole-installation checks: every scenario under tools/scenarios is built into a Wine prefix
# of its own by tools/siminstall.py and scanned by TarnwellScan.exe (tools/runscenario.py).
# The scenarios share that prefix, its services and drive letters, so they never run at once.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
file(GLOB scan_scenarios CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/scenarios/*.scn)
foreach(scenario ${scan_scenarios})
  get_filename_component(name ${scenario} NAME_WE)
  add_test(NAME scan_${name}
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/runscenario.py
      --prefix ${CMAKE_BINARY_DIR}/scanprefix --root ${CMAKE_BINARY_DIR}/scanroot
      --exe $<TARGET_FILE:TarnwellScan> --lock-holder $<TARGET_FILE:DbLockHolder>
      ${scenario})
  set_tests_properties(scan_${name} PROPERTIES TIMEOUT 600 RESOURCE_LOCK tarnwell_scanprefix)
endforeach()
