# `cpack` in a Windows build folder makes the zip a user unpacks into the media player's
# plug-in folder: the library, its readme and its wallpaper, side by side at the top level.
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME vis_corvex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_SYSTEM_NAME ${CMAKE_SYSTEM_PROCESSOR})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
