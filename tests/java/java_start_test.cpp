// The Java start against Debian's real OpenJDK 17 on the host, through
// configure_and_start_java_app. A process holds one JVM, so every case that
// creates one runs java_start_driver in a working directory of its own.
//
// Where the test classes come from: the class-path option is built from the
// compiled-in tables and is appended last, so it wins over any
// -Djava.class.path in a record; on Linux its ";"-joined entries are even one
// single (missing) path. The test records therefore put the classes on the
// boot class path with -Xbootclasspath/a:, which JDK 17 still accepts and which
// FindClass from the launching thread searches.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "cipher/cipher.h"
#include "init/classpath.h"
#include "init/java_app_start.h"
#include "init/records.h"

using namespace java_test;
namespace fs = std::filesystem;

namespace {

const std::string kClasses = LAUNCHER_TEST_JAVA_CLASSES;
const std::string kLibJvm = LAUNCHER_TEST_LIBJVM;

std::string json_string(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') out.push_back('\\');
        out.push_back(c);
    }
    return out + "\"";
}

// Every record has the runtime check JNI calls: it warns on standard output
// (and goes on) at a call made with an exception pending.
const std::string kCheckJni = "-Xcheck:jni";

std::string record(const std::string& jvm, const std::string& main_class, const std::string& encrypt_class,
                   const std::vector<std::string>& options) {
    std::string text = "{\"jvm_path\": " + json_string(jvm) + ", \"main_class\": " + json_string(main_class) +
                       ", \"encrypt_class\": " + json_string(encrypt_class) + ", \"options\": [" +
                       json_string(kCheckJni);
    for (const auto& option : options) text += ", " + json_string(option);
    return text + "]}";
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

// Trace lines up to a created VM ("Launched JVM").
std::string created_trace(const std::string& jvm) {
    return "Initializing Java in CPP :  " + jvm + "\n" + "initialized all java options" +
           "before initializing handle with dlopen" + "Loaded JVM from " + jvm + "\n" + "after dlopen\n" +
           "after dlsym\n" + "after createjavavm\n" + "Launched JVM\n";
}

std::string success_trace(const std::string& jvm) {
    return created_trace(jvm) + "before findclass\n" + "after findclass\n" + "  RegisterNatives\n" +
           "  Initialized Main Method\n";
}

std::string class_path_value(const std::string& app) {
    const auto option = launcherwindows::init::build_class_path_option(app);
    EXPECT_TRUE(option.is_ok());
    return option.value().substr(std::string("-Djava.class.path=").size());
}

std::string hex(const unsigned char* bytes, std::size_t n) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < n; ++i) {
        out.push_back(digits[bytes[i] >> 4]);
        out.push_back(digits[bytes[i] & 15]);
    }
    return out;
}

class JavaStart : public testing::Test {
protected:
    void SetUp() override {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::path(LAUNCHER_TEST_WORK_DIR) / (std::string(info->test_suite_name()) + "." + info->name());
        fs::remove_all(dir);
        fs::create_directories(dir / "launcher-logs");
    }

    std::map<std::string, std::string> jvm_env() const {
        std::map<std::string, std::string> env;
#if LAUNCHER_TEST_ASAN
        // The JVM handles SIGSEGV itself (implicit null checks, safepoints),
        // and its memory is not ours to leak-check.
        env["ASAN_OPTIONS"] = "handle_segv=0:allow_user_segv_handler=1:detect_leaks=0";
#endif
        return env;
    }

    // Starts the driver on a record text (or "--compiled") in this test's directory.
    std::unique_ptr<Child> spawn(const std::string& app, const std::string& record_text,
                                 std::map<std::string, std::string> env = {}) {
        std::string record_arg = record_text;
        if (record_text != "--compiled") {
            write_file(dir / "record.json", record_text);
            record_arg = (dir / "record.json").string();
        }
        for (const auto& [k, v] : jvm_env()) env[k] = v;
        return std::make_unique<Child>(std::vector<std::string>{LAUNCHER_TEST_DRIVER, app, record_arg}, dir, env);
    }

    Finished start(const std::string& app, const std::string& record_text,
                   std::map<std::string, std::string> env = {}) {
        return finish(*spawn(app, record_text, std::move(env)), std::chrono::seconds(180));
    }

    static Finished finish(Child& child, std::chrono::seconds timeout) {
        Finished f = child.wait(timeout);
        EXPECT_EQ(f.out.find("WARNING"), std::string::npos) << f.out;
        return f;
    }

    std::string trace() const { return read_file(dir / "launcher-logs" / "launcher-cpp.log"); }
    std::vector<std::string> events() const { return lines(read_file(dir / "events.txt")); }

    // boot_path comes before the test classes on the boot class path.
    std::string test_record(const std::string& mode, const std::string& main_class = "launchertest/Main",
                            const std::string& encrypt_class = "launchertest/KeyProvider",
                            const std::string& boot_path = "") const {
        return record(kLibJvm, main_class, encrypt_class,
                      {"-Xbootclasspath/a:" + boot_path + kClasses, "-Dlaunchertest.mode=" + mode, "-Xmx64m"});
    }

    // TooNew's class file, made version 99 (bytes 6-7, big-endian), in a
    // folder of its own; the boot path for it.
    std::string too_new_class_folder() const {
        std::string bytes = read_file(fs::path(kClasses) / "launchertest" / "TooNew.class");
        EXPECT_GT(bytes.size(), 8u);
        bytes[6] = 0;
        bytes[7] = 99;
        fs::create_directories(dir / "too-new" / "launchertest");
        write_file(dir / "too-new" / "launchertest" / "TooNew.class", bytes);
        return (dir / "too-new").string() + ":";
    }

    fs::path dir;
};

}  // namespace

TEST_F(JavaStart, OptionsReachTheJvmInOrderWithTheClassPathLastAndMainGetsNullArgs) {
    const std::vector<std::string> options = {"-Xbootclasspath/a:" + kClasses,
                                              "-Dlaunchertest.mode=report",
                                              "-Djava.class.path=overridden-by-the-launcher",
                                              "-Xmx64m",
                                              "-XX:+UseSerialGC",
                                              "-Dsame=first",
                                              "-Dsame=second",
                                              "-Dspaced=a b;c"};
    const Finished f = start("ormic", record(kLibJvm, "launchertest/Main", "launchertest/KeyProvider", options));
    ASSERT_FALSE(f.timed_out);
    EXPECT_EQ(f.status, 0) << f.err;

    // The JVM leaves java.class.path out of its input arguments, and lists the hooks.
    std::vector<std::string> expected = {"main called args=null", "input[0]=" + kCheckJni};
    int i = 1;
    for (const auto& o : options) {
        if (o.rfind("-Djava.class.path=", 0) != 0) expected.push_back("input[" + std::to_string(i++) + "]=" + o);
    }
    // The hooks after the option strings.
    for (const char* hook : {"exit", "abort"}) expected.push_back("input[" + std::to_string(i++) + "]=" + hook);
    expected.push_back("class.path=" + class_path_value("ormic"));
    expected.push_back("main returned");
    expected.push_back("start returned ok");
    EXPECT_EQ(events(), expected);
    EXPECT_EQ(trace(), success_trace(kLibJvm));
    EXPECT_NE(read_file(dir / "driver.log").find(" INFO launcherwindows::init - Start java application ormic"),
              std::string::npos)
        << read_file(dir / "driver.log");
}

TEST_F(JavaStart, NativesCalledFromJavaGiveTheCipherResults) {
    const Finished f = start("ormic", test_record("natives"));
    ASSERT_FALSE(f.timed_out);
    EXPECT_EQ(f.status, 0) << f.err;

    install_compiled_cipher_tables();
    unsigned char iv[16];
    for (int i = 0; i < 16; ++i) iv[i] = static_cast<unsigned char>(0xA0 + i);
    std::vector<unsigned char> plain(4096), cipher(4096);
    for (std::size_t i = 0; i < plain.size(); ++i) plain[i] = static_cast<unsigned char>((i * 7 + 3) & 0xFF);
    aes_whitebox_encrypt_cfb(iv, plain.data(), 4096, cipher.data());
    unsigned char key[48];
    distributionkey(key);

    const std::vector<std::string> expected = {"main called args=null",
                                               "encrypt=" + hex(cipher.data(), cipher.size()),
                                               "decrypt=" + hex(plain.data(), plain.size()),
                                               "encrypt20=null",
                                               "key=" + hex(key, 48),
                                               "key=" + hex(key, 48),
                                               "main returned",
                                               "start returned ok"};
    EXPECT_EQ(events(), expected);
    EXPECT_EQ(f.out,
              "  encrypt in cpp\n  encrypt in cpp\n"
              "    Error - plaintext length (20) is not a multiple of 16\n"
              "getting encrypted distribution key in cpp\ngetting encrypted distribution key in cpp\n");
}

TEST_F(JavaStart, LookupFailuresEndTheStartBeforeMain) {
    const std::string absent = "launchertest/Absent";
    const std::string not_found = "class launchertest/Absent was not found";
    const std::string too_new = "java.lang.UnsupportedClassVersionError: launchertest/TooNew has been compiled by a "
                                "more recent version of the Java Runtime (class file version 99.0)";
    const struct {
        const char* what;
        std::string main_class, encrypt_class, trace_tail, described, cause;
        bool too_new_on_boot_path = false;
    } cases[] = {
        {"key provider", "launchertest/Main", absent,
         "before findclass\nSorry - could not find class launchertest/Absent\n",
         "java.lang.NoClassDefFoundError: launchertest/Absent", not_found},
        {"main class", absent, "launchertest/KeyProvider",
         "before findclass\nafter findclass\n  RegisterNatives\nSorry - could not find class launchertest/Absent\n",
         "java.lang.NoClassDefFoundError: launchertest/Absent", not_found},
        {"main method", "launchertest/NoMain", "launchertest/KeyProvider",
         "before findclass\nafter findclass\n  RegisterNatives\n"
         "Sorry - could not find main method in class launchertest/NoMain\n",
         "java.lang.NoSuchMethodError: static Llaunchertest/NoMain;.main([Ljava/lang/String;)V",
         "class launchertest/NoMain has no method public static void main(String[])"},
        // Present but not loadable: the cause is the throwable, not the absence.
        {"key provider too new", "launchertest/Main", "launchertest/TooNew",
         "before findclass\nSorry - could not find class launchertest/TooNew\n", too_new,
         "class launchertest/TooNew could not be loaded: " + too_new, true},
        {"main class initializer throws", "launchertest/InitThrows", "launchertest/KeyProvider",
         "before findclass\nafter findclass\n  RegisterNatives\nSorry - could not find class launchertest/InitThrows\n",
         "Caused by: java.lang.IllegalStateException: static initializer of InitThrows",
         "class launchertest/InitThrows could not be loaded: java.lang.ExceptionInInitializerError"},
    };
    for (const auto& c : cases) {
        SetUp();
        const std::string boot_path = c.too_new_on_boot_path ? too_new_class_folder() : "";
        const Finished f = start("ormad", test_record("report", c.main_class, c.encrypt_class, boot_path));
        ASSERT_FALSE(f.timed_out) << c.what;
        EXPECT_EQ(f.status, 1) << c.what;
        EXPECT_EQ(trace(), created_trace(kLibJvm) + c.trace_tail) << c.what;
        // main never ran.
        const auto e = events();
        ASSERT_EQ(e.size(), 1u) << c.what;
        const std::string error = "start returned error: the Java start of ormad failed: " + c.cause;
        if (c.too_new_on_boot_path) {  // the rest names the runtime's own version
            EXPECT_EQ(e[0].substr(0, error.size()), error) << c.what;
            EXPECT_TRUE(e[0].ends_with("; see launcher-cpp.log")) << e[0];
        } else {
            EXPECT_EQ(e[0], error + "; see launcher-cpp.log") << c.what;
        }
        EXPECT_NE(f.err.find(c.described), std::string::npos) << c.what << ": " << f.err;
    }
}

// The exception's toString() in the error and its stack trace after the
// trace's own lines; one that cannot describe itself leaves today's text.
TEST_F(JavaStart, ExceptionFromMainIsDescribedReportedAndItsStackTraceAppended) {
    const std::string ended = "start returned error: the Java application ormic ended with an uncaught exception";
    const std::string thrown = "java.lang.IllegalStateException: thrown from main: \u00fc \U0001F600";
    const struct {
        const char* mode;
        std::string error, stack_trace;
    } cases[] = {
        {"throw", ended + ": " + thrown, thrown + "\n\tat launchertest.Main.main(Main.java:"},
        {"throw_undescribable", ended, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        SetUp();
        const Finished f = start("ormic", test_record(c.mode));
        ASSERT_FALSE(f.timed_out);
        EXPECT_EQ(f.status, 1);
        EXPECT_EQ(events(), (std::vector<std::string>{"main called args=null", "main throwing", c.error}));
        const std::string t = trace();
        if (c.stack_trace.empty()) {
            EXPECT_EQ(t, success_trace(kLibJvm));
        } else {
            EXPECT_EQ(t.rfind(success_trace(kLibJvm) + c.stack_trace, 0), 0u) << t;
            EXPECT_EQ(t.back(), '\n');
        }
        EXPECT_NE(f.err.find("Exception in thread \"main\" "), std::string::npos) << f.err;
    }
}

// A key-provider class that declares a native otherwise: the runtime refuses
// the registration and leaves a NoSuchMethodError pending. It is logged and
// taken off the thread, and main runs, where the native is not registered.
TEST_F(JavaStart, RefusedRegistrationIsLoggedAndMainRuns) {
    const Finished f =
        start("ormic", test_record("refused_natives", "launchertest/Main", "launchertest/RefusingKeyProvider"));
    ASSERT_FALSE(f.timed_out);
    EXPECT_EQ(f.status, 0) << f.err;
    EXPECT_EQ(events(), (std::vector<std::string>{"main called args=null", "key native: java.lang.UnsatisfiedLinkError",
                                                  "main returned", "start returned ok"}));
    EXPECT_EQ(trace(), success_trace(kLibJvm));
    const std::string log = read_file(dir / "driver.log");
    const std::string warning =
        " WARN launcherwindows::init - the cipher natives could not be registered on launchertest/RefusingKeyProvider: "
        "java.lang.NoSuchMethodError: Method 'byte[] launchertest.RefusingKeyProvider."
        "externGetEncryptedDistributionKey()' name or signature does not match\r\n";
    EXPECT_NE(log.find(warning), std::string::npos) << log;
    EXPECT_EQ(log.find(" WARN "), log.rfind(" WARN ")) << log;
}

TEST_F(JavaStart, NullMainClassNameIsTracedAsMissingAndTheVmDestroyed) {
    const Finished f = start("--null-main", record(kLibJvm, "unused", "launchertest/KeyProvider",
                                                   {"-Xbootclasspath/a:" + kClasses, "-Xlog:gc+heap+exit"}));
    ASSERT_FALSE(f.timed_out);
    EXPECT_EQ(f.status, 1);
    EXPECT_EQ(trace(), created_trace(kLibJvm) +
                           "before findclass\nafter findclass\n  RegisterNatives\nSorry - could not find class (null)\n");
    EXPECT_EQ(events(), std::vector<std::string>{"start returned 1: class (null) was not found"});
    // The JVM logs its heap when it is destroyed, not when the process just exits.
    EXPECT_NE(f.out.find("[gc,heap,exit] Heap"), std::string::npos) << f.out;
}

TEST_F(JavaStart, NonDaemonThreadKeepsTheStartBlockedUntilItEnds) {
    auto child = spawn("ormic", test_record("thread"));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(180);
    while (read_file(dir / "events.txt").find("main returned") == std::string::npos) {
        ASSERT_TRUE(child->running()) << read_file(dir / "child.err");
        ASSERT_LT(std::chrono::steady_clock::now(), deadline);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    EXPECT_TRUE(child->running());
    EXPECT_EQ(read_file(dir / "events.txt").find("start returned"), std::string::npos);

    write_file(dir / "release", "");
    const Finished f = finish(*child, std::chrono::seconds(60));
    ASSERT_FALSE(f.timed_out);
    EXPECT_EQ(f.status, 0) << f.err;
    EXPECT_EQ(events(), (std::vector<std::string>{"main called args=null", "main returned", "thread ended",
                                                  "start returned ok"}));
}

// The runtime ends the process through our exit hook, after the shutdown
// hooks: when main calls System.exit(7), and when the host asks a blocked
// main's VM to end. The hook's record is in the log; the start never returns.
TEST_F(JavaStart, SystemExitRunsTheShutdownHooksAndEndsThroughTheExitHook) {
    const struct {
        const char* mode;
        bool host_asks;
        int status;
        std::vector<std::string> events;
        std::string record;
    } cases[] = {
        {"exit", false, 7, {"main called args=null", "main exiting with 7", "shutdown hook ran"},
         " ERROR launcherwindows::init - the Java application ormic ended the process with System.exit(7)"},
        {"block", true, 0,
         {"main called args=null", "main blocking", "exit requested 1", "shutdown hook ran", "exiting with 0"},
         " INFO launcherwindows::init - the Java application ormic ended the process with System.exit(0)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        SetUp();
        std::map<std::string, std::string> env;
        if (c.host_asks) env["LAUNCHER_TEST_EXIT_REQUEST"] = "1";
        const Finished f = start("ormic", test_record(c.mode), env);
        ASSERT_FALSE(f.timed_out);
        EXPECT_EQ(f.status, c.status) << f.err;
        EXPECT_EQ(events(), c.events);
        EXPECT_NE(read_file(dir / "driver.log").find(c.record), std::string::npos) << read_file(dir / "driver.log");
    }
}

// The product's own record, against JDK 17: the JVM refuses -Djava.ext.dirs.
// The record's path ".\jre\bin\client\jvm.dll" has no "/" on Linux, so the
// loader searches LD_LIBRARY_PATH: a link of that name in "." leads to the JVM.
TEST_F(JavaStart, CompiledOrmicRecordFailsAtCreationOnJdk17) {
    const std::string jvm = ".\\jre\\bin\\client\\jvm.dll";
    fs::create_symlink(kLibJvm, dir / jvm);
    const Finished f = start("ormic", "--compiled", {{"LD_LIBRARY_PATH", "."}});
    ASSERT_FALSE(f.timed_out);
    EXPECT_EQ(f.status, 1);
    EXPECT_EQ(trace(), "Initializing Java in CPP :  " + jvm + "\n" + "initialized all java options" +
                           "before initializing handle with dlopen" + "Loaded JVM from " + jvm + "\n" +
                           "after dlopen\nafter dlsym\nafter createjavavm\n" + "Unable to Launch JVM -6\n" +
                           "JVM not initialized. exiting!\n");
    EXPECT_EQ(events(), std::vector<std::string>{
                            "start returned error: the Java start of ormic failed: JNI_CreateJavaVM returned -6 "
                            "(JNI_EINVAL): the runtime refused one of the options; see launcher-cpp.log"});
    EXPECT_NE(f.out.find("-Djava.ext.dirs=.\\jre\\lib\\ext;.\\ext; is not supported."), std::string::npos) << f.out;
}

// The heap dump option names a folder, as ormic's does, which the start
// makes: an out-of-memory error leaves java_pid<N>.hprof in it (without the
// folder HotSpot writes a file of the folder's name).
TEST_F(JavaStart, AnOutOfMemoryErrorLeavesItsHeapDumpInTheFolderTheStartMade) {
    const Finished f = start("ormic", record(kLibJvm, "launchertest/Main", "launchertest/KeyProvider",
                                             {"-Xbootclasspath/a:" + kClasses, "-Dlaunchertest.mode=oom", "-Xmx16m",
                                              "-XX:+HeapDumpOnOutOfMemoryError", "-XX:HeapDumpPath=./dump"}));
    ASSERT_FALSE(f.timed_out);
    ASSERT_TRUE(fs::is_directory(dir / "dump")) << f.out;
    std::vector<std::string> dumps;
    for (const auto& entry : fs::directory_iterator(dir / "dump")) dumps.push_back(entry.path().filename().string());
    ASSERT_EQ(dumps.size(), 1u);
    EXPECT_TRUE(std::regex_match(dumps[0], std::regex(R"(java_pid\d+\.hprof)"))) << dumps[0];
    EXPECT_EQ(events().back(), "start returned error: the Java application ormic ended with an uncaught exception: "
                               "java.lang.OutOfMemoryError: Java heap space");
    fs::remove_all(dir / "dump");  // 10 MB
}

TEST_F(JavaStart, WithoutLauncherLogsTheStartRunsWithoutTrace) {
    fs::remove_all(dir / "launcher-logs");
    const Finished f = start("vesmors", test_record("report"));
    ASSERT_FALSE(f.timed_out);
    EXPECT_EQ(f.status, 0) << f.err;
    EXPECT_FALSE(fs::exists(dir / "launcher-logs"));
    const auto e = events();
    ASSERT_GE(e.size(), 2u);
    EXPECT_EQ(e.front(), "main called args=null");
    EXPECT_EQ(e.back(), "start returned ok");
}

// Cases that never create a VM run in this process.
class JavaStartInProcess : public JavaStart {
protected:
    void SetUp() override {
        JavaStart::SetUp();
        old_cwd = fs::current_path();
        fs::current_path(dir);
    }
    void TearDown() override { fs::current_path(old_cwd); }
    fs::path old_cwd;
};

TEST_F(JavaStartInProcess, RecordAndClassPathErrorsComeBackBeforeAnyTrace) {
    using launcherwindows::init::configure_and_start_java_app;
    const std::string truncated = "{\"jvm_path\": \"x\"";
    const auto bad_record = configure_and_start_java_app("ormic", truncated);
    ASSERT_FALSE(bad_record.is_ok());
    EXPECT_EQ(bad_record.error(), "error while loading app config for ormic: " +
                                      launcherwindows::init::read_java_app(truncated).error().to_string());

    const auto unknown = configure_and_start_java_app("pylorx", test_record("report"));
    ASSERT_FALSE(unknown.is_ok());
    EXPECT_EQ(unknown.error().rfind("error reading class path: \"Loading of pylorx class_paths failed: ", 0), 0u)
        << unknown.error();
    EXPECT_FALSE(fs::exists(dir / "launcher-logs" / "launcher-cpp.log"));
}

TEST_F(JavaStartInProcess, MissingLibraryOrEntryPointFailsTheStart) {
    using launcherwindows::init::configure_and_start_java_app;
    const std::string missing = (dir / "no-such-jvm.so").string();
    auto r = configure_and_start_java_app("ormic", record(missing, "a/Main", "a/Key", {"-Xmx1m"}));
    ASSERT_FALSE(r.is_ok());
    EXPECT_EQ(r.error(), "the Java start of ormic failed: the Java runtime " + missing + " could not be loaded: " +
                             missing + ": cannot open shared object file: No such file or directory; see launcher-cpp.log");
    EXPECT_EQ(trace(), "Initializing Java in CPP :  " + missing + "\n" +
                           "initialized all java optionsbefore initializing handle with dlopen" +
                           "Unable to load JVM at " + missing + ", exiting\n" + "JVM not initialized. exiting!\n");

    const std::string no_create = LAUNCHER_TEST_NO_CREATE_LIB;
    r = configure_and_start_java_app("ormad", record(no_create, "a/Main", "a/Key", {}));
    ASSERT_FALSE(r.is_ok());
    EXPECT_EQ(r.error(), "the Java start of ormad failed: the Java runtime " + no_create +
                             " has no JNI_CreateJavaVM; see launcher-cpp.log");
    EXPECT_EQ(trace(), "Initializing Java in CPP :  " + no_create + "\n" + "initialized all java options" +
                           "before initializing handle with dlopen" + "Loaded JVM from " + no_create + "\n" +
                           "after dlopen\nafter dlsym\n" + "Unable to Launch JVM -1\n" +
                           "JVM not initialized. exiting!\n");
}
