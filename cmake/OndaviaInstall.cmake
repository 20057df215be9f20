# Installation layout (cmake --install, and the Debian packages built from it).
#
# The setup utility and the USB updater look for folders beside their own
# executable (plug-ins; firmware packages), so each lives in a private folder
# under <prefix>/lib with a relative link in <prefix>/bin. The PCIe front end
# needs nothing beside it and goes straight into <prefix>/bin.
#
# The card simulator library carries the driver library's file name. It goes
# into a private folder that no dynamic-linker search reaches; only the demo
# launchers point a program at it.
include(GNUInstallDirs)

set(ONDAVIA_SETUP_LIBEXEC "lib/ondavia-gui" CACHE STRING "Folder of OndaviaSetup and its plug-ins, below the prefix")
set(ONDAVIA_USBUPDATER_LIBEXEC "lib/ondavia-usb-updater" CACHE STRING "Folder of OndaviaUpdater and its Firmware folder, below the prefix")
set(ONDAVIA_SIMULATOR_LIBEXEC "lib/ondavia-simulators" CACHE STRING "Private folder of the simulator libraries and the stand-in updater, below the prefix")
set(ONDAVIA_UDEV_RULES_DIR "lib/udev/rules.d" CACHE STRING "udev rules folder (relative to the prefix, or absolute)")
set(ONDAVIA_SYSTEMD_USER_DIR "lib/systemd/user" CACHE STRING "systemd user unit folder, below the prefix")
option(ONDAVIA_BUILD_MANUAL "Build the PDF manual (needs weasyprint)" OFF)

# Every command answers --version with the suite's version (the setup
# utility with its own release text).
foreach(_cmd OndaviaUpdater MorvaneFirmwareUpdaterGui MorvaneFirmwareUpdater zeltra-simctl zeltra-simd zeltra-testbed
             zeltra-notify-post ondavia-usbbus-run ondavia-mkpackage mdnsdevice)
  if(TARGET ${_cmd})
    target_compile_definitions(${_cmd} PRIVATE ONDAVIA_VERSION="${PROJECT_VERSION}")
  endif()
endforeach()

set(_pkg ${CMAKE_SOURCE_DIR}/packaging)
set(_gen ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${_gen}/links)

# A relative link <prefix>/bin/<name> -> ../<folder>/<name>, made in the build
# tree and installed as a link.
function(ondavia_install_bin_link name folder)
  file(RELATIVE_PATH _rel ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR} ${CMAKE_INSTALL_PREFIX}/${folder}/${name})
  file(CREATE_LINK ${_rel} ${_gen}/links/${name} SYMBOLIC)
  install(FILES ${_gen}/links/${name} DESTINATION ${CMAKE_INSTALL_BINDIR})
endfunction()

# hicolor icons: the program's own SVG, and PNGs rendered from it at build time.
set(ONDAVIA_ICON_SIZES 16 22 24 32 48 64 128 256)
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
function(ondavia_install_icon id svg)
  set(_pngs)
  foreach(_size ${ONDAVIA_ICON_SIZES})
    set(_png ${_gen}/icons/${_size}/${id}.png)
    add_custom_command(OUTPUT ${_png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${_gen}/icons/${_size}
      COMMAND ${RSVG_CONVERT} -w ${_size} -h ${_size} -o ${_png} ${svg}
      DEPENDS ${svg} VERBATIM)
    list(APPEND _pngs ${_png})
    install(FILES ${_png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps)
  endforeach()
  add_custom_target(icons_${id} ALL DEPENDS ${_pngs})
  install(FILES ${svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${id}.svg)
endfunction()

function(ondavia_install_desktop id)
  install(FILES ${_pkg}/desktop/${id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${_pkg}/desktop/${id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endfunction()

function(ondavia_install_man)
  foreach(_page ${ARGN})
    install(FILES ${_pkg}/man/${_page}.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endforeach()
endfunction()

# Setup utility, with the (empty) plug-in folder it looks in.
if(TARGET OndaviaSetup)
  install(TARGETS OndaviaSetup RUNTIME DESTINATION ${ONDAVIA_SETUP_LIBEXEC})
  install(DIRECTORY DESTINATION ${ONDAVIA_SETUP_LIBEXEC}/AdminUtility/PlugIns)
  ondavia_install_bin_link(OndaviaSetup ${ONDAVIA_SETUP_LIBEXEC})
  ondavia_install_icon(com.morvane.OndaviaSetup ${CMAKE_SOURCE_DIR}/setup/resources/ZeltraAdminUtilityImages/AboutIcon.svg)
  ondavia_install_desktop(com.morvane.OndaviaSetup)
  ondavia_install_man(OndaviaSetup)
  # The read-me the About tab opens.
  install(FILES ${_pkg}/doc/ReadMe.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ondavia)
endif()

# The setup utility's command line, shipped with it.
if(TARGET ondavia-ctl)
  install(TARGETS ondavia-ctl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  ondavia_install_man(ondavia-ctl)
  install(FILES ${_pkg}/bash-completion/ondavia-ctl DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
endif()

# USB updater, with the Firmware folder beside it, and the udev rule that
# lets the logged-in user open the units.
if(TARGET OndaviaUpdater)
  install(TARGETS OndaviaUpdater RUNTIME DESTINATION ${ONDAVIA_USBUPDATER_LIBEXEC})
  install(DIRECTORY DESTINATION ${ONDAVIA_USBUPDATER_LIBEXEC}/Firmware)
  ondavia_install_bin_link(OndaviaUpdater ${ONDAVIA_USBUPDATER_LIBEXEC})
  install(FILES ${_pkg}/udev/70-ondavia-usb-updater.rules DESTINATION ${ONDAVIA_UDEV_RULES_DIR})
  ondavia_install_icon(com.morvane.OndaviaUpdater ${CMAKE_SOURCE_DIR}/usbupdater/resources/FirmwareUpdaterIcon.svg)
  ondavia_install_desktop(com.morvane.OndaviaUpdater)
  ondavia_install_man(OndaviaUpdater)
endif()

# PCIe front end; its daemon mode as a systemd user unit that nobody has
# enabled yet.
if(TARGET MorvaneFirmwareUpdaterGui)
  install(TARGETS MorvaneFirmwareUpdaterGui RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  configure_file(${_pkg}/systemd/morvane-firmware-updater-gui.service.in
    ${_gen}/morvane-firmware-updater-gui.service @ONLY)
  install(FILES ${_gen}/morvane-firmware-updater-gui.service DESTINATION ${ONDAVIA_SYSTEMD_USER_DIR})
  ondavia_install_icon(com.morvane.MorvaneFirmwareUpdaterGui ${CMAKE_SOURCE_DIR}/pcieupdater/resources/chip80.svg)
  ondavia_install_desktop(com.morvane.MorvaneFirmwareUpdaterGui)
  ondavia_install_man(MorvaneFirmwareUpdaterGui)
endif()

# Simulators: the stand-in libraries and updater in their private folder,
# the control and test-bed commands, and the demo launchers.
set(_sim_dir ${CMAKE_INSTALL_PREFIX}/${ONDAVIA_SIMULATOR_LIBEXEC})
set(_bin_dir ${CMAKE_INSTALL_FULL_BINDIR})
set(_usb_dir ${CMAKE_INSTALL_PREFIX}/${ONDAVIA_USBUPDATER_LIBEXEC})
foreach(_lib zeltra_api_sim zeltra_preview_sim)
  if(TARGET ${_lib})
    install(TARGETS ${_lib} LIBRARY DESTINATION ${ONDAVIA_SIMULATOR_LIBEXEC} NAMELINK_SKIP)
  endif()
endforeach()
if(TARGET MorvaneFirmwareUpdater)
  install(TARGETS MorvaneFirmwareUpdater RUNTIME DESTINATION ${ONDAVIA_SIMULATOR_LIBEXEC})
endif()
# The card set daemon is started by the card library, from beside it.
if(TARGET zeltra-simd)
  install(TARGETS zeltra-simd RUNTIME DESTINATION ${ONDAVIA_SIMULATOR_LIBEXEC})
endif()
foreach(_tool zeltra-simctl zeltra-testbed zeltra-notify-post ondavia-usbbus-run ondavia-mkpackage)
  if(TARGET ${_tool})
    install(TARGETS ${_tool} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    ondavia_install_man(${_tool})
  endif()
endforeach()
# The stand-in network device of the README's network demo.
if(TARGET mdnsdevice)
  install(TARGETS mdnsdevice RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  ondavia_install_man(ondavia-mdnsdevice)
endif()
set(_demos)
if(TARGET OndaviaSetup AND TARGET zeltra_api_sim)
  list(APPEND _demos ondavia-setup-demo)
endif()
if(TARGET OndaviaUpdater AND TARGET ondavia-usbbus-run AND TARGET ondavia-mkpackage)
  list(APPEND _demos ondavia-usb-updater-demo)
endif()
if(TARGET MorvaneFirmwareUpdaterGui AND TARGET zeltra-testbed AND TARGET MorvaneFirmwareUpdater)
  list(APPEND _demos ondavia-pcie-updater-demo)
endif()
foreach(_demo ${_demos})
  configure_file(${_pkg}/launchers/${_demo}.in ${_gen}/${_demo} @ONLY)
  install(PROGRAMS ${_gen}/${_demo} DESTINATION ${CMAKE_INSTALL_BINDIR})
  ondavia_install_man(${_demo})
endforeach()

# The manual, from the HTML source in packaging/manual, put together in the
# build folder beside the programs' icons and the pictures of their windows,
# which the picture programs draw offscreen over the simulators at build time.
if(ONDAVIA_BUILD_MANUAL)
  find_program(WEASYPRINT weasyprint REQUIRED)
  add_subdirectory(${_pkg}/manual/pictures ${_gen}/manual-pictures)
  set(_manual ${_gen}/manual)
  set(_shots)
  set(_shot_env QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=${_manual}/run XDG_CONFIG_HOME=${_manual}/config
      LD_LIBRARY_PATH=${ONDAVIA_BIN_DIR} ZELTRA_SIMULATOR_CARDS=)
  foreach(_program ${ONDAVIA_MANUAL_PICTURES})
    set(_stamp ${_manual}/pictures/${_program}.stamp)
    add_custom_command(OUTPUT ${_stamp}
      COMMAND install -d -m 700 ${_manual}/run
      COMMAND ${CMAKE_COMMAND} -E make_directory ${_manual}/config ${_manual}/pictures
      COMMAND ${CMAKE_COMMAND} -E env ${_shot_env} $<TARGET_FILE:${_program}> ${_manual}/pictures
      COMMAND ${CMAKE_COMMAND} -E touch ${_stamp}
      DEPENDS ${_program} VERBATIM)
    list(APPEND _shots ${_stamp})
  endforeach()
  set(_icons ${CMAKE_SOURCE_DIR}/setup/resources/ZeltraAdminUtilityImages/AboutIcon.svg
             ${CMAKE_SOURCE_DIR}/usbupdater/resources/FirmwareUpdaterIcon.svg
             ${CMAKE_SOURCE_DIR}/pcieupdater/resources/chip80.svg)
  set(_pdf "${_gen}/Ondavia Manual.pdf")
  add_custom_command(OUTPUT ${_pdf}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_manual}/icons
    COMMAND ${CMAKE_COMMAND} -E copy ${_icons} ${_manual}/icons
    COMMAND ${CMAKE_COMMAND} -E copy ${_pkg}/manual/manual.html ${_pkg}/manual/manual.css ${_manual}
    COMMAND ${WEASYPRINT} --quiet ${_manual}/manual.html ${_pdf}
    DEPENDS ${_pkg}/manual/manual.html ${_pkg}/manual/manual.css ${_icons} ${_shots} VERBATIM)
  add_custom_target(ondavia_manual ALL DEPENDS ${_pdf})
  install(FILES ${_pdf} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ondavia-gui)
endif()
