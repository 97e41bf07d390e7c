# The host's CLI11 (header-only) for the cross build.
include(${CMAKE_CURRENT_LIST_DIR}/../host_headers.cmake)
velmora_host_header_target(CLI11::CLI11 CLI)
