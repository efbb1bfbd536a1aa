// The few pieces of the C++ runtime that would throw, for a program built
// without exceptions (see velmora_product_targets).
//
// Allocation and the standard containers' size checks are the only places
// where the library throws on our behalf. Left as they are, they would link
// in the whole exception machinery: the unwinder, the type tables, the
// thread library it locks with, and the terminate handler's demangler. None of
// these failures is one the launcher could handle (it would have ended the
// process anyway, unhandled), so here each one ends the process at once.
//
// Only Velmora.exe links this file; test programs keep the library's own
// versions, which throw.

#include <cstdlib>
#include <new>

void* operator new(std::size_t size) {
    // malloc(0) may return null; a successful new never does.
    if (void* block = std::malloc(size != 0 ? size : 1)) return block;
    std::abort();
}

void operator delete(void* block) noexcept { std::free(block); }

void operator delete(void* block, std::size_t) noexcept { std::free(block); }

// The library headers call these when a container would exceed its maximum
// size, a string is built from a null pointer or an empty std::function is
// called: programming errors, or memory exhausted.
namespace std {

void __throw_bad_alloc() { abort(); }
void __throw_bad_array_new_length() { abort(); }
void __throw_length_error(const char*) { abort(); }
void __throw_logic_error(const char*) { abort(); }
void __throw_bad_function_call() { abort(); }

}  // namespace std
