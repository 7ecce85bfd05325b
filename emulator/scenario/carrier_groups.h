// Collects services into carriers keyed by frequency, polarisation and symbol rate.
#pragma once
#include <map>
#include <tuple>
#include <vector>
#include <emulator/scenario/scenario.h>

namespace emu {

class CarrierGroups {
public:
  // The carrier with this key, made from proto when it is new.
  Carrier& at(const Carrier& proto) {
    auto key = std::make_tuple(proto.frequency_khz, static_cast<int>(proto.polarisation), proto.symbol_rate);
    auto it = index_.find(key);
    if (it != index_.end()) return carriers_[it->second];
    index_.emplace(key, carriers_.size());
    carriers_.push_back(proto);
    carriers_.back().services.clear();
    return carriers_.back();
  }
  std::vector<Carrier> take() { index_.clear(); return std::move(carriers_); }
  size_t size() const { return carriers_.size(); }
private:
  std::map<std::tuple<uint32_t, int, uint32_t>, size_t> index_;
  std::vector<Carrier> carriers_;
};

}  // namespace emu
