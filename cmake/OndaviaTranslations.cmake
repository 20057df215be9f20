# The programs' translation catalogues: translations/<Program>_<language>.ts
# in the repository, compiled by lrelease at build time and compiled into the
# program's resources as ":/translations/<Program>_<language>.qm".
find_package(Qt5 5.15 REQUIRED COMPONENTS LinguistTools)

# ondavia_add_catalogues(<out variable> <Program>)
# Sets <out variable> to a generated C++ source holding the program's
# compiled catalogues; add it to a target that is linked whole into the
# program (its resources register themselves at load).
function(ondavia_add_catalogues out program)
  file(GLOB _ts CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/translations/${program}_*.ts)
  list(SORT _ts)
  set(_dir ${CMAKE_CURRENT_BINARY_DIR}/translations)
  file(MAKE_DIRECTORY ${_dir})
  set_source_files_properties(${_ts} PROPERTIES OUTPUT_LOCATION ${_dir})
  qt5_add_translation(_qm ${_ts} OPTIONS -silent)
  set(_entries)
  foreach(_file ${_qm})
    get_filename_component(_name ${_file} NAME)
    string(APPEND _entries "    <file alias=\"${_name}\">${_file}</file>\n")
  endforeach()
  set(_qrc ${_dir}/${program}_translations.qrc)
  file(CONFIGURE OUTPUT ${_qrc}
    CONTENT "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n  <qresource prefix=\"/translations\">\n${_entries}  </qresource>\n</RCC>\n"
    @ONLY)
  set(_cpp ${_dir}/qrc_${program}_translations.cpp)
  add_custom_command(OUTPUT ${_cpp}
    COMMAND Qt5::rcc --name ${program}_translations --output ${_cpp} ${_qrc}
    DEPENDS ${_qrc} ${_qm} VERBATIM)
  set_source_files_properties(${_cpp} PROPERTIES SKIP_AUTOGEN ON GENERATED TRUE)
  set(${out} ${_cpp} PARENT_SCOPE)
endfunction()
