# Installs the tree into a fresh prefix, builds the consumer project against
# it and runs it on the sample CSV file and an Access database.
file(REMOVE_RECURSE ${WORK})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${WORK}/prefix
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(rc)
  message(FATAL_ERROR "install failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${WORK}/build -G Ninja
                        -DCMAKE_PREFIX_PATH=${WORK}/prefix RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "configure failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK}/build RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "build failed")
endif()
execute_process(COMMAND ${WORK}/build/import-customers ${SAMPLE} RESULT_VARIABLE rc OUTPUT_VARIABLE out)
if(rc OR NOT out MATCHES "^1 Jürgen Müller\n2 ")
  message(FATAL_ERROR "the consumer printed:\n${out}")
endif()
execute_process(COMMAND ${WORK}/build/import-access ${SOURCE}/../data/access/V2000-test.mdb
                RESULT_VARIABLE rc OUTPUT_VARIABLE out)
if(rc OR NOT out STREQUAL "abcdefg 3.5000\na 0.0000\n")
  message(FATAL_ERROR "the Access consumer printed:\n${out}")
endif()
