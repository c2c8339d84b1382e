# Builds the compiled help file: the pages are kept in UTF-8 in the
# repository and reach the help compiler in GBK, the code page of the help
# viewer they are written for.
#   cmake -DSOURCE_DIR=... -DSTAGE_DIR=... -DOUTPUT=... -DCHMCMD=... -P build_help.cmake
file(REMOVE_RECURSE ${STAGE_DIR})
file(MAKE_DIRECTORY ${STAGE_DIR})
file(GLOB pages RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*)
foreach(page ${pages})
  execute_process(COMMAND iconv -f UTF-8 -t GBK ${SOURCE_DIR}/${page} -o ${STAGE_DIR}/${page}
                  RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "help: ${page} is not UTF-8 text that GBK can hold")
  endif()
endforeach()
execute_process(COMMAND ${CHMCMD} --no-html-scan TovanClient.hhp
                WORKING_DIRECTORY ${STAGE_DIR} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0 OR NOT EXISTS ${STAGE_DIR}/TovanClient.chm)
  message(FATAL_ERROR "help: chmcmd failed:\n${out}")
endif()
file(COPY_FILE ${STAGE_DIR}/TovanClient.chm ${OUTPUT})
