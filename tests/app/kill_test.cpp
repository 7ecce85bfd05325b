// The box killed with SIGKILL, as at a power cut: at random moments of short scans and
// at the steps of the end-of-scan write-back. Every file of the plug-in is then its old
// or its new whole content, and the next run starts, ends normally and leaves no
// temporary file. SCRUTA_SEED replays the moments; the seed is printed on failure.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "emu_process.h"

namespace {

const char* const kTable = "11836 H 27500 3/4 DVB-S QPSK -\n11954 H 27500 3/4 DVB-S QPSK -\n";
const char* const kServices = "11836 H 27500 | T | Das Erste | ARD\n11836 H 27500 | R | Bayern 3 | ARD\n"
                              "11954 H 27500 | T | ZDF | ZDFvision\n";
const char* const kScenario = R"(name = "kill test"
[[satellite]]
position = 192
name = "Astra 19.2E"
diseqc_port = "A"
  [[satellite.list]]
  transponders = "k.tpl"
  services = "k.services"
[tuned]
position = 192
frequency_mhz = 11836
polarisation = "H"
playing = "Das Erste"
)";

// The plug-in's files that are replaced whole, with old contents unlike anything a scan writes.
struct FileOfThePlugIn {
  const char* name;
  const char* old;
};
const FileOfThePlugIn kFiles[] = {
    {"scrutafasci.conf",
     "# --------------- SATELLITE ----------------\nsatellite=130\ntipoRicerca=0\nfreqStart=10700\n"
     "freqEnd=12750\nstepFrequenza=3\npolarita=1\nstartSymbolRate=27500\nendSymbolRate=27500\n"
     "stepSymbolRate=1\nritardoScansione=10\nsogliaAggancio=53\n"},
    {"scrutafasci.sr", "22000\n"},
    {"scrutafasci.skip", "#130\n11000 V\n"},
};
const char* const kTemporaries[] = {"scrutafasci.conf.new", "scrutafasci.sr1", "scrutafasci.skip1"};

uint64_t seed() {
  if (const char* s = std::getenv("SCRUTA_SEED"); s && *s) return std::strtoull(s, nullptr, 10);
  return std::random_device()();
}

class KillTest : public ::testing::Test {
protected:
  void SetUp() override {
    home_ = apptest::makeTempDir("kill");
    plugins_ = home_ + "/root/var/tuxbox/plugins/";
    std::filesystem::create_directories(plugins_);   // the old files are there before the first run
    apptest::writeFile(home_ + "/k.tpl", kTable);
    apptest::writeFile(home_ + "/k.services", kServices);
    apptest::writeFile(home_ + "/k.toml", kScenario);
  }
  void TearDown() override { apptest::removeTree(home_); }

  std::vector<std::string> args(const std::vector<std::string>& extra = {}) const {
    std::vector<std::string> a = {"scan", "--scenario", home_ + "/k.toml", "--root", home_ + "/root",
                                  "--from", "11820", "--to", "11850", "--quiet", "--max-wall-time", "60"};
    a.insert(a.end(), extra.begin(), extra.end());
    return a;
  }

  void writeOld() const {
    for (const auto& f : kFiles) apptest::writeFile(plugins_ + f.name, f.old);
    for (const char* t : kTemporaries) ::unlink((plugins_ + t).c_str());
  }

  std::map<std::string, std::string> contents() const {
    std::map<std::string, std::string> c;
    for (const auto& f : kFiles) c[f.name] = apptest::readFile(plugins_ + f.name);
    return c;
  }

  // Runs the emulator and kills it after afterUs of wall time unless it ended first;
  // the exit status, 128 + 9 when killed.
  int runKilledAfter(const std::vector<std::string>& a, long afterUs) const {
    pid_t pid = fork();
    if (pid == 0) {
      int null = ::open("/dev/null", O_RDWR);
      dup2(null, 0);
      dup2(null, 1);
      dup2(null, 2);
      setenv("HOME", home_.c_str(), 1);
      setenv("XDG_STATE_HOME", (home_ + "/state").c_str(), 1);
      std::vector<std::string> copy = a;
      std::string exe = SCRUTA_EMU_PATH;
      std::vector<char*> argv{exe.data()};
      for (auto& s : copy) argv.push_back(s.data());
      argv.push_back(nullptr);
      execv(exe.c_str(), argv.data());
      _exit(127);
    }
    auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(afterUs);
    int st = 0;
    while (std::chrono::steady_clock::now() < until) {
      if (waitpid(pid, &st, WNOHANG) == pid) return WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    kill(pid, SIGKILL);
    waitpid(pid, &st, 0);
    return WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
  }

  // After a kill: old or new whole; then a normal run gives the new contents and no temporary.
  void checkAfterKill(const std::map<std::string, std::string>& fresh) {
    auto now = contents();
    for (const auto& f : kFiles)
      EXPECT_TRUE(now[f.name] == f.old || now[f.name] == fresh.at(f.name))
          << f.name << " is neither old nor new:\n" << now[f.name];
    auto r = apptest::runEmu(args(), home_, 120);
    // The scan reached its closing message. (Not the exit status: the autopilot now and then
    // misreads the moment between that message and the end text as a closed window.)
    EXPECT_NE(r.out.find("\"Finito\": Scansione terminata. Premere annulla per uscire"), std::string::npos)
        << r.status << "\n" << r.out << r.err;
    EXPECT_TRUE(r.status == 0 || r.status == 1) << r.status << "\n" << r.out << r.err;
    EXPECT_EQ(contents(), fresh) << "the run after the kill";
    for (const char* t : kTemporaries) EXPECT_NE(::access((plugins_ + t).c_str(), F_OK), 0) << t << " was left";
  }

  std::string home_, plugins_;
};

TEST_F(KillTest, AtRandomMomentsAndInsideTheWriteBack) {
  const uint64_t s = seed();
  SCOPED_TRACE("SCRUTA_SEED=" + std::to_string(s));
  std::mt19937_64 random(s);

  // What a whole run makes of the old files, and how long it takes here.
  writeOld();
  auto t0 = std::chrono::steady_clock::now();
  auto base = apptest::runEmu(args(), home_, 120);
  const long runUs =
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - t0).count();
  ASSERT_EQ(base.status, 0) << base.out << base.err;
  const auto fresh = contents();
  ASSERT_EQ(fresh.at("scrutafasci.sr"), "22000\n27500\n") << "the scan read the old rates and added its own";
  for (const auto& f : kFiles) ASSERT_NE(fresh.at(f.name), f.old) << f.name << " is rewritten by a scan";

  // Each step of each replacement: the temporary's removal, its opening, the rename.
  const char* const steps[] = {
      "kill:/var/tuxbox/plugins/scrutafasci.conf.new@1", "kill:/var/tuxbox/plugins/scrutafasci.conf@1",
      "kill:/var/tuxbox/plugins/scrutafasci.sr1@1",      "kill:/var/tuxbox/plugins/scrutafasci.sr1@2",
      "kill:/var/tuxbox/plugins/scrutafasci.sr@1",       "kill:/var/tuxbox/plugins/scrutafasci.skip1@1",
      "kill:/var/tuxbox/plugins/scrutafasci.skip1@2",    "kill:/var/tuxbox/plugins/scrutafasci.skip@1"};
  for (const char* rule : steps) {
    SCOPED_TRACE(rule);
    writeOld();
    auto r = apptest::runEmu(args({"--fault", rule}), home_, 120);
    EXPECT_EQ(r.status, 128 + SIGKILL) << "the box did not die at " << rule << "\n" << r.out << r.err;
    checkAfterKill(fresh);
  }

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  const int kills = 10;   // a sanitized run takes several times longer
#else
  const int kills = 50;
#endif
  int killed = 0;
  for (int i = 0; i < kills; ++i) {
    const long at = std::uniform_int_distribution<long>(0, runUs * 11 / 10)(random);
    SCOPED_TRACE("kill after " + std::to_string(at) + " us of " + std::to_string(runUs));
    writeOld();
    int status = runKilledAfter(args(), at);
    EXPECT_TRUE(status == 128 + SIGKILL || status == 0) << status;
    killed += status == 128 + SIGKILL;
    checkAfterKill(fresh);
  }
  std::printf("kills: %zu at the write-back steps, %d of %d at random moments (the rest ended first)\n",
              std::size(steps), killed, kills);
  EXPECT_GT(killed, 0);
}

}  // namespace
