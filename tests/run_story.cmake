# Runs one replay story; when STORY.out exists, stdout must equal it line for line
# (message, launch, state and print lines are checked that way).
execute_process(COMMAND ${REPLAY} ${STORY} OUTPUT_VARIABLE out RESULT_VARIABLE rc)
message("${out}")
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "quarbel-replay exited with ${rc}")
endif()
string(REGEX REPLACE "\\.replay$" ".out" golden "${STORY}")
if(EXISTS ${golden})
  file(READ ${golden} want)
  if(NOT out STREQUAL want)
    message(FATAL_ERROR "output differs from ${golden}:\n--- want\n${want}--- got\n${out}")
  endif()
endif()
