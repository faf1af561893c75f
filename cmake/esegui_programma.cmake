# cmake -DPROGRAMMA=FILE -P esegui_programma.cmake
# Runs a program as its users would, its own output straight to the
# terminal, then tells how it ended. Any status but 0 fails the step.
get_filename_component(nome "${PROGRAMMA}" NAME)
execute_process(COMMAND "${PROGRAMMA}" RESULT_VARIABLE stato)
if(NOT stato STREQUAL "0")
  message(FATAL_ERROR "${nome} exited with status ${stato}")
endif()
message("${nome} exited with status 0")
