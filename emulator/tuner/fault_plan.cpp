#include "emulator/tuner/fault_plan.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "host/dvbapi/frontend.h"
#include "host/dvbapi/sec.h"

namespace emu {

namespace {
struct ErrnoName { const char* name; int value; };
const ErrnoName kErrnos[] = {
    {"EPERM", EPERM},   {"ENOENT", ENOENT}, {"EIO", EIO},       {"ENXIO", ENXIO},
    {"EBADF", EBADF},   {"EAGAIN", EAGAIN}, {"ENOMEM", ENOMEM}, {"EACCES", EACCES},
    {"EBUSY", EBUSY},   {"EEXIST", EEXIST}, {"ENODEV", ENODEV}, {"EINVAL", EINVAL},
    {"EMFILE", EMFILE}, {"ENOSPC", ENOSPC}, {"EROFS", EROFS},   {"ETIMEDOUT", ETIMEDOUT},
    {"EOPNOTSUPP", EOPNOTSUPP}, {"ENOTTY", ENOTTY},
};

struct RequestNameEntry { const char* name; unsigned long value; };
const RequestNameEntry kRequests[] = {
    {"FE_READ_STATUS", FE_READ_STATUS},
    {"FE_READ_BER", FE_READ_BER},
    {"FE_READ_SIGNAL_STRENGTH", FE_READ_SIGNAL_STRENGTH},
    {"FE_READ_SNR", FE_READ_SNR},
    {"FE_READ_UNCORRECTED_BLOCKS", FE_READ_UNCORRECTED_BLOCKS},
    {"FE_GET_NEXT_FREQUENCY", FE_GET_NEXT_FREQUENCY},
    {"FE_GET_NEXT_SYMBOL_RATE", FE_GET_NEXT_SYMBOL_RATE},
    {"FE_SET_FRONTEND", FE_SET_FRONTEND},
    {"FE_GET_FRONTEND", FE_GET_FRONTEND},
    {"FE_GET_INFO", FE_GET_INFO},
    {"FE_GET_EVENT", FE_GET_EVENT},
    {"SEC_GET_STATUS", SEC_GET_STATUS},
    {"SEC_RESET_OVERLOAD", SEC_RESET_OVERLOAD},
    {"SEC_SEND_SEQUENCE", SEC_SEND_SEQUENCE},
    {"SEC_SET_TONE", SEC_SET_TONE},
    {"SEC_SET_VOLTAGE", SEC_SET_VOLTAGE},
};

bool parseCount(const std::string& s, uint64_t* out) {
  if (s.empty()) return false;
  char* end = nullptr;
  errno = 0;
  unsigned long long v = std::strtoull(s.c_str(), &end, 10);
  if (errno || *end || s[0] == '-') return false;
  *out = v;
  return true;
}

// "NAME" or a number.
bool parseErrno(const std::string& s, int* out) {
  int e = errnoFromName(s);
  if (e > 0) {
    *out = e;
    return true;
  }
  uint64_t v = 0;
  if (!parseCount(s, &v) || v == 0 || v > 4095) return false;
  *out = static_cast<int>(v);
  return true;
}
}  // namespace

int errnoFromName(const std::string& name) {
  for (const auto& e : kErrnos)
    if (name == e.name) return e.value;
  return -1;
}

const char* requestName(unsigned long request) {
  for (const auto& r : kRequests)
    if (r.value == request) return r.name;
  return nullptr;
}

unsigned long requestFromName(const std::string& name) {
  for (const auto& r : kRequests)
    if (name == r.name) return r.value;
  return 0;
}

void FaultPlan::failOpen(const std::string& path, int err) {
  std::lock_guard<std::mutex> l(mutex_);
  if (err)
    open_errors_[path] = err;
  else
    open_errors_.erase(path);
}

void FaultPlan::failRequest(unsigned long request, uint64_t nth, uint64_t count, int err) {
  std::lock_guard<std::mutex> l(mutex_);
  request_rules_.push_back({request, nth == 0 ? 1 : nth, count, err, 0});
}

void FaultPlan::failSecSequence(int err) {
  std::lock_guard<std::mutex> l(mutex_);
  sec_error_ = err;
}

void FaultPlan::setReadOnlyPlugins(int err) {
  std::lock_guard<std::mutex> l(mutex_);
  readonly_error_ = err;
}

void FaultPlan::killAt(const std::string& path, uint64_t nth) {
  std::lock_guard<std::mutex> l(mutex_);
  kills_[path] = {nth == 0 ? 1 : nth, 0};
}

void FaultPlan::dropLocks(uint64_t count) {
  std::lock_guard<std::mutex> l(mutex_);
  locks_to_drop_ = count;
}

void FaultPlan::clear() {
  std::lock_guard<std::mutex> l(mutex_);
  locks_to_drop_ = 0;
  open_errors_.clear();
  request_rules_.clear();
  calls_.clear();
  kills_.clear();
  sec_error_ = 0;
  readonly_error_ = 0;
}

bool FaultPlan::add(const std::string& rule, std::string* error) {
  auto fail = [&](const std::string& why) {
    if (error) *error = "fault \"" + rule + "\": " + why;
    return false;
  };
  std::string head = rule, value;
  size_t eq = rule.rfind('=');
  if (eq != std::string::npos) {
    head = rule.substr(0, eq);
    value = rule.substr(eq + 1);
  }
  int err = 0;
  if (head.rfind("open:", 0) == 0) {
    std::string path = head.substr(5);
    if (path.empty() || path[0] != '/') return fail("the path must be absolute");
    if (!parseErrno(value, &err)) return fail("needs =ERRNO, e.g. =ENOENT");
    failOpen(path, err);
    return true;
  }
  if (head.rfind("request:", 0) == 0) {
    std::string rule = head.substr(8);
    uint64_t nth = 1, count = 1;
    size_t at = rule.find('@');
    std::string name = rule.substr(0, at);
    if (at != std::string::npos) {
      std::string when = rule.substr(at + 1);
      size_t x = when.find('x');
      if (!parseCount(when.substr(0, x), &nth) || nth == 0) return fail("bad call number after @");
      if (x != std::string::npos && !parseCount(when.substr(x + 1), &count))
        return fail("bad call count after x");
    }
    unsigned long req = requestFromName(name);
    if (!req) return fail("unknown request " + name);
    err = EIO;
    if (!value.empty() && !parseErrno(value, &err)) return fail("bad errno " + value);
    failRequest(req, nth, count, err);
    return true;
  }
  if (head == "sec") {
    err = EIO;
    if (!value.empty() && !parseErrno(value, &err)) return fail("bad errno " + value);
    failSecSequence(err);
    return true;
  }
  if (head.rfind("kill:", 0) == 0 && value.empty()) {
    std::string path = head.substr(5);
    uint64_t nth = 1;
    size_t at = path.find('@');
    if (at != std::string::npos) {
      if (!parseCount(path.substr(at + 1), &nth) || nth == 0) return fail("bad access number after @");
      path.resize(at);
    }
    if (path.empty() || path[0] != '/') return fail("the path must be absolute");
    killAt(path, nth);
    return true;
  }
  if (head == "readonly") {
    err = EROFS;
    if (!value.empty() && !parseErrno(value, &err)) return fail("bad errno " + value);
    if (err != EROFS && err != EACCES) return fail("a read-only folder fails with EROFS or EACCES");
    setReadOnlyPlugins(err);
    return true;
  }
  return fail("expected open:PATH=ERRNO, request:NAME@NxK[=ERRNO], sec[=ERRNO], readonly[=ERRNO] or kill:PATH[@N]");
}

int FaultPlan::openError(const std::string& box_path) const {
  std::lock_guard<std::mutex> l(mutex_);
  auto it = open_errors_.find(box_path);
  return it == open_errors_.end() ? 0 : it->second;
}

int FaultPlan::requestError(unsigned long request) {
  std::lock_guard<std::mutex> l(mutex_);
  int err = 0;
  ++calls_[request];
  for (auto& r : request_rules_) {
    if (r.request != request) continue;
    uint64_t call = ++r.seen;
    if (call >= r.nth && (r.count == 0 || call < r.nth + r.count) && !err) err = r.err;
  }
  if (!err && request == SEC_SEND_SEQUENCE) err = sec_error_;
  return err;
}

bool FaultPlan::killsAt(const std::string& box_path) {
  std::lock_guard<std::mutex> l(mutex_);
  auto it = kills_.find(box_path);
  return it != kills_.end() && ++it->second.second == it->second.first;
}

uint64_t FaultPlan::calls(unsigned long request) const {
  std::lock_guard<std::mutex> l(mutex_);
  auto it = calls_.find(request);
  return it == calls_.end() ? 0 : it->second;
}

uint32_t FaultPlan::statusRead(uint32_t status) {
  std::lock_guard<std::mutex> l(mutex_);
  if (!(status & FE_HAS_LOCK) || locks_to_drop_ == 0) return status;
  --locks_to_drop_;
  return status & ~uint32_t(FE_HAS_SYNC | FE_HAS_LOCK);
}

int FaultPlan::readOnlyPlugins() const {
  std::lock_guard<std::mutex> l(mutex_);
  return readonly_error_;
}

}  // namespace emu
