# The host's nlohmann-json (header-only) for the cross build.
include(${CMAKE_CURRENT_LIST_DIR}/../host_headers.cmake)
velmora_host_header_target(nlohmann_json::nlohmann_json nlohmann)
