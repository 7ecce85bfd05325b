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
  void clear();

  // Text form, one rule per call (command line: --fault RULE):
  //   open:/dev/dvb/card0/sec0=ENOENT   request:FE_READ_STATUS@3x2[=EIO]
  //   sec[=EIO]                         readonly[=EROFS|EACCES]
  // Returns false with a message in *error for a rule it does not understand.
  bool add(const std::string& rule, std::string* error);

  // Queries used by the seam and the devices. requestError counts the call.
  int openError(const std::string& box_path) const;
  int requestError(unsigned long request);
  int readOnlyPlugins() const;

private:
  struct RequestRule { unsigned long request; uint64_t nth, count; int err; uint64_t seen; };
  mutable std::mutex mutex_;
  std::map<std::string, int> open_errors_;
  std::vector<RequestRule> request_rules_;
  int sec_error_ = 0;
  int readonly_error_ = 0;
};

// Names of errno values and requests, for the rule text and the logs.
int errnoFromName(const std::string& name);          // "EIO" -> 5, or -1
const char* requestName(unsigned long request);      // "FE_READ_STATUS", or nullptr
unsigned long requestFromName(const std::string& name);  // 0 when unknown

}  // namespace emu
