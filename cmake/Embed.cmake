# lullwatch_embed(target input symbol): compiles the bytes of `input` into `target` as `symbol`.
function(lullwatch_embed target input symbol)
    set(output ${CMAKE_CURRENT_BINARY_DIR}/${symbol}.cpp)
    add_custom_command(
        OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -DINPUT=${input} -DOUTPUT=${output} -DSYMBOL=${symbol}
                -P ${CMAKE_SOURCE_DIR}/cmake/EmbedFile.cmake
        DEPENDS ${input} ${CMAKE_SOURCE_DIR}/cmake/EmbedFile.cmake
        VERBATIM)
    target_sources(${target} PRIVATE ${output})
endfunction()
