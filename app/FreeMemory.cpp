#include "app/FreeMemory.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void ReturnFreedMemory() {
#if defined(__GLIBC__)
    malloc_trim(0); // every arena, and whole free pages inside the heap too, not only its top
#endif
}
