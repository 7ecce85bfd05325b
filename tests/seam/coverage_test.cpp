// Every function the built plug-in takes from outside is either defined by the
// host library, routed by the seam, or known to touch no path and no device. A
// new libc call in the plug-in fails here until someone decides which it is.
#include <dlfcn.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "emulator/tuner/box.h"

namespace {

// What the seam routes (emulator/seam/exports.list).
const std::set<std::string> kRouted = {
    "open", "open64", "__open_2", "__open64_2", "openat", "openat64", "close", "ioctl",
    "fopen", "fopen64", "rename", "remove", "unlink", "usleep",
};

// C library and runtime functions that take no path and reach no device.
const std::set<std::string> kHarmless = {
    // streams already open, formatting, strings, memory
    "fclose", "fflush", "fgets", "getline", "getdelim", "__getdelim", "fputs", "fputc", "fprintf", "fscanf", "fread", "fwrite", "feof",
    "ferror", "fileno", "fgetc", "getc", "putc", "ungetc", "fseek", "ftell", "rewind", "setvbuf",
    "printf", "puts", "putchar", "sprintf", "snprintf", "vsnprintf", "vsprintf", "vfprintf", "sscanf",
    "__isoc99_sscanf", "__isoc99_fscanf", "__isoc23_sscanf", "__isoc23_fscanf", "__sprintf_chk",
    "__snprintf_chk", "__fprintf_chk", "__printf_chk", "__vsnprintf_chk", "__vfprintf_chk",
    "__fgets_chk", "__memcpy_chk", "__memset_chk", "__memmove_chk", "__strcpy_chk", "__strcat_chk",
    "__strncpy_chk", "__strncat_chk", "__stack_chk_fail", "__fdelt_chk",
    "strlen", "strnlen", "strcmp", "strncmp", "strcasecmp", "strncasecmp", "strcpy", "strncpy", "strcat",
    "strncat", "strchr", "strrchr", "strstr", "strdup", "strndup", "strtol", "strtoul", "strtoll",
    "strtoull", "strtod", "strtof", "atoi", "atol", "atof", "__isoc23_strtol", "__isoc23_strtoul",
    "__isoc23_strtoll", "__isoc23_strtoull", "strerror", "strerror_r", "__xpg_strerror_r", "strtok",
    "strtok_r", "strspn", "strcspn", "strpbrk", "memcpy", "memmove", "memset", "memcmp", "memchr",
    "toupper", "tolower", "isspace", "isdigit", "isalpha", "isalnum", "__ctype_b_loc",
    "__ctype_toupper_loc", "__ctype_tolower_loc", "malloc", "calloc", "realloc", "free", "abs", "labs",
    "qsort", "bsearch", "rand", "srand", "abort", "exit", "atexit", "__errno_location", "__assert_fail",
    // work on a descriptor the seam already handed out (a file under the root)
    "fsync", "fdatasync",
    // maths
    "sqrt", "pow", "log", "log10", "exp", "floor", "ceil", "round", "lround", "fabs", "sin", "cos",
    "atan2", "fmod", "sqrtf", "powf", "log10f", "floorf", "ceilf", "roundf", "lroundf",
    // threads, time, scheduling
    "pthread_create", "pthread_join", "pthread_detach", "pthread_self", "pthread_equal",
    "pthread_mutex_lock", "pthread_mutex_unlock", "pthread_mutex_trylock", "pthread_mutex_init",
    "pthread_mutex_destroy", "pthread_cond_wait", "pthread_cond_signal", "pthread_cond_broadcast",
    "pthread_cond_init", "pthread_cond_destroy", "pthread_cond_timedwait", "pthread_once",
    "pthread_key_create", "pthread_getspecific", "pthread_setspecific", "pthread_attr_init",
    "pthread_attr_destroy", "pthread_attr_setstacksize", "pthread_attr_setdetachstate",
    "pthread_cancel", "pthread_exit", "pthread_testcancel", "pthread_setcancelstate",
    "sched_yield", "time", "clock_gettime", "gettimeofday", "localtime", "localtime_r", "strftime",
    // messages
    "dcgettext", "gettext", "dgettext",
    // C++ runtime and unwinding
    "__cxa_atexit", "__cxa_finalize", "__cxa_begin_catch", "__cxa_end_catch", "__cxa_rethrow",
    "__cxa_throw", "__cxa_allocate_exception", "__cxa_free_exception", "__cxa_guard_acquire",
    "__cxa_guard_release", "__cxa_guard_abort", "__cxa_pure_virtual", "__cxa_deleted_virtual",
    "__cxa_thread_atexit", "__cxa_thread_atexit_impl", "__cxa_get_exception_ptr", "__cxa_call_terminate",
    // a glibc flag that the C++ library's shared pointers read
    "__libc_single_threaded",
    "__gxx_personality_v0", "_Unwind_Resume", "__dso_handle",
    // thread-local lookup: __tls_get_addr on x86_64, __tls_get_offset on s390x
    "__tls_get_addr", "__tls_get_offset",
    // weak hooks of the toolchain
    "__gmon_start__", "_ITM_deregisterTMCloneTable", "_ITM_registerTMCloneTable",
    // a flag of the C library that libstdc++'s reference counts read (sigc++ slots)
    "__libc_single_threaded",
};

// Calls the sanitizer builds add to every object.
const char* const kInstrumentation[] = {"__asan_", "__ubsan_", "__tsan_", "__lsan_", "__sanitizer_"};

// Parts of mangled C++ names that open files or walk the file system themselves.
const char* const kPathTouchingCxx[] = {"fstream", "filebuf", "basic_file", "filesystem"};

std::vector<std::string> symbolsOf(const std::string& command) {
  std::vector<std::string> out;
  FILE* p = ::popen(command.c_str(), "r");
  if (!p) return out;
  char line[4096];
  while (std::fgets(line, sizeof line, p)) {
    std::istringstream in(line);
    std::string a, b, c;
    in >> a >> b >> c;
    std::string name = c.empty() ? b : c;   // "U name" or "addr T name"
    std::string type = c.empty() ? a : b;
    if (name.empty()) continue;
    size_t at = name.find('@');
    if (at != std::string::npos) name = name.substr(0, at);
    out.push_back(type + " " + name);
  }
  int status = ::pclose(p);
  if (status != 0) out.clear();
  return out;
}

std::string hostLibrary() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&emu::box), &info) || !info.dli_fname) return std::string();
  return info.dli_fname;
}

// The undefined symbols of a module that nobody has accounted for; *listed is
// false when nm could not list them.
std::vector<std::string> unaccountedCalls(const std::string& module, bool* listed) {
  std::vector<std::string> undefined = symbolsOf("nm -D --undefined-only '" + module + "' 2>/dev/null");
  std::set<std::string> host_defined;
  for (const std::string& s : symbolsOf("nm -D --defined-only '" + hostLibrary() + "' 2>/dev/null"))
    host_defined.insert(s.substr(s.find(' ') + 1));
  *listed = !undefined.empty() && !host_defined.empty();
  std::vector<std::string> unaccounted;
  for (const std::string& entry : undefined) {
    std::string name = entry.substr(entry.find(' ') + 1);
    if (host_defined.count(name) || kRouted.count(name) || kHarmless.count(name)) continue;
    bool instrumentation = false;
    for (const char* prefix : kInstrumentation) instrumentation |= name.rfind(prefix, 0) == 0;
    if (instrumentation) continue;
    if (name.compare(0, 2, "_Z") == 0) {
      bool touches = false;
      for (const char* part : kPathTouchingCxx) touches |= name.find(part) != std::string::npos;
      if (!touches) continue;   // the C++ library's containers, strings, streams in memory
    }
    unaccounted.push_back(name);
  }
  return unaccounted;
}

TEST(SeamCoverage, EveryExternalCallOfThePluginIsAccountedFor) {
  const std::string plugin = SCRUTA_PLUGIN_PATH;
  bool listed = false;
  std::vector<std::string> unaccounted = unaccountedCalls(plugin, &listed);
  ASSERT_TRUE(listed) << "cannot list the symbols of " << plugin << " and " << hostLibrary()
                      << " (is nm installed and the module built?)";
  std::string message;
  for (const std::string& n : unaccounted)
    message += "\n  " + n +
               ": the plug-in calls it, the seam does not route it. If it takes a path or a descriptor of "
               "the box, route it in emulator/seam/ (and exports.list); if it touches neither, add it to "
               "kHarmless in tests/seam/coverage_test.cpp.";
  EXPECT_TRUE(unaccounted.empty()) << plugin << " has " << unaccounted.size() << " unaccounted call(s):" << message;
}

// The check bites: the host library makes the box root with mkdir and stat,
// which the seam does not route, and the check names them.
TEST(SeamCoverage, TheCheckNamesUnroutedPathCalls) {
  bool listed = false;
  std::vector<std::string> unaccounted = unaccountedCalls(hostLibrary(), &listed);
  ASSERT_TRUE(listed);
  std::set<std::string> names(unaccounted.begin(), unaccounted.end());
  EXPECT_EQ(names.count("mkdir"), 1u);
}

// The check itself: the lists must not let a path function through.
TEST(SeamCoverage, PathFunctionsAreNotMistakenForHarmlessOnes) {
  for (const char* f : {"stat", "lstat", "access", "mkdir", "rmdir", "opendir", "creat", "truncate",
                        "chmod", "chown", "symlink", "link", "realpath", "freopen", "fdopen", "dup2",
                        "readlink", "utime", "statfs", "tmpfile", "mkstemp",
                        // sleeping past the virtual clock
                        "sleep", "nanosleep", "clock_nanosleep"}) {
    EXPECT_EQ(kHarmless.count(f), 0u) << f;
    EXPECT_EQ(kRouted.count(f), 0u) << f;
  }
  for (const char* f : {"open", "fopen", "ioctl", "usleep", "rename"}) EXPECT_EQ(kRouted.count(f), 1u) << f;
}

// --- what the plug-in includes ---------------------------------------------------

const char* const kPluginFolders[] = {"plugin", "scan", "knowledge", "widgets"};

// The folder of the repository an include names ("" for a system header or one
// beside the including file): its first path part, when the repository has it.
std::string repositoryFolderOf(const std::string& included) {
  const size_t slash = included.find('/');
  if (slash == std::string::npos) return std::string();
  const std::string first = included.substr(0, slash);
  return std::filesystem::is_directory(std::string(SCRUTA_SOURCE_DIR) + "/" + first) ? first : std::string();
}

bool pluginMayInclude(const std::string& included) {
  const std::string folder = repositoryFolderOf(included);
  if (folder.empty() || folder == "host") return true;
  for (const char* own : kPluginFolders)
    if (folder == own) return true;
  return false;
}

// Each "#include" of the plug-in's sources, as "file: header".
std::vector<std::pair<std::string, std::string>> pluginIncludes() {
  std::vector<std::pair<std::string, std::string>> out;
  for (const char* folder : kPluginFolders) {
    for (const auto& entry : std::filesystem::directory_iterator(std::string(SCRUTA_SOURCE_DIR) + "/" + folder)) {
      std::ifstream in(entry.path());
      std::string line;
      while (std::getline(in, line)) {
        const size_t hash = line.find_first_not_of(" \t");
        if (hash == std::string::npos || line.compare(hash, 1, "#") != 0) continue;
        const size_t word = line.find("include", hash);
        if (word == std::string::npos) continue;
        const size_t open = line.find_first_of("<\"", word);
        const size_t close = open == std::string::npos ? open : line.find_first_of(">\"", open + 1);
        if (close == std::string::npos) continue;
        out.push_back({std::string(folder) + "/" + entry.path().filename().string(),
                       line.substr(open + 1, close - open - 1)});
      }
    }
  }
  return out;
}

TEST(IncludeBoundary, ThePluginIncludesOnlyHostAndItsOwnFolders) {
  const auto includes = pluginIncludes();
  ASSERT_GT(includes.size(), 50u) << "the plug-in's sources were not found under " << SCRUTA_SOURCE_DIR;
  for (const auto& [file, header] : includes)
    EXPECT_TRUE(pluginMayInclude(header)) << file << " includes " << header
                                          << ": the plug-in may use host/ and its own folders only";
}

TEST(IncludeBoundary, TheCheckRefusesTheEmulatorAndTheTests) {
  struct Caso { const char* header; bool allowed; } casi[] = {
      {"host/gui/ewidget.h", true},  {"scan/scan4transp.h", true}, {"widgets/e_grafico.h", true},
      {"sys/ioctl.h", true},         {"sigc++/sigc++.h", true},    {"cstdio", true},
      {"emulator/toolkit/emu.h", false}, {"emulator/tuner/box.h", false}, {"tests/support/temp_root.h", false},
      {"bench/common.h", false},
  };
  for (const Caso& c : casi) EXPECT_EQ(pluginMayInclude(c.header), c.allowed) << c.header;
}

}  // namespace
