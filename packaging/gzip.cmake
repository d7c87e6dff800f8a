# Compresses one file with gzip, without a timestamp or name inside, so the
# same input gives the same bytes:  cmake -DIN=file -DOUT=file.gz -P gzip.cmake
get_filename_component(folder ${OUT} DIRECTORY)
file(MAKE_DIRECTORY ${folder})
execute_process(COMMAND gzip -9nc ${IN} OUTPUT_FILE ${OUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE ${OUT})
  message(FATAL_ERROR "gzip ${IN}: ${result}")
endif()
