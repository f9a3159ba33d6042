# The skin tests read the real package from the embedded resource (ZIPRES 101, icon 102).
if(TARGET skinui_tests AND TARGET tw_skin_resources)
  target_sources(skinui_tests PRIVATE $<TARGET_OBJECTS:tw_skin_resources>)
  add_dependencies(skinui_tests tw_skin_resources)
endif()

# The program icon as a file, for the icon-file path of the image loader.
if(TARGET skinui_tests AND DEFINED TARNWELL_SKIN_ZIP)
  get_filename_component(skin_dir ${TARNWELL_SKIN_ZIP} DIRECTORY)
  target_compile_definitions(skinui_tests PRIVATE "TW_SKIN_ICO=\"Z:${skin_dir}/images/tarnwell.ico\"")
endif()
