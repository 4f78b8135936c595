# Runs one fuzz target over its seed corpus, then a bounded number of random inputs.
file(REMOVE_RECURSE ${CORPUS})
file(MAKE_DIRECTORY ${CORPUS})
if(SEED)
  execute_process(COMMAND ${SEED} ${CORPUS} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "seed writer failed: ${rc}")
  endif()
endif()
execute_process(COMMAND ${FUZZER} -runs=${RUNS} -max_len=65536 -seed=1 -rss_limit_mb=2048 ${CORPUS}
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "fuzzer found a fault: ${rc}")
endif()
