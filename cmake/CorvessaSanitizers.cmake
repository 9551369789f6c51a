if(CORVESSA_SANITIZE)
    add_compile_options(-fsanitize=${CORVESSA_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${CORVESSA_SANITIZE})
endif()
