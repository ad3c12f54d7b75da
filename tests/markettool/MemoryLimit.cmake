# Replays a file at the size limit under an address-space limit (prlimit) and
# fails unless the tool ends with the expected status and, when refusing,
# one line on standard error that says so; never an abort.
# KIND: unknown (a member no version reads, an array of empty objects) or
# long (one form text filling the file). FILE is where it is written.
set(head "{\"format\":2,\"program\":\"x\",\"market\":1,")
set(results "\"results\":{\"seconds\":0,\"buyingPower\":3000000,\"holdings\":0,\"realisedProfit\":0,\"commissions\":0,\"netProfit\":0,\"totalAssets\":3000000}}")
if(KIND STREQUAL "unknown")
  string(REPEAT "{}," 5500000 objects)
  set(text "${head}\"x\":[${objects}{}],\"actions\":[],${results}")
else()
  string(REPEAT "5" 16000000 digits)
  set(text "${head}\"actions\":[{\"second\":0,\"kind\":\"cancel\",\"form\":{\"priceKind\":\"none\",\"priceText\":\"${digits}\",\"quantityKind\":\"none\",\"sharesText\":\"\",\"yenText\":\"\",\"codeText\":\"\"}}],${results}")
endif()
file(WRITE ${FILE} "${text}")
execute_process(COMMAND ${PRLIMIT} --as=${LIMIT} ${MARKET} --session ${FILE} --verify
                RESULT_VARIABLE status ERROR_VARIABLE err OUTPUT_VARIABLE out)
file(REMOVE ${FILE})
if(NOT status EQUAL EXPECTED)
  message(FATAL_ERROR "exit status ${status}, expected ${EXPECTED}; standard error: ${err}")
endif()
if(NOT EXPECTED EQUAL 0 AND NOT err MATCHES "^vantrel-market: [^\n]*${SAID}\n$")
  message(FATAL_ERROR "standard error is not one line saying ${SAID}: ${err}")
endif()
