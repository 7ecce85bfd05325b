// The box's paths through the seam: /var/tuxbox/... lands under the test's root,
// nothing under the real /var/tuxbox, every other path passes through.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "support/box_test.h"

extern "C" int __open_2(const char*, int);
extern "C" int __open64_2(const char*, int);

namespace {

class PathsTest : public testsupport::BoxTest {};

bool exists(const std::string& real_path) {
  struct stat st;
  return ::stat(real_path.c_str(), &st) == 0;   // stat is not routed: it sees the real tree
}

std::string slurp(const std::string& real_path) {
  std::ifstream in(real_path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST_F(PathsTest, BoxFilesLiveUnderTheRoot) {
  const char* box_file = "/var/tuxbox/plugins/scrutafasci.conf";
  bool real_before = exists(box_file);
  FILE* f = std::fopen(box_file, "w");
  ASSERT_NE(f, nullptr) << std::strerror(errno);
  std::fprintf(f, "192 10700 12750\n");
  std::fclose(f);
  EXPECT_EQ(slurp(root().plugins("scrutafasci.conf")), "192 10700 12750\n");
  EXPECT_EQ(exists(box_file), real_before);
  // Read back through the seam, with open() and fopen().
  int fd = ::open(box_file, O_RDONLY);
  ASSERT_GE(fd, 0);
  char buf[64] = {};
  EXPECT_EQ(::read(fd, buf, sizeof buf - 1), 16);
  ::close(fd);
  EXPECT_STREQ(buf, "192 10700 12750\n");
  f = std::fopen(box_file, "r");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
}

TEST_F(PathsTest, RenameRemoveAndUnlinkStayInTheRoot) {
  FILE* f = std::fopen("/var/tuxbox/plugins/scrutafasci.skip1", "w");
  ASSERT_NE(f, nullptr);
  std::fputs("H 11778\n", f);
  std::fclose(f);
  ASSERT_EQ(std::rename("/var/tuxbox/plugins/scrutafasci.skip1", "/var/tuxbox/plugins/scrutafasci.skip"), 0);
  EXPECT_FALSE(exists(root().plugins("scrutafasci.skip1")));
  EXPECT_EQ(slurp(root().plugins("scrutafasci.skip")), "H 11778\n");
  EXPECT_EQ(std::remove("/var/tuxbox/plugins/scrutafasci.skip"), 0);
  EXPECT_FALSE(exists(root().plugins("scrutafasci.skip")));
  f = std::fopen("/var/tuxbox/plugins/scrutafasci.scan", "a");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  EXPECT_EQ(::unlink("/var/tuxbox/plugins/scrutafasci.scan"), 0);
  EXPECT_FALSE(exists(root().plugins("scrutafasci.scan")));
  errno = 0;
  EXPECT_EQ(::unlink("/var/tuxbox/plugins/scrutafasci.scan"), -1);
  EXPECT_EQ(errno, ENOENT);
}

TEST_F(PathsTest, EveryOpenVariantIsRouted) {
  const std::string real = root().plugins("variants");
  struct Variant {
    const char* name;
    int (*open)(const char*);
  };
  const Variant variants[] = {
      {"open", [](const char* p) { return ::open(p, O_WRONLY | O_CREAT | O_TRUNC, 0644); }},
      {"open64", [](const char* p) { return ::open64(p, O_WRONLY | O_CREAT | O_TRUNC, 0644); }},
      {"openat", [](const char* p) { return ::openat(AT_FDCWD, p, O_WRONLY | O_CREAT | O_TRUNC, 0644); }},
      {"openat64", [](const char* p) { return ::openat64(AT_FDCWD, p, O_WRONLY | O_CREAT | O_TRUNC, 0644); }},
      {"__open_2", [](const char* p) { return ::__open_2(p, O_WRONLY | O_TRUNC); }},
      {"__open64_2", [](const char* p) { return ::__open64_2(p, O_WRONLY | O_TRUNC); }},
  };
  for (const Variant& v : variants) {
    SCOPED_TRACE(v.name);
    std::remove(real.c_str());
    // The fortified variants take no mode: give them an existing file.
    if (std::strncmp(v.name, "__", 2) == 0) std::fclose(std::fopen(real.c_str(), "w"));
    int fd = v.open("/var/tuxbox/plugins/variants");
    ASSERT_GE(fd, 0) << std::strerror(errno);
    EXPECT_EQ(::write(fd, v.name, std::strlen(v.name)), static_cast<ssize_t>(std::strlen(v.name)));
    ::close(fd);
    EXPECT_EQ(slurp(real), v.name);
  }
  FILE* f = ::fopen64("/var/tuxbox/plugins/variants", "w");
  ASSERT_NE(f, nullptr);
  std::fputs("fopen64", f);
  std::fclose(f);
  EXPECT_EQ(slurp(real), "fopen64");
}

TEST_F(PathsTest, OddSpellingsOfTheBoxFolderAreFolded) {
  const char* spellings[] = {
      "//var/tuxbox/plugins/odd",
      "/var/./tuxbox/plugins/odd",
      "/var/tuxbox//plugins/../plugins/odd",
      "/etc/../var/tuxbox/plugins/odd",
  };
  for (const char* p : spellings) {
    SCOPED_TRACE(p);
    std::remove(root().plugins("odd").c_str());
    FILE* f = std::fopen(p, "w");
    ASSERT_NE(f, nullptr) << std::strerror(errno);
    std::fclose(f);
    EXPECT_TRUE(exists(root().plugins("odd")));
  }
  // ".." is folded before the match: a mapped path never leaves <root>/var/tuxbox,
  // and one that climbs out of the box folder is not a box path at all.
  std::string out;
  EXPECT_FALSE(emu::box().mapPath("/var/tuxbox/../../../../etc/passwd", &out));
  ASSERT_TRUE(emu::box().mapPath("/var/tuxbox/plugins/../../tuxbox/x", &out));
  EXPECT_EQ(out, root().path() + "/var/tuxbox/x");
  // Names that only look alike pass through.
  EXPECT_FALSE(emu::box().mapPath("/var/tuxboxes/x", &out));
  EXPECT_FALSE(emu::box().mapPath("/var/tux", &out));
  EXPECT_FALSE(emu::box().mapPath("var/tuxbox/x", &out));
}

TEST_F(PathsTest, OtherPathsPassThrough) {
  std::string real = root().path() + "/elsewhere";
  FILE* f = std::fopen(real.c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fputs("plain", f);
  std::fclose(f);
  EXPECT_EQ(slurp(real), "plain");
  int dir = ::open(root().path().c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(dir, 0);
  int fd = ::openat(dir, "elsewhere", O_RDONLY);   // relative to a directory
  EXPECT_GE(fd, 0);
  ::close(fd);
  ::close(dir);
  errno = 0;
  EXPECT_EQ(::open("/nonexistent-scrutafasci/x", O_RDONLY), -1);
  EXPECT_EQ(errno, ENOENT);
}

TEST_F(PathsTest, ReadOnlyPluginFolder) {
  FILE* f = std::fopen("/var/tuxbox/plugins/scrutafasci.sr", "w");
  ASSERT_NE(f, nullptr);
  std::fputs("27500\n", f);
  std::fclose(f);
  for (int err : {EROFS, EACCES}) {
    SCOPED_TRACE(err);
    emu::box().faults().setReadOnlyPlugins(err);
    errno = 0;
    EXPECT_EQ(std::fopen("/var/tuxbox/plugins/scrutafasci.sr", "w"), nullptr);
    EXPECT_EQ(errno, err);
    EXPECT_EQ(std::fopen("/var/tuxbox/plugins/scrutafasci.sr", "r+"), nullptr);
    EXPECT_EQ(std::fopen("/var/tuxbox/plugins/new", "a"), nullptr);
    EXPECT_EQ(::open("/var/tuxbox/plugins/new", O_WRONLY | O_CREAT, 0644), -1);
    EXPECT_EQ(errno, err);
    EXPECT_EQ(std::rename("/var/tuxbox/plugins/scrutafasci.sr", "/var/tuxbox/plugins/x"), -1);
    EXPECT_EQ(std::remove("/var/tuxbox/plugins/scrutafasci.sr"), -1);
    EXPECT_EQ(::unlink("/var/tuxbox/plugins/scrutafasci.sr"), -1);
    EXPECT_EQ(errno, err);
    // Reading still works and nothing changed.
    f = std::fopen("/var/tuxbox/plugins/scrutafasci.sr", "r");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    int fd = ::open("/var/tuxbox/plugins/scrutafasci.sr", O_RDONLY);
    EXPECT_GE(fd, 0);
    ::close(fd);
    EXPECT_EQ(slurp(root().plugins("scrutafasci.sr")), "27500\n");
    EXPECT_FALSE(exists(root().plugins("new")));
  }
  emu::box().faults().setReadOnlyPlugins(0);
  EXPECT_EQ(std::remove("/var/tuxbox/plugins/scrutafasci.sr"), 0);
}

TEST_F(PathsTest, OpenFaultOnABoxFile) {
  emu::box().faults().failOpen("/var/tuxbox/plugins/scrutafasci.conf", EIO);
  errno = 0;
  EXPECT_EQ(std::fopen("/var/tuxbox/plugins/scrutafasci.conf", "r"), nullptr);
  EXPECT_EQ(errno, EIO);
  EXPECT_EQ(::open("//var/tuxbox/plugins/scrutafasci.conf", O_RDONLY), -1);
  EXPECT_EQ(errno, EIO);
}

// Whatever the calls, the real /var/tuxbox is left as it was (most machines
// have none at all).
std::string listing(const char* dir) {
  std::string out;
  FILE* p = ::popen((std::string("ls -laR ") + dir + " 2>&1").c_str(), "r");
  char line[512];
  while (p && std::fgets(line, sizeof line, p)) out += line;
  if (p) ::pclose(p);
  return out;
}

TEST_F(PathsTest, NothingLandsUnderTheRealBoxFolder) {
  bool existed = exists("/var/tuxbox");
  std::string before = listing("/var/tuxbox");
  const char* names[] = {"/var/tuxbox/plugins/a.conf", "/var/tuxbox/b", "/var//tuxbox/plugins/c",
                         "/var/tuxbox/plugins/../d"};
  for (const char* n : names) {
    FILE* f = std::fopen(n, "w");
    ASSERT_NE(f, nullptr) << n << ": " << std::strerror(errno);
    std::fclose(f);
    int fd = ::open(n, O_WRONLY | O_APPEND);
    ASSERT_GE(fd, 0) << n;
    ::close(fd);
  }
  ASSERT_EQ(std::rename("/var/tuxbox/b", "/var/tuxbox/plugins/e"), 0);
  EXPECT_EQ(exists("/var/tuxbox"), existed);
  EXPECT_EQ(listing("/var/tuxbox"), before);
  EXPECT_TRUE(exists(root().plugins("e")));
  EXPECT_TRUE(exists(root().path() + "/var/tuxbox/d"));
}

TEST_F(PathsTest, DefaultRootIsThePerUserStateFolder) {
  const char* old_state = std::getenv("XDG_STATE_HOME");
  std::string saved = old_state ? old_state : "";
  setenv("XDG_STATE_HOME", "/somewhere/state", 1);
  EXPECT_EQ(emu::Box().root(), "/somewhere/state/scrutafasci");
  unsetenv("XDG_STATE_HOME");
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') {
    EXPECT_EQ(emu::Box().root(), std::string(home) + "/.local/state/scrutafasci");
  }
  if (old_state) setenv("XDG_STATE_HOME", saved.c_str(), 1);
}

}  // namespace
