# The sample climate year: the Aachen-Orsbach weather file of 2022 (DWD data
# in EnergyPlus form) turned into the dBASE climate table Aachen2022.DBF by
# the program's own import. Included by data/CMakeLists.txt.

set(TERVAL_KLIMA_EPW ${CMAKE_CURRENT_LIST_DIR}/15000_20220101_20230101_Aachen-Orsbach.epw)
set(TERVAL_KLIMA_DBF ${TERVAL_DATENVERZEICHNIS}/Aachen2022.DBF)

# Links only the climate code and what it needs, so the sample does not wait
# for the rest of the program.
add_executable(erzeuge_klima ${CMAKE_CURRENT_LIST_DIR}/erzeuge_klima.cpp)
target_link_libraries(erzeuge_klima PRIVATE terval_climate terval_tables terval_model)
set_target_properties(erzeuge_klima PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})

if(EXISTS ${TERVAL_KLIMA_EPW})
  add_custom_command(
    OUTPUT ${TERVAL_KLIMA_DBF}
    BYPRODUCTS ${TERVAL_DATENVERZEICHNIS}/Aachen2022.cpg
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TERVAL_DATENVERZEICHNIS}
    COMMAND erzeuge_klima ${TERVAL_KLIMA_EPW} ${TERVAL_KLIMA_DBF}
    DEPENDS erzeuge_klima ${TERVAL_KLIMA_EPW}
    COMMENT "Aachen2022.DBF aus der EPW-Datei"
    VERBATIM)
  add_custom_target(terval_klimadaten ALL DEPENDS ${TERVAL_KLIMA_DBF})

  # The climate tests check the shipped table; build it first (deferred,
  # because the tests are added later).
  function(terval_klimadaten_vor_tests)
    if(TARGET terval_test_climate)
      add_dependencies(terval_test_climate terval_klimadaten)
    endif()
  endfunction()
  cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL terval_klimadaten_vor_tests)
else()
  message(WARNING "data/15000_20220101_20230101_Aachen-Orsbach.epw fehlt; Aachen2022.DBF wird nicht erzeugt")
endif()
