// The Java start of the real launcher.exe under Wine, against the stand-in
// jvm.dll (tests/doubles/jvm), which records what it was asked.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "cipher/cipher.h"
#include "harness.h"
#include "init/classpath.h"
#include "text/quoted.h"

using namespace wine_harness;

namespace {

const std::string kJvm = ".\\jre\\bin\\client\\jvm.dll";
const std::string kKeyProvider = "tolvan/ec/security/impl/DistributionKeyProviderImpl";
const std::string kNatives =
    "count=3 externEncrypt(Ljava/nio/ByteBuffer;Ljava/nio/ByteBuffer;)[B "
    "externDecrypt(Ljava/nio/ByteBuffer;Ljava/nio/ByteBuffer;)[B externGetEncryptedDistributionKey()[B";

const std::vector<std::string> kOrmicOptions = {
    "-verbose:jni,class",
    "-Djava.ext.dirs=.\\jre\\lib\\ext;.\\ext;",
    "-Djava.library.path=.\\bin",
    "-Xshare:auto",
    "-Xverify:none",
    "-XX:MaxHeapFreeRatio=5",
    "-XX:MinHeapFreeRatio=5",
    "-XX:+HeapDumpOnOutOfMemoryError",
    "-XX:HeapDumpPath=.\\dump",
    "-Xms64m",
    "-Xmx365m",
    "-DimType=swing",
    "-Dfile.encoding=UTF-8",
    "-Djavax.net.ssl.trustStoreType=WINDOWS-ROOT",
    "-Dsun.java2d.ddscale=true",
    "-Dsun.java2d.translaccel=true",
    "-Dmorena.debug=true",
};
const std::vector<std::string> kOrmadOptions = {
    "-verbose:jni,class",
    "-Djava.ext.dirs=.\\jre\\lib\\ext;.\\ext;",
    "-Djava.library.path=.\\bin",
    "-Xshare:auto",
    "-Xverify:none",
    "-XX:MaxHeapFreeRatio=5",
    "-XX:MinHeapFreeRatio=5",
    "-Xms32m",
    "-Xmx320m",
    "-DimType=swing",
    "-Djavax.net.ssl.trustStoreType=WINDOWS-ROOT",
};

// The trace file is a text-mode ("w+") file: its line ends are CR LF.
std::string crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

std::string created_trace() {
    return "Initializing Java in CPP :  " + kJvm + "\n" + "initialized all java options" +
           "before initializing handle with dlopen" + "Loaded JVM from " + kJvm + "\n" +
           "after dlopen\nafter dlsym\nafter createjavavm\nLaunched JVM\n";
}
const std::string kAfterRegistration = "before findclass\nafter findclass\n  RegisterNatives\n";
std::string success_trace() { return created_trace() + kAfterRegistration + "  Initialized Main Method\n"; }



std::string hex(const std::vector<unsigned char>& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char b : bytes) {
        out.push_back(digits[b >> 4]);
        out.push_back(digits[b & 15]);
    }
    return out;
}

// A tree with the stand-in runtime where the records expect it.
struct JavaTree {
    Tree tree;
    fs::path client;
    explicit JavaTree(const std::string& name) : tree(make_tree(name)) {
        client = tree.root / "jre" / "bin" / "client";
        install_java_runtime(tree.root);
        fs::create_directories(tree.root / "launcher-logs");
    }
    std::string trace() const { return read_file(tree.root / "launcher-logs" / "launcher-cpp.log"); }
    std::vector<std::string> recorded() const { return split_lines(read_file(client / "jvm_stub_record.txt")); }
    void configure(const std::string& cfg) const { write_file(client / "jvm_stub.cfg", cfg); }
};

// What the stand-in records up to the main call for a record's options.
std::vector<std::string> creation_record(const std::vector<std::string>& options, const Tree& t) {
    std::vector<std::string> r = {"create version=0x00010008 nOptions=" + std::to_string(options.size() + 3) +
                                  " ignoreUnrecognized=0"};
    for (std::size_t i = 0; i < options.size(); ++i) r.push_back("option[" + std::to_string(i) + "]=" + options[i]);
    const auto class_path = launcherwindows::init::build_class_path_option("ormic");
    r.push_back("option[" + std::to_string(options.size()) + "]=" + class_path.value());
    for (const char* hook : {"exit", "abort"}) {
        r.push_back("option[" + std::to_string(r.size() - 1) + "]=" + hook + " extraInfo=set");
    }
    r.push_back("cwd=" + windows_path(t.root));
    r.push_back("env.L1_HOME=(unset)");
    for (const std::string& l : runtime_library_lines(t.root)) r.push_back(l);
    return r;
}

// Drops the PATH and LD_LIBRARY_PATH lines, which are Wine's.
std::vector<std::string> without_paths(std::vector<std::string> record) {
    std::erase_if(record, [](const std::string& l) {
        return l.rfind("env.PATH=", 0) == 0 || l.rfind("env.LD_LIBRARY_PATH=", 0) == 0;
    });
    return record;
}

void expect_failed_start(const RunResult& r, const std::string& typed, const std::string& error) {
    EXPECT_EQ(r.status, 255);  // -1
    const auto m = log_messages(r.log);
    ASSERT_GE(m.size(), 3u) << r.log;
    EXPECT_EQ(m[m.size() - 3], "INFO Start java application " + typed.substr(typed.find_first_not_of('-')));
    EXPECT_EQ(m[m.size() - 2], "ERROR error while starting up " + typed);
    EXPECT_EQ(m.back(), "ERROR Application error: " + launcherwindows::quoted_form(error));
}

}  // namespace

TEST(WineJavaStart, OrmicAndOrmadGiveTheJvmTheirOptionsWithTheClassPathLast) {
    const struct {
        std::string word, main_class;
        const std::vector<std::string>* options;
    } apps[] = {{"ormic", "tolvan/ec/EnrolMain", &kOrmicOptions},
                {"ormad", "tolvan/ormad/EnrolAdminMain", &kOrmadOptions}};
    for (const auto& app : apps) {
        const JavaTree j("java/" + app.word);
        const RunResult r = run(j.tree, {.args = {app.word}});
        EXPECT_EQ(r.status, 0) << app.word << r.err;
        EXPECT_EQ(r.out, windows_path(j.tree.exe) + "\nStarting launcher");

        auto expected = creation_record(*app.options, j.tree);
        for (const std::string& l : {"FindClass=" + kKeyProvider, "RegisterNatives=" + kKeyProvider + " " + kNatives,
                                     "FindClass=" + app.main_class,
                                     "GetStaticMethodID=" + app.main_class + ".main([Ljava/lang/String;)V",
                                     std::string("main called args=null"), std::string("main returned"),
                                     std::string("ExceptionCheck=0"), std::string("DestroyJavaVM")})
            expected.push_back(l);
        EXPECT_EQ(without_paths(j.recorded()), expected) << app.word;
        EXPECT_EQ(j.trace(), crlf(success_trace())) << app.word;
        // ormic's heap dump folder, made under the working directory before the runtime.
        EXPECT_EQ(fs::is_directory(j.tree.root / "dump"), app.word == "ormic") << app.word;

        const auto records = log_records(r.log);
        ASSERT_FALSE(records.empty()) << r.log;
        const std::string& last = records.back();
        EXPECT_EQ(last.substr(last.find(' ') + 1), "INFO launcherwindows::init - Start java application " + app.word);
    }
}

TEST(WineJavaStart, EveryFailedStartSaysWhyTracesExactlyAndExitsWithMinusOne) {
    const fs::path doubles = windows_build_dir() / "tests" / "doubles" / "jvm";
    const fs::path stub = test_jre() / "bin" / "client" / "jvm.dll";
    const std::string failed = "the Java start of ormic failed: ";
    const std::string runtime = failed + "the Java runtime " + kJvm + " ";
    const std::string see_trace = "; see launcher-cpp.log";
    const std::string not_initialized = "JVM not initialized. exiting!\n";
    const std::string up_to_dlopen = "Initializing Java in CPP :  " + kJvm + "\n" +
                                     "initialized all java optionsbefore initializing handle with dlopen";
    const std::string not_loaded = up_to_dlopen + "Unable to load JVM at " + kJvm + ", exiting\n" + not_initialized;
    const std::string created_up_to_dlsym = up_to_dlopen + "Loaded JVM from " + kJvm + "\nafter dlopen\nafter dlsym\n";
    // The stand-in runtime is built for the machine the launcher is not.
    const std::string exe = read_file(launcher_exe());
    std::size_t pe_header = 0;  // e_lfanew
    for (std::size_t i = 0; i < 4; ++i) pe_header |= std::size_t{static_cast<unsigned char>(exe.at(60 + i))} << (8 * i);
    const bool launcher_32_bit = exe.substr(pe_header + 4, 2) == "\x4c\x01";  // IMAGE_FILE_MACHINE_I386
    const std::string other_machine =
        launcher_32_bit ? "is a 64-bit (x86-64) library; this launcher is 32-bit and needs a 32-bit Java runtime"
                        : "is built for machine 0x14c; this launcher is 64-bit and needs a 64-bit Java runtime";
    const std::string thrown = "java.lang.IllegalStateException: thrown by the stub's main";

    const struct {
        const char* what;
        fs::path jvm;  // copied to jvm.dll; empty: none
        std::string cfg, error, trace;
        std::vector<std::string> record_tail;  // the stand-in's, after its creation and environment lines
    } cases[] = {
        {"no runtime", "", "", runtime + "could not be loaded: Module not found. (os error 126)" + see_trace, not_loaded},
        {"a runtime for the other machine", doubles / "jvm_other_machine.dll", "", runtime + other_machine + see_trace,
         not_loaded},
        {"a text file", "text", "", runtime + "is not a Windows library (os error 193)" + see_trace, not_loaded},
        {"a dependency missing", windows_build_dir() / "tests" / "java" / "loader_dlls" / "loader_a.dll", "",
         runtime + "could not be loaded: the library loader_b.dll that it needs was not found (os error 126)" +
             see_trace,
         not_loaded},
        {"no JNI_CreateJavaVM", doubles / "jvm_without_create.dll", "",
         runtime + "has no JNI_CreateJavaVM" + see_trace,
         created_up_to_dlsym + "Unable to Launch JVM -1\n" + not_initialized},
        {"creation fails", stub, "create=fail\n", failed + "JNI_CreateJavaVM returned -1 (JNI_ERR)" + see_trace,
         created_up_to_dlsym + "after createjavavm\nUnable to Launch JVM -1\n" + not_initialized},
        {"an option refused", stub, "create=-6\n",
         failed + "JNI_CreateJavaVM returned -6 (JNI_EINVAL): the runtime refused one of the options" + see_trace,
         created_up_to_dlsym + "after createjavavm\nUnable to Launch JVM -6\n" + not_initialized},
        {"key provider missing", stub, "missing=encrypt_class\n",
         failed + "class " + kKeyProvider + " was not found" + see_trace,
         created_trace() + "before findclass\nSorry - could not find class " + kKeyProvider + "\n",
         {"FindClass=" + kKeyProvider, "ExceptionDescribe", "DestroyJavaVM"}},
        {"main class missing", stub, "missing=main_class\r\n",
         failed + "class tolvan/ec/EnrolMain was not found" + see_trace,
         created_trace() + kAfterRegistration + "Sorry - could not find class tolvan/ec/EnrolMain\n",
         {"FindClass=" + kKeyProvider, "RegisterNatives=" + kKeyProvider + " " + kNatives,
          "FindClass=tolvan/ec/EnrolMain", "ExceptionDescribe", "DestroyJavaVM"}},
        {"main method missing", stub, "# a comment\nmissing=main_method\n",
         failed + "class tolvan/ec/EnrolMain has no method public static void main(String[])" + see_trace,
         created_trace() + kAfterRegistration + "Sorry - could not find main method in class tolvan/ec/EnrolMain\n",
         {"FindClass=" + kKeyProvider, "RegisterNatives=" + kKeyProvider + " " + kNatives,
          "FindClass=tolvan/ec/EnrolMain", "GetStaticMethodID=tolvan/ec/EnrolMain.main([Ljava/lang/String;)V",
          "ExceptionDescribe", "DestroyJavaVM"}},
        {"main throws", stub, "main=throw\n", "the Java application ormic ended with an uncaught exception: " + thrown,
         success_trace() + thrown + "\n\tat stub.Main.main(Main.java:1)\n",
         {"FindClass=" + kKeyProvider, "RegisterNatives=" + kKeyProvider + " " + kNatives,
          "FindClass=tolvan/ec/EnrolMain", "GetStaticMethodID=tolvan/ec/EnrolMain.main([Ljava/lang/String;)V",
          "main called args=null", "main returned", "ExceptionCheck=1", "ExceptionDescribe",
          "FindClass=java/io/StringWriter", "FindClass=java/io/PrintWriter", "DestroyJavaVM"}},
    };
    // One tree: every start replaces the trace of the one before.
    const JavaTree j("java/failures");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(j.client / "jvm.dll");
        fs::remove(j.client / "jvm_stub_record.txt");
        if (c.jvm == "text") {
            write_file(j.client / "jvm.dll", "This is not a library.\r\n");
        } else if (!c.jvm.empty()) {
            fs::copy_file(c.jvm, j.client / "jvm.dll");
        }
        j.configure(c.cfg);
        const RunResult r = run(j.tree, {.args = {"-ormic"}});
        expect_failed_start(r, "-ormic", c.error);
        EXPECT_EQ(j.trace(), crlf(c.trace));
        if (c.jvm != stub) continue;
        auto expected = creation_record(kOrmicOptions, j.tree);
        expected.insert(expected.end(), c.record_tail.begin(), c.record_tail.end());
        // Whether a call left an exception is asked more than once.
        auto recorded = without_paths(j.recorded());
        std::erase(recorded, "ExceptionCheck=0");
        EXPECT_EQ(recorded, expected);
    }
}

TEST(WineJavaStart, NativesCalledThroughTheRegisteredTableGiveTheCipherResults) {
    const JavaTree j("java/natives");
    const RunResult r = run(j.tree, {.args = {"ormad"}, .env = {{"JVM_STUB_MAIN", "natives"}}});
    EXPECT_EQ(r.status, 0) << r.err;

    // The host build has the same compiled-in tables and key.
    install_compiled_cipher_tables();
    std::vector<unsigned char> iv(16), plain(4096), cipher(4096), key(48);
    for (std::size_t i = 0; i < iv.size(); ++i) iv[i] = static_cast<unsigned char>(0xA0 + i);
    for (std::size_t i = 0; i < plain.size(); ++i) plain[i] = static_cast<unsigned char>((i * 7 + 3) & 0xFF);
    aes_whitebox_encrypt_cfb(iv.data(), plain.data(), 4096, cipher.data());
    distributionkey(key.data());
    const std::vector<unsigned char> twenty(plain.begin(), plain.begin() + 20);

    std::vector<std::string> natives;
    for (const auto& l : j.recorded()) {
        if (l.rfind("native ", 0) == 0) natives.push_back(l);
    }
    EXPECT_EQ(natives, (std::vector<std::string>{
                           "native externEncrypt iv=" + hex(iv) + " in=" + hex(plain) + " out=" + hex(cipher),
                           "native externDecrypt iv=" + hex(iv) + " in=" + hex(cipher) + " out=" + hex(plain),
                           "native externEncrypt iv=" + hex(iv) + " in=" + hex(twenty) + " out=null",
                           "native externGetEncryptedDistributionKey out=" + hex(key),
                           "native externGetEncryptedDistributionKey out=" + hex(key),
                       }));
    EXPECT_EQ(r.out, windows_path(j.tree.exe) +
                         "\nStarting launcher  encrypt in cpp\n  encrypt in cpp\n"
                         "    Error - plaintext length (20) is not a multiple of 16\n"
                         "getting encrypted distribution key in cpp\ngetting encrypted distribution key in cpp\n");
}

// A key-provider class that declares a native otherwise: the runtime refuses
// the registration with an error pending. Every kind of Java start logs it
// once, takes it off the thread before its next JNI call and runs main.
TEST(WineJavaStart, ARefusedRegistrationIsOneWarningAndMainRuns) {
    const std::string warning = "WARN launcherwindows::init - the cipher natives could not be registered on " +
                                kKeyProvider +
                                ": java.lang.NoSuchMethodError: Method 'byte[] tolvan.ec.security.impl."
                                "DistributionKeyProviderImpl.externGetEncryptedDistributionKey()' name or signature "
                                "does not match";
    const struct {
        std::vector<std::string> args;
        std::string main_class;
    } cases[] = {{{"ormic"}, "tolvan/ec/EnrolMain"},
                 {{"ormad"}, "tolvan/ormad/EnrolAdminMain"},
                 {{"vesmors", "daemon"}, "tolvan/vesmor/server/ServiceMain"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0]);
        const JavaTree j("java/refused-" + c.args.back());
        j.configure("natives=refuse\nmain=natives\n");
        const RunResult r = run(j.tree, {.args = c.args});
        EXPECT_EQ(r.status, 0) << r.err;
        std::vector<std::string> warnings;
        for (const auto& e : log_entries(r.log)) {
            if (e.rfind("WARN ", 0) == 0) warnings.push_back(e);
        }
        EXPECT_EQ(warnings, std::vector<std::string>{warning}) << r.log;
        // The refusal's toString() is read; each native fails in main as one
        // never registered.
        const auto recorded = j.recorded();
        const auto registration =
            std::find(recorded.begin(), recorded.end(), "RegisterNatives=" + kKeyProvider + " " + kNatives);
        ASSERT_NE(registration, recorded.end());
        EXPECT_EQ(std::vector<std::string>(registration + 1, recorded.end()),
                  (std::vector<std::string>{"ExceptionCheck=0", "FindClass=" + c.main_class,
                                            "GetStaticMethodID=" + c.main_class + ".main([Ljava/lang/String;)V",
                                            "main called args=null", "native externEncrypt not registered",
                                            "native externDecrypt not registered",
                                            "native externEncrypt not registered",
                                            "native externGetEncryptedDistributionKey not registered",
                                            "native externGetEncryptedDistributionKey not registered",
                                            "main returned", "ExceptionCheck=0", "DestroyJavaVM"}));
    }
}

// An application that ends the process itself: the runtime's exit hook
// leaves its record and ends the process with the application's status; the
// abort hook its record, and the runtime ends the process.
TEST(WineJavaStart, AnApplicationsOwnExitOrAbortIsRecordedAndEndsTheProcess) {
    const std::string exited = " launcherwindows::init - the Java application ";
    const struct {
        std::vector<std::string> args;
        std::string main;
        int status;
        std::string record;
        std::vector<std::string> tail;  // the stand-in's last records
    } cases[] = {
        {{"ormic"}, "exit:3", 3, "ERROR" + exited + "ormic ended the process with System.exit(3)",
         {"System.exit(3) from main", "exit hook called with 3"}},
        {{"ormic"}, "exit:0", 0, "INFO" + exited + "ormic ended the process with System.exit(0)",
         {"System.exit(0) from main", "exit hook called with 0"}},
        {{"ormad"}, "abort", 1, "ERROR launcherwindows::init - the Java runtime of ormad aborted",
         {"abort", "abort hook returned"}},
        {{"vesmors", "daemon"}, "exit:4", 4, "ERROR" + exited + "vesmors ended the process with System.exit(4)",
         {"System.exit(4) from main", "exit hook called with 4"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.main);
        const JavaTree j("java/exit-" + c.main.substr(0, c.main.find(':')) + std::to_string(c.status));
        j.configure("main=" + c.main + "\n");
        const RunResult r = run(j.tree, {.args = c.args});
        EXPECT_EQ(r.status, c.status) << r.err;
        const auto entries = log_entries(r.log);
        ASSERT_FALSE(entries.empty());
        EXPECT_EQ(entries.back(), c.record) << r.log;
        const auto recorded = j.recorded();
        ASSERT_GE(recorded.size(), c.tail.size());
        EXPECT_EQ(std::vector<std::string>(recorded.end() - static_cast<long>(c.tail.size()), recorded.end()), c.tail);
    }
}

// Started from a folder with a runtime of its own, the start loads the
// installation's (the one the integrity check verified) and writes its trace
// there: the working directory is the installation directory.
TEST(WineJavaStart, AStartFromAnotherFolderUsesTheInstallationsFiles) {
    const JavaTree j("java/elsewhere/suite");
    const fs::path work = j.tree.root.parent_path() / "caller";
    install_java_runtime(work);
    fs::create_directories(work / "launcher-logs");

    const RunResult r = run(j.tree, {.args = {"ormic"}, .cwd = work});
    EXPECT_EQ(r.status, 0) << r.log;
    EXPECT_TRUE(contains(j.recorded(), "cwd=" + windows_path(j.tree.root)));
    EXPECT_EQ(j.recorded().back(), "DestroyJavaVM");
    EXPECT_FALSE(fs::exists(work / "jre" / "bin" / "client" / "jvm_stub_record.txt"));
    EXPECT_TRUE(fs::is_empty(work / "launcher-logs"));
    EXPECT_EQ(j.trace().rfind("Initializing Java in CPP", 0), 0u);
}

// The start blocks while main runs, and the trace is complete on disk
// before main is called: a server's process may be killed inside main.
TEST(WineJavaStart, StartBlocksInMainWithTheTraceAlreadyWritten) {
    const JavaTree j("java/blocking");
    const fs::path release = j.tree.root / "release";
    std::string trace_while_blocked;
    bool returned_early = false;
    std::thread watcher([&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (read_file(j.client / "jvm_stub_record.txt").find("main called") == std::string::npos &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        trace_while_blocked = j.trace();
        returned_early = read_file(j.client / "jvm_stub_record.txt").find("main returned") != std::string::npos;
        write_file(release, "");
    });
    const RunResult r =
        run(j.tree, {.args = {"ormic"}, .env = {{"JVM_STUB_MAIN", "wait_file:" + windows_path(release)}}});
    watcher.join();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(returned_early);
    EXPECT_EQ(trace_while_blocked, crlf(success_trace()));
    const auto record = j.recorded();
    ASSERT_GE(record.size(), 2u);
    EXPECT_EQ(record.back(), "DestroyJavaVM");

    // A main that never returns: the process is killed, the trace stays whole.
    const JavaTree k("java/killed");
    const RunResult killed =
        run(k.tree, {.args = {"ormic"}, .env = {{"JVM_STUB_MAIN", "block"}}, .timeout = std::chrono::seconds(5)});
    EXPECT_TRUE(killed.timed_out);
    EXPECT_EQ(k.trace(), crlf(success_trace()));
    EXPECT_EQ(k.recorded().back(), "main called args=null");
}

// The runtime's own libraries come from its folder, jre\bin, as when its
// java.exe starts it, and before copies in the working directory; an import
// found nowhere is named.
TEST(WineJavaStart, TheRuntimesOwnLibrariesAreFoundInItsFolderOrNamed) {
    const std::string failed = "the Java start of ormic failed: the Java runtime " + kJvm + " could not be loaded: ";
    const struct {
        const char* what;
        std::string moved_from, moved_to;  // in jre\bin; an empty target removes the file
        std::string error;                 // empty: the start succeeds
    } cases[] = {
        {"in jre\\bin, with copies planted in the working directory", "", "", ""},
        {"the C runtime beside jvm.dll", "crtdouble.dll", "client/crtdouble.dll", ""},
        {"the C runtime nowhere", "crtdouble.dll", "",
         failed + "the library crtdouble.dll that it needs was not found (os error 126); see launcher-cpp.log"},
        // What is missing is an import of the import: nothing to name.
        {"an import of the C runtime nowhere", "javadouble.dll", "crtdouble.dll",
         failed + "a library it depends on is missing (os error 126); see launcher-cpp.log"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const JavaTree j("java/runtime-folder");
        const fs::path bin = j.client.parent_path();
        if (c.moved_from.empty()) {
            plant_runtime_copies(j.tree.root);
        } else if (c.moved_to.empty()) {
            fs::remove(bin / c.moved_from);
        } else {
            fs::rename(bin / c.moved_from, bin / c.moved_to);
            if (c.moved_from == "javadouble.dll") fs::remove(bin / "verifydouble.dll");
        }
        const RunResult r = run(j.tree, {.args = {"ormic"}});
        if (!c.error.empty()) {
            expect_failed_start(r, "ormic", c.error);
            continue;
        }
        EXPECT_EQ(r.status, 0) << r.err << r.log;
        auto expected = runtime_library_lines(j.tree.root);
        if (!c.moved_to.empty()) expected[0] = "library crtdouble.dll=" + windows_path(bin / c.moved_to);
        std::vector<std::string> found;
        for (const auto& l : j.recorded()) {
            if (l.rfind("library ", 0) == 0) found.push_back(l);
        }
        EXPECT_EQ(found, expected);
    }
}
