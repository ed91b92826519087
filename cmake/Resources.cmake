# The bundle: resources/ is mirrored into bin/resources on every build, next to the
# executables, plus whatever the build generates into it (the shipped database).
set(VANTREL_BUNDLE_DIR "${CMAKE_BINARY_DIR}/bin/resources")
file(GLOB_RECURSE VANTREL_RESOURCE_FILES CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/resources/*")
set(VANTREL_RESOURCE_STAMP "${CMAKE_BINARY_DIR}/resources.stamp")
add_custom_command(
  OUTPUT "${VANTREL_RESOURCE_STAMP}"
  COMMAND ${CMAKE_COMMAND} -E make_directory "${VANTREL_BUNDLE_DIR}"
  COMMAND ${CMAKE_COMMAND} -E copy_directory "${CMAKE_SOURCE_DIR}/resources" "${VANTREL_BUNDLE_DIR}"
  COMMAND ${CMAKE_COMMAND} -E touch "${VANTREL_RESOURCE_STAMP}"
  DEPENDS ${VANTREL_RESOURCE_FILES}
  COMMENT "Copying resources into the bundle")
add_custom_target(vantrel_resources ALL DEPENDS "${VANTREL_RESOURCE_STAMP}")
