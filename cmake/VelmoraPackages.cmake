# The layouts of the packages a fleet deploys, beside the install tree. They are install
# components left out of a plain `cmake --install` and asked for by name (scripts/package.sh).
#
# Debian (deb-runtime is the package velmora, deb-dev the package velmora-dev), prefix /usr:
#   libexec/velmora/velmora    the program; bin/velmora is a link to it. The program finds its
#                              templates beside the file it runs from, and the kernel names the
#                              link's target as that file (/proc/self/exe), so the templates are
#                              found through the link without a directory in bin/.
#   libexec/velmora/hardinfo   a link to share/velmora/hardinfo, where the templates lie as the
#                              architecture-independent data they are; a host program of an
#                              agent makes the same link beside itself
#   lib/<multiarch>/lib{VelmoraU,Harnel}.so.1   where the system's loader looks: no RUNPATH
#   share/man/man1/velmora.1.gz, share/doc/<package>/{copyright,changelog.gz},
#   share/doc/velmora/examples/workstation.json
#   /etc/velmora/agent.conf (a conffile), /lib/systemd/system/velmora-agent.{service,timer}
#   deb-dev: include/velmora/, and under lib/<multiarch>/ the unversioned library links, the
#   CMake package and the pkg-config file
# Windows (win-runtime, win-dev): one folder, which the installer puts under Program Files:
#   velmora.exe, VelmoraU.dll, Harnel.dll, hardinfo\, examples\, LICENSE.txt and the agent's
#   task definition velmora-agent.xml; developers: include\ and lib\ (import libraries, CMake
#   package, pkg-config file)

if(WIN32)
  velmora_install_layout(NAME windows PROGRAM_DIR . LIBRARY_DIR lib EXAMPLE_DIR examples
                         RUNTIME_COMPONENT win-runtime DEV_COMPONENT win-dev)
  # The licence, and the agent's scheduled task, which the installer registers from this file.
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt
          COMPONENT win-runtime EXCLUDE_FROM_ALL)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/windows/velmora-agent.xml DESTINATION .
          COMPONENT win-runtime EXCLUDE_FROM_ALL)
  return()
endif()

set(velmora_deb_libdir lib)
if(CMAKE_LIBRARY_ARCHITECTURE)
  set(velmora_deb_libdir lib/${CMAKE_LIBRARY_ARCHITECTURE})
endif()
set(velmora_deb_runtime COMPONENT deb-runtime EXCLUDE_FROM_ALL)
velmora_install_layout(NAME deb PROGRAM_DIR libexec/velmora LIBRARY_DIR ${velmora_deb_libdir}
                       TEMPLATE_DIR share/velmora/hardinfo MAN_DIR share/man/man1
                       EXAMPLE_DIR share/doc/velmora/examples
                       DOC_FILES ${PROJECT_SOURCE_DIR}/packaging/debian/copyright
                                 ${PROJECT_SOURCE_DIR}/packaging/debian/changelog
                       RUNTIME_COMPONENT deb-runtime DEV_COMPONENT deb-dev
                       RUNTIME_PACKAGE velmora DEV_PACKAGE velmora-dev SYSTEM_LOADER COMPRESS)
velmora_install_link(libexec/velmora/velmora bin/velmora "${velmora_deb_runtime}")
# The agent: its configuration (a conffile, which an upgrade keeps as the administrator left
# it), and the service and timer that run it every hour, where Debian 12's systemd looks.
set(velmora_deb_dir ${PROJECT_SOURCE_DIR}/packaging/debian)
install(FILES ${velmora_deb_dir}/agent.conf DESTINATION /etc/velmora ${velmora_deb_runtime})
install(FILES ${velmora_deb_dir}/velmora-agent.service ${velmora_deb_dir}/velmora-agent.timer
        DESTINATION /lib/systemd/system ${velmora_deb_runtime})

# The changelog's newest entry is the package's version: the two cannot drift apart.
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/debian/changelog velmora_changelog_head LIMIT_COUNT 1)
if(NOT velmora_changelog_head MATCHES "^velmora \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/debian/changelog begins with \"${velmora_changelog_head}\", "
                      "not an entry for version ${PROJECT_VERSION}")
endif()

# CPack makes the two packages from the components; dpkg-shlibdeps computes what the program
# and the libraries need, and the libraries' shlibs file and the loader cache trigger come
# with them.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR "The Velmora developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL deb-runtime deb-dev)
set(CPACK_COMPONENT_DEB-DEV_DEPENDS deb-runtime)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Velmora developers <developers@velmora.invalid>")
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")

# Each package's description begins with its own synopsis. CPack puts the project's summary
# before a component's description unless the summary is CPack's default, which it is here.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${CMAKE_PROJECT_NAME} built using CMake")

set(CPACK_DEBIAN_DEB-RUNTIME_PACKAGE_NAME velmora)
set(CPACK_DEBIAN_DEB-RUNTIME_PACKAGE_SECTION admin)
# The loader's cache is rebuilt by the trigger. The maintainer scripts enable the agent's timer
# and, on purge, remove its state; they take the place of CPack's, which would call ldconfig.
set(CPACK_DEBIAN_DEB-RUNTIME_PACKAGE_CONTROL_EXTRA
    ${velmora_deb_dir}/triggers ${velmora_deb_dir}/conffiles ${velmora_deb_dir}/postinst
    ${velmora_deb_dir}/prerm ${velmora_deb_dir}/postrm)
# Opened only when a record or a command needs them, so no linker dependency names them: without
# them the printers, velmora send, and the names of PCI devices are missing.
set(CPACK_DEBIAN_DEB-RUNTIME_PACKAGE_RECOMMENDS "libcups2, libcurl4, pci.ids")
set(CPACK_DEBIAN_DEB-RUNTIME_DESCRIPTION
    "hardware inventory library for endpoint agents
A host process loads libVelmoraU.so.1 and asks what the machine consists of:
the operating system, processor, board and BIOS, memory, storage, adapters,
monitors, input devices, printers and slots. The answers come as labelled
pairs or as XML documents filled from the templates in
/usr/share/velmora/hardinfo. Every fact comes from the provider library
libHarnel.so.1, which reads the machine it runs on or replays a captured
machine profile.
.
The program velmora calls the library the way an agent does and prints what
it returns; it also captures this machine as a profile and compares two.
.
Its agent hands the inventory to a fleet's asset server in GLPI's JSON
inventory format: the timer velmora-agent.timer runs it every hour, and it
sends once a server is named in /etc/velmora/agent.conf.")

set(CPACK_DEBIAN_DEB-DEV_PACKAGE_NAME velmora-dev)
set(CPACK_DEBIAN_DEB-DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEB-DEV_DESCRIPTION
    "hardware inventory library for endpoint agents - development files
The headers of the inventory library's exports (dll/velmora.h), of its text
type (base/text.h) and of the provider's records and functions (provider/),
with the CMake package (find_package(Velmora)) and the pkg-config file
(velmora.pc) that a host project builds against.")

include(CPack)
