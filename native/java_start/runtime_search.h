#pragma once
// The Java runtime's own DLLs (its C runtime among them) lie in its bin
// folder, the parent of the folder that holds the JVM library, where the
// runtime's own java.exe finds them as its application folder.

// From now on, for the rest of the process, the loader searches that folder
// too (after the application's or the loaded library's own folder, before the
// system folders and PATH), and no longer the working directory. A path
// without a folder changes nothing.
void search_runtime_folder(const char* jvm_path);
