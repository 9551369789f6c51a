if(CORVESSA_SANITIZE)
    add_compile_options(-fsanitize=${CORVESSA_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${CORVESSA_SANITIZE})
    if(CORVESSA_SANITIZE MATCHES "thread")
        # GCC warns that ThreadSanitizer does not model std::atomic_thread_fence; the warning
        # would fail our -Werror files. Fences stay correct code, the sanitizer just sees less.
        add_compile_options(-Wno-tsan)
    endif()
endif()
