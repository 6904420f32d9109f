#pragma once
// The applications: the one table of the words this program starts and what
// belongs to each. The dispatch, the record and class-path lookups and the
// build's embedding (cmake/applications.cmake) all read the rows below; the
// build stops when a row's record or class-path table does not exist.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

// One row a word, in the order the usage text names them:
//   word     the word on the command line, and the application's name
//   kind     JavaDesktop, NativeLibrary, Service, or ClassPathOnly (a class-path
//            table that no word starts)
//   record   <record>.json of the records folder (LAUNCHER_RECORDS_DIR), or none
//   table    the class-path table (cmake/embed_classpath.cmake), or none
//
//    word     kind           record   table
#define LAUNCHER_APPLICATIONS(ROW)               \
    ROW(ormic, JavaDesktop, ormic, common)       \
    ROW(ormad, JavaDesktop, ormad, common)       \
    ROW(zentu, NativeLibrary, zentu, none)       \
    ROW(vesmors, Service, vesmors, vesmors)      \
    ROW(pylor, ClassPathOnly, none, pylor)

namespace launcherwindows::init {

enum class Kind { JavaDesktop, NativeLibrary, Service, ClassPathOnly };

struct Application {
    std::string_view word;
    Kind kind;
};

#define LAUNCHER_APPLICATION_ROW(word, kind, record, table) Application{#word, Kind::kind},
inline constexpr Application kApplications[] = {LAUNCHER_APPLICATIONS(LAUNCHER_APPLICATION_ROW)};
#undef LAUNCHER_APPLICATION_ROW

// The row of a word (compared exactly), if there is one.
constexpr std::optional<Application> find_application(std::string_view word) {
    for (const Application& a : kApplications) {
        if (a.word == word) return a;
    }
    return std::nullopt;
}

constexpr bool startable(Kind kind) { return kind != Kind::ClassPathOnly; }

constexpr std::size_t count_of(Kind kind) {
    std::size_t n = 0;
    for (const Application& a : kApplications) n += a.kind == kind ? 1 : 0;
    return n;
}
// The invocation-name form and the service look for these two words in the
// program's path: one application of each kind.
static_assert(count_of(Kind::Service) == 1 && count_of(Kind::NativeLibrary) == 1);

constexpr std::string_view word_of(Kind kind) {
    for (const Application& a : kApplications) {
        if (a.kind == kind) return a.word;
    }
    return {};
}
inline constexpr std::string_view kServiceApplication = word_of(Kind::Service);            // vesmors
inline constexpr std::string_view kNativeLibraryApplication = word_of(Kind::NativeLibrary);  // zentu

// The invocation-name form: an executable whose path, as invoked, holds the
// word (byte-wise, case-sensitive) acts as that application at once.
constexpr bool path_names(std::string_view program_path, std::string_view word) {
    return program_path.find(word) != std::string_view::npos;
}

// A command-line word with its leading dashes removed (--ormic, -ormic).
constexpr std::string_view without_dashes(std::string_view argument) {
    return argument.substr(std::min(argument.find_first_not_of('-'), argument.size()));
}

// A class-path table: its entries, or a count of 0 and no list.
struct ClassPathTable {
    std::int32_t count;
    const char* const* list;
};

// The compiled-in record text of a word (JavaApp for the Java kinds, DllApp
// for the native library); empty for a word without one.
std::string_view compiled_record(std::string_view word);

// The class-path table of a word; nothing for a word that is not in the table.
std::optional<ClassPathTable> class_path_table(std::string_view word);

}  // namespace launcherwindows::init
