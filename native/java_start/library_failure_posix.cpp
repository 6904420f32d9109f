// The POSIX loader says why in dlerror's text.
#include "java_start/library_failure.h"

#include <dlfcn.h>

std::string library_load_failure(const char*) {
    const char* reason = dlerror();
    return std::string("could not be loaded: ") + (reason ? reason : "the loader gave no reason");
}
