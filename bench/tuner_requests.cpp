// Cost of the emulated requests through the seam, and the virtual and wall time
// of a 1 MHz sweep over the Ku band at 2000 kS/s on one polarisation.
//   cmake --build build --target tuner_requests && build/bench/tuner_requests
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "emulator/tuner/box.h"

namespace {

// An Astra-like band: 22000 kS/s carriers below 11700 MHz, 27500 above, both
// polarisations interleaved, a few narrow feeds; levels drawn from the seed.
emu::Scenario band() {
  emu::Scenario s;
  s.seed = 2024;
  emu::Satellite sat;
  sat.orbital_position = 192;
  sat.diseqc_port = 0;
  auto add = [&](double mhz, emu::Polarisation pol, uint32_t sr, bool listed) {
    emu::Carrier c;
    c.frequency_khz = static_cast<uint32_t>(mhz * 1000);
    c.polarisation = pol;
    c.symbol_rate = sr;
    c.fec = FEC_3_4;
    c.listed = listed;
    sat.carriers.push_back(c);
  };
  int i = 0;
  for (double f = 10714; f < 11700; f += 14.75, ++i)
    add(f, i % 2 ? emu::Polarisation::Vertical : emu::Polarisation::Horizontal, 22000000, true);
  for (double f = 11719.5; f < 12740; f += 19.5, ++i)
    add(f, i % 2 ? emu::Polarisation::Vertical : emu::Polarisation::Horizontal, 27500000, true);
  for (double f : {10985.0, 11467.0, 12020.0, 12607.0}) add(f, emu::Polarisation::Horizontal, 6111000, false);
  s.satellites.push_back(sat);
  return s;
}

struct Devices {
  int fe, sec;
  Devices() {
    emu::box().load(band());
    fe = ::open("/dev/dvb/card0/frontend0", O_RDWR);
    sec = ::open("/dev/dvb/card0/sec0", O_RDWR);
    if (fe < 0 || sec < 0) std::abort();
  }
  ~Devices() {
    ::close(fe);
    ::close(sec);
  }
  // As the plug-in tunes: SEC sequence, then the parameter block.
  void tune(int mhz, int ksps) {
    bool high = mhz * 1000 > 11700000;
    secCommand cmd{};
    cmd.type = SEC_CMDTYPE_DISEQC;
    cmd.u.diseqc = {0, 0x10, 0x38, 1, {static_cast<uint8_t>(0xF2 | (high ? 1 : 0)), 0, 0}};
    secCmdSequence seq{SEC_VOLTAGE_18, SEC_MINI_NONE, high ? SEC_TONE_ON : SEC_TONE_OFF, 1, &cmd};
    ::ioctl(sec, SEC_SEND_SEQUENCE, &seq);
    FrontendParameters p{};
    p.Frequency = static_cast<uint32_t>(std::labs(mhz * 1000L - (high ? 10600000L : 9750000L)));
    p.Inversion = INVERSION_AUTO;
    p.u.qpsk.SymbolRate = ksps * 1000u;
    ::ioctl(fe, FE_SET_FRONTEND, &p);
  }
};

template <unsigned long Request, class T>
void BM_Read(benchmark::State& state) {
  Devices d;
  d.tune(11778, 27500);
  T v{};
  for (auto _ : state) {
    ::ioctl(d.fe, Request, &v);
    benchmark::DoNotOptimize(v);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK_TEMPLATE(BM_Read, FE_READ_STATUS, uint32_t)->Name("FE_READ_STATUS");
BENCHMARK_TEMPLATE(BM_Read, FE_READ_SIGNAL_STRENGTH, uint16_t)->Name("FE_READ_SIGNAL_STRENGTH");
BENCHMARK_TEMPLATE(BM_Read, FE_READ_SNR, uint16_t)->Name("FE_READ_SNR");
BENCHMARK_TEMPLATE(BM_Read, FE_READ_BER, uint32_t)->Name("FE_READ_BER");

void BM_SetFrontend(benchmark::State& state) {
  Devices d;
  d.tune(11778, 27500);
  FrontendParameters p{};
  p.Inversion = INVERSION_AUTO;
  p.u.qpsk.SymbolRate = static_cast<uint32_t>(state.range(0)) * 1000;
  uint32_t f = 950000;
  for (auto _ : state) {
    p.Frequency = f;
    f = f >= 2150000 ? 950000 : f + 1000;
    ::ioctl(d.fe, FE_SET_FRONTEND, &p);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SetFrontend)->Name("FE_SET_FRONTEND")->Arg(2000)->Arg(27500);

void BM_GetFrontend(benchmark::State& state) {
  Devices d;
  d.tune(11778, 27500);
  FrontendParameters p{};
  for (auto _ : state) ::ioctl(d.fe, FE_GET_FRONTEND, &p);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GetFrontend)->Name("FE_GET_FRONTEND");

void BM_SecSequence(benchmark::State& state) {
  Devices d;
  int i = 0;
  for (auto _ : state) d.tune(11000 + (i++ % 2) * 1000, 27500);   // one sequence and one set each
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SecSequence)->Name("SEC_SEND_SEQUENCE+FE_SET_FRONTEND");

// The sweep: arg 0 reads four AGC values per point (as the AGC search); arg 1
// first waits for a non-zero status (as the standard search).
void BM_Sweep(benchmark::State& state) {
  Devices d;
  bool wait = state.range(0) != 0;
  uint64_t virtual_us = 0, requests = 0;
  for (auto _ : state) {
    uint64_t t0 = emu::box().clock().now();
    for (int mhz = 10700; mhz <= 12750; ++mhz) {
      d.tune(mhz, 2000);
      requests += 2;
      if (wait) {
        uint32_t s = 0;
        while (s == 0) {
          ::ioctl(d.fe, FE_READ_STATUS, &s);
          ++requests;
        }
      }
      long sum = 0;
      for (int i = 0; i < 4; ++i) {
        uint16_t v = 0;
        ::ioctl(d.fe, FE_READ_SIGNAL_STRENGTH, &v);
        sum += v;
      }
      requests += 4;
      benchmark::DoNotOptimize(sum);
    }
    virtual_us += emu::box().clock().now() - t0;
  }
  state.counters["virtual_s_per_sweep"] = virtual_us / 1e6 / state.iterations();
  state.counters["requests_per_sweep"] = static_cast<double>(requests) / state.iterations();
}
BENCHMARK(BM_Sweep)->Name("sweep 10700-12750 MHz @2000 kS/s")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
