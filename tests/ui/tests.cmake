# The desktop front end's tests: test_ui on Qt's offscreen platform, and one
# end-to-end run of the program in a real X server.
if(PROPCLEAR_QT_FRONTEND)
  find_package(Qt6 REQUIRED COMPONENTS Widgets Test)
  file(GLOB ui_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
  add_executable(test_ui ${ui_test_sources})
  target_link_libraries(test_ui PRIVATE propclear_frontend propclear_test_support Qt6::Widgets
                                        Qt6::Test GTest::gtest)
  add_dependencies(test_ui propclear)
  # Where the installed program looks for its desktop front end, and front
  # ends it must refuse: one of another version, one whose entry point gives
  # nothing.
  add_library(test_ui_other_version_front_end MODULE
    ${CMAKE_CURRENT_LIST_DIR}/modules/other_version_front_end.cpp)
  target_link_libraries(test_ui_other_version_front_end PRIVATE propclear_core_headers)
  add_library(test_ui_null_front_end MODULE ${CMAKE_CURRENT_LIST_DIR}/modules/null_front_end.cpp)
  target_link_libraries(test_ui_null_front_end PRIVATE propclear_core_headers)
  add_dependencies(test_ui test_ui_other_version_front_end test_ui_null_front_end)
  target_compile_definitions(test_ui PRIVATE
    PROPCLEAR_INSTALLED_DESKTOP_MODULE="${CMAKE_INSTALL_FULL_LIBDIR}/propclear/$<TARGET_FILE_NAME:propclear_desktop>"
    PROPCLEAR_OTHER_VERSION_FRONT_END="$<TARGET_FILE:test_ui_other_version_front_end>"
    PROPCLEAR_NULL_FRONT_END="$<TARGET_FILE:test_ui_null_front_end>")
  gtest_discover_tests(test_ui DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)

  add_test(NAME ui_desktop_end_to_end
    COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/desktop_end_to_end.sh $<TARGET_FILE:propclear>
            ${CMAKE_SOURCE_DIR}/examples ${CMAKE_CURRENT_BINARY_DIR}/desktop-screenshots)
  set_tests_properties(ui_desktop_end_to_end PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
endif()

# The studio's model without widgets: also built for the sanitizer suite,
# which leaves the rest of the desktop front end out.
if(TARGET propclear_studio_model)
  find_package(Qt6 REQUIRED COMPONENTS Core Test)
  file(GLOB studio_model_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/studio_model/*.cpp)
  add_executable(test_studio_model ${studio_model_test_sources})
  target_link_libraries(test_studio_model PRIVATE propclear_studio_model propclear_test_support
                                                  Qt6::Core Qt6::Test GTest::gtest)
  gtest_discover_tests(test_studio_model DISCOVERY_TIMEOUT 60)
endif()
