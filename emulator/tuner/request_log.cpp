#include "emulator/tuner/request_log.h"

namespace emu {

namespace {
thread_local RequestOrigin t_origin = RequestOrigin::Host;
}

const char* originName(RequestOrigin o) {
  switch (o) {
    case RequestOrigin::Device: return "device";
    case RequestOrigin::Frontend: return "frontend";
    case RequestOrigin::Host: return "host";
  }
  return "?";
}

void RequestLog::clear() {
  std::lock_guard<std::mutex> l(mutex_);
  records_.clear();
}

void RequestLog::add(const RequestRecord& r) {
  std::lock_guard<std::mutex> l(mutex_);
  records_.push_back(r);
}

std::vector<RequestRecord> RequestLog::records() const {
  std::lock_guard<std::mutex> l(mutex_);
  return records_;
}

void RequestLog::visit(const std::function<void(const RequestRecord&)>& f) const {
  std::lock_guard<std::mutex> l(mutex_);
  for (const RequestRecord& r : records_) f(r);
}

size_t RequestLog::size() const {
  std::lock_guard<std::mutex> l(mutex_);
  return records_.size();
}

RequestOriginScope::RequestOriginScope(RequestOrigin o) : previous_(t_origin) { t_origin = o; }
RequestOriginScope::~RequestOriginScope() { t_origin = previous_; }
RequestOrigin RequestOriginScope::current() { return t_origin; }

}  // namespace emu
