// Failures injected into the box: opens, device requests, the SEC sequence and a
// read-only plug-in folder. Thread-safe; callable from tests and the command line.
#pragma once
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace emu {

class FaultPlan {
public:
  // open() of this box path (e.g. "/dev/dvb/card0/frontend0") fails with err.
  void failOpen(const std::string& path, int err);
  // The request (an ioctl number) fails with err from its n-th call (1 = the next
  // one) for count calls; count 0 means for ever. Calls are counted from now on.
  void failRequest(unsigned long request, uint64_t nth, uint64_t count, int err = 5 /*EIO*/);
  // Every SEC_SEND_SEQUENCE fails with err (0 turns it off).
  void failSecSequence(int err = 5 /*EIO*/);
  // Writes under /var/tuxbox/plugins fail with err (EACCES or EROFS; 0 turns it off).
  void setReadOnlyPlugins(int err);
  // The box dies (SIGKILL, as at a power cut) at the nth write access to this box path:
  // an open for writing, a rename from or onto it, a removal. For the kill tests.
  void killAt(const std::string& path, uint64_t nth);
  // The next count status reads through the frontend device that carry a lock show it
  // lost: SYNC and LOCK cleared, the other bits kept, as a demodulator that drops a fresh
  // lock. A carrier then locks only at a later try (count 0 turns it off).
  void dropLocks(uint64_t count);
  void clear();

  // Text form, one rule per call (command line: --fault RULE):
  //   open:/dev/dvb/card0/sec0=ENOENT   request:FE_READ_STATUS@3x2[=EIO]
  //   sec[=EIO]                         readonly[=EROFS|EACCES]
  //   kill:/var/tuxbox/plugins/scrutafasci.sr1[@2]
  // Returns false with a message in *error for a rule it does not understand.
  bool add(const std::string& rule, std::string* error);

  // Queries used by the seam and the devices. requestError counts the call.
  int openError(const std::string& box_path) const;
  int requestError(unsigned long request);
  int readOnlyPlugins() const;
  // Counts a write access to a box path; true when the box must die now.
  bool killsAt(const std::string& box_path);
  // Calls of a request since the last clear(), failed or not.
  uint64_t calls(unsigned long request) const;
  // The status word a FE_READ_STATUS on the device returns for the tuner's status.
  uint32_t statusRead(uint32_t status);

private:
  struct RequestRule { unsigned long request; uint64_t nth, count; int err; uint64_t seen; };
  mutable std::mutex mutex_;
  std::map<std::string, int> open_errors_;
  std::vector<RequestRule> request_rules_;
  std::map<unsigned long, uint64_t> calls_;
  std::map<std::string, std::pair<uint64_t, uint64_t>> kills_;   // path -> (nth, seen)
  int sec_error_ = 0;
  int readonly_error_ = 0;
  uint64_t locks_to_drop_ = 0;
};

// Names of errno values and requests, for the rule text and the logs.
int errnoFromName(const std::string& name);          // "EIO" -> 5, or -1
const char* requestName(unsigned long request);      // "FE_READ_STATUS", or nullptr
unsigned long requestFromName(const std::string& name);  // 0 when unknown

}  // namespace emu
