# The WebAssembly build (emcmake cmake): the engine and the tools as ES
# modules with their .wasm beside them, each started by a host that supplies
# the input queue and the output (src/platform/wasm/): the Node runners
# <program>.mjs here, and the page's worker in web/engine/.
set(VARGUL_WASM_DIR ${CMAKE_SOURCE_DIR}/src/platform/wasm)
foreach(program vargul bench perft)
  set_target_properties(${program} PROPERTIES OUTPUT_NAME ${program}_wasm SUFFIX .mjs)
  # The host hands over the binary itself: in Node the glue's own loading
  # would try fetch() on a file path. The hash table can take 1024 MB.
  target_link_options(${program} PRIVATE -sMODULARIZE=1 -sEXPORT_ES6=1 -sENVIRONMENT=web,worker
                      -sEXIT_RUNTIME=1 -sALLOW_MEMORY_GROWTH=1 -sMAXIMUM_MEMORY=2GB -sTOTAL_STACK=8MB)
  configure_file(${VARGUL_WASM_DIR}/node_runner.mjs ${CMAKE_BINARY_DIR}/${program}.mjs COPYONLY)
endforeach()
configure_file(${VARGUL_WASM_DIR}/input_queue.mjs ${CMAKE_BINARY_DIR}/input_queue.mjs COPYONLY)

# The page loads the engine from web/engine/ (web/engine/README.md). The copy
# is a build step of its own with the engine and the queue as its inputs, so
# a copy older than either is made again on the next build, whichever target
# was relinked, and a deleted copy comes back.
set(VARGUL_WEB_ENGINE_DIR ${CMAKE_SOURCE_DIR}/web/engine)
set(VARGUL_WEB_ENGINE_FILES ${VARGUL_WEB_ENGINE_DIR}/vargul_wasm.mjs ${VARGUL_WEB_ENGINE_DIR}/vargul_wasm.wasm
    ${VARGUL_WEB_ENGINE_DIR}/input_queue.mjs)
add_custom_command(OUTPUT ${VARGUL_WEB_ENGINE_FILES}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:vargul> $<TARGET_FILE_DIR:vargul>/vargul_wasm.wasm
          ${VARGUL_WASM_DIR}/input_queue.mjs ${VARGUL_WEB_ENGINE_DIR}/
  DEPENDS vargul ${VARGUL_WASM_DIR}/input_queue.mjs
  COMMENT "Copying the engine to web/engine/")
add_custom_target(web_engine ALL DEPENDS ${VARGUL_WEB_ENGINE_FILES})

# The input queue, the page's engine module with its worker and the
# engine, and the bench comparison's verdicts, under Node's test runner.
foreach(suite input_queue page_engine wasm_bench)
  add_test(NAME node_${suite} COMMAND node --test ${CMAKE_SOURCE_DIR}/tests/wasm/${suite}_test.mjs)
  set_tests_properties(node_${suite} PROPERTIES LABELS platform TIMEOUT 300)
endforeach()
