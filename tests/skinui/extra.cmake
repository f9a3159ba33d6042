# The skin tests read the real package from the embedded resource (ZIPRES 101, icon 102).
if(TARGET skinui_tests AND TARGET tw_skin_resources)
  target_sources(skinui_tests PRIVATE $<TARGET_OBJECTS:tw_skin_resources>)
  add_dependencies(skinui_tests tw_skin_resources)
endif()
