#pragma once
// The stand-in jvm.dll's plumbing (tests only).
#include <windows.h>

#include <cstddef>
#include <cstring>
#include <map>
#include <string>
#include <utility>

namespace jvm_stub {

std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& wide);
std::string hex(const unsigned char* bytes, std::size_t n);
std::string upper(std::string s);
// A variable of the process environment, or "(unset)".
std::string environment(const wchar_t* name);

// The folder this DLL was loaded from.
std::wstring dll_folder();

// jvm_stub.cfg beside the DLL: key=value lines, # comments; a variable
// JVM_STUB_<KEY> wins over the file.
struct Config {
    std::map<std::string, std::string> values;
    std::string get(const std::string& key, const std::string& fallback) const;
};
Config read_config(const std::wstring& folder);

// The record file, emptied; each line is written at once, unbuffered, since
// the process may be killed at any moment.
void open_record(const std::string& path);
void record(const std::string& line);

// A call the launcher must not make: records it and ends the process.
[[noreturn]] void unimplemented(const char* table, std::size_t slot);

// Fills every slot of a JNI function table with a trap that names the table
// and the slot; the stand-in then sets the functions it has.
template <class Table>
inline const char* trap_table_name = "";
template <class Table, std::size_t I>
void WINAPI trap() {
    unimplemented(trap_table_name<Table>, I);
}
template <class Table, std::size_t... I>
void fill_slots(Table& table, std::index_sequence<I...>) {
    using Trap = void(WINAPI*)();
    const Trap slots[] = {&trap<Table, I>...};
    static_assert(sizeof(Table) == sizeof slots);
    std::memcpy(&table, slots, sizeof table);
}
template <class Table>
void fill_with_traps(Table& table, const char* name) {
    trap_table_name<Table> = name;
    fill_slots(table, std::make_index_sequence<sizeof(Table) / sizeof(void*)>());
}

}  // namespace jvm_stub
