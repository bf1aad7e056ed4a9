# Runs PROGRAM with ARGS (words separated by spaces) and checks its exit status against STATUS and its standard
# output and error against the regular expressions STDOUT and STDERR (each optional).
separate_arguments(ARGS UNIX_COMMAND "${ARGS}")
execute_process(COMMAND ${PROGRAM} ${ARGS} RESULT_VARIABLE rc OUTPUT_VARIABLE out
                ERROR_VARIABLE err TIMEOUT 20)
message("exit status: ${rc}\n--- stdout\n${out}--- stderr\n${err}")
if(NOT rc STREQUAL STATUS)
  message(FATAL_ERROR "expected exit status ${STATUS}, got ${rc}")
endif()
if(DEFINED STDOUT AND NOT out MATCHES "${STDOUT}")
  message(FATAL_ERROR "standard output does not match ${STDOUT}")
endif()
if(DEFINED STDERR AND NOT err MATCHES "${STDERR}")
  message(FATAL_ERROR "standard error does not match ${STDERR}")
endif()
