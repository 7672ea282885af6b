# Runs one fuzzer for the test suite (cmake -P).
#   MODE=replay: every kept input (seeds and regressions) once, in order; deterministic.
#   MODE=fuzz:   RUNS executions from a fixed seed, starting from an empty scratch corpus, capped
#                at SECONDS; an input that fails is kept under CRASHES and named in the message.
# Variables: FUZZER NAME MODE SEEDS REGRESSIONS SCRATCH CRASHES RUNS SECONDS MAX_LEN
file(GLOB seeds LIST_DIRECTORIES false "${SEEDS}/*")
file(GLOB regressions LIST_DIRECTORIES false "${REGRESSIONS}/*")
list(SORT seeds)
list(SORT regressions)
set(common -timeout=10 -rss_limit_mb=2048 -max_len=${MAX_LEN})

if(MODE STREQUAL "replay")
  set(inputs ${seeds} ${regressions})
  list(LENGTH inputs count)
  if(count EQUAL 0)
    message(FATAL_ERROR "fuzz_${NAME}: no kept inputs to replay in ${SEEDS}")
  endif()
  execute_process(COMMAND "${FUZZER}" ${common} ${inputs} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "fuzz_${NAME}: a kept input fails (exit ${rc}); see the output above")
  endif()
  message(STATUS "fuzz_${NAME}: ${count} kept inputs replayed")
  return()
endif()

set(corpora "${SCRATCH}" "${SEEDS}")
if(IS_DIRECTORY "${REGRESSIONS}")
  list(APPEND corpora "${REGRESSIONS}")
endif()
file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}" "${CRASHES}")
execute_process(
  COMMAND "${FUZZER}" ${common} -seed=1 -runs=${RUNS} -max_total_time=${SECONDS} -print_final_stats=1
          "-artifact_prefix=${CRASHES}/${NAME}-" ${corpora}
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  file(GLOB kept "${CRASHES}/${NAME}-*")
  message(FATAL_ERROR "fuzz_${NAME} found a new failing input (exit ${rc}), kept as: ${kept}\n"
                      "Replay it with: ${FUZZER} <input>; once mended, keep it in tests/fuzz/regressions/${NAME}/.")
endif()
