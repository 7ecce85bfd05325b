#include "emulator/app/band_probe.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <host/dvbapi/frontend.h>
#include <host/dvbapi/sec.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace app {

FrontendProbe::FrontendProbe() {
  fe_ = ::open("/dev/dvb/card0/frontend0", O_RDWR);
  if (fe_ < 0) throw DeviceError(std::string("cannot open /dev/dvb/card0/frontend0: ") + std::strerror(errno));
  sec_ = ::open("/dev/dvb/card0/sec0", O_RDWR);
  if (sec_ < 0) {
    int e = errno;
    ::close(fe_);
    fe_ = -1;
    throw DeviceError(std::string("cannot open /dev/dvb/card0/sec0: ") + std::strerror(e));
  }
}

FrontendProbe::~FrontendProbe() {
  if (sec_ >= 0) ::close(sec_);
  if (fe_ >= 0) ::close(fe_);
}

BandPoint FrontendProbe::probe(int freqMHz, int polarisation, int srKsps, const LnbSetup& lnb, int maxStatusReads) {
  BandPoint p;
  p.freqMHz = freqMHz;
  long f = static_cast<long>(freqMHz) * 1000;
  bool high = f > static_cast<long>(lnb.thresholdKhz);
  f -= high ? lnb.lofHighKhz : lnb.lofLowKhz;

  secCommand cmd{};
  cmd.type = SEC_CMDTYPE_DISEQC;
  cmd.u.diseqc.framing = 0xE0;
  cmd.u.diseqc.addr = 0x10;
  cmd.u.diseqc.cmd = 0x38;
  cmd.u.diseqc.numParams = 1;
  cmd.u.diseqc.params[0] = static_cast<uint8_t>(0xF0 | ((lnb.diseqcPort * 4) & 0x0C) |
                                                (polarisation == 0 ? 0x02 : 0) | (high ? 0x01 : 0));
  secCmdSequence seq{};
  seq.voltage = polarisation ? SEC_VOLTAGE_13 : SEC_VOLTAGE_18;
  seq.miniCommand = SEC_MINI_NONE;
  seq.continuousTone = high ? SEC_TONE_ON : SEC_TONE_OFF;
  seq.numCommands = 1;
  seq.commands = &cmd;
  ::ioctl(sec_, SEC_SEND_SEQUENCE, &seq);  // a failing switch shows as no signal

  FrontendParameters fp{};
  fp.Frequency = static_cast<uint32_t>(std::labs(f));
  fp.Inversion = INVERSION_AUTO;
  fp.u.qpsk.SymbolRate = static_cast<uint32_t>(srKsps) * 1000u;
  fp.u.qpsk.FEC_inner = FEC_NONE;
  if (::ioctl(fe_, FE_SET_FRONTEND, &fp) < 0) {
    p.tuneFailed = true;
    return p;
  }
  FrontendStatus st = 0;
  while (st == 0 && p.statusReads < maxStatusReads) {
    ++p.statusReads;
    if (::ioctl(fe_, FE_READ_STATUS, &st) < 0) st = 0;
  }
  uint16_t v = 0;
  if (::ioctl(fe_, FE_READ_SIGNAL_STRENGTH, &v) == 0) p.agc = v;
  v = 0;
  if (::ioctl(fe_, FE_READ_SNR, &v) == 0) p.snr = v;
  p.status = st;
  return p;
}

std::string statusText(uint32_t s) {
  static const struct { uint32_t bit; const char* name; } bits[] = {
      {FE_HAS_POWER, "POWER"}, {FE_HAS_SIGNAL, "SIGNAL"}, {FE_SPECTRUM_INV, "INV"},
      {FE_HAS_LOCK, "LOCK"}, {FE_HAS_CARRIER, "CARRIER"}, {FE_HAS_VITERBI, "VITERBI"},
      {FE_HAS_SYNC, "SYNC"}, {FE_TUNER_HAS_LOCK, "TUNER"}};
  std::string out;
  for (const auto& b : bits)
    if (s & b.bit) out += (out.empty() ? "" : " ") + std::string(b.name);
  return out.empty() ? "-" : out;
}

}  // namespace app
