# One short, seeded libFuzzer run over a fresh copy of the seed corpus, so that
# nothing is written into the source tree; crash artifacts land in WORK.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/corpus")
file(GLOB seeds "${CORPUS}/*")
file(COPY ${seeds} DESTINATION "${WORK}/corpus")
execute_process(
  COMMAND "${FUZZER}" -max_total_time=${SECONDS} -seed=1 -timeout=10 -rss_limit_mb=2048
          -print_final_stats=1 -artifact_prefix=${WORK}/ ${OPTIONS} "${WORK}/corpus"
  WORKING_DIRECTORY "${WORK}"
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${FUZZER} failed (${rc}); the input is in ${WORK}")
endif()
