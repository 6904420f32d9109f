// A Linux JVM finds its own libraries through its RUNPATH ($ORIGIN).
#include "java_start/runtime_search.h"

void search_runtime_folder(const char*) {}
