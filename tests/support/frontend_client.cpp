#include "support/frontend_client.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <cstdlib>

namespace testsupport {

FrontendClient::FrontendClient() {
  fe_ = ::open("/dev/dvb/card0/frontend0", O_RDWR);
  sec_ = ::open("/dev/dvb/card0/sec0", O_RDWR);
}

FrontendClient::~FrontendClient() {
  if (fe_ >= 0) ::close(fe_);
  if (sec_ >= 0) ::close(sec_);
}

SentTuning FrontendClient::tune(int mhz, int polarisation, int ksps, const LnbSettings& lnb) {
  SentTuning t;
  long long f = static_cast<long long>(mhz) * 1000;
  bool high = f > lnb.threshold_khz;
  f -= high ? lnb.lof_high_khz : lnb.lof_low_khz;
  t.parameters.Frequency = static_cast<uint32_t>(std::llabs(f));
  t.parameters.Inversion = INVERSION_AUTO;
  t.command.type = SEC_CMDTYPE_DISEQC;
  t.command.u.diseqc.addr = 0x10;
  t.command.u.diseqc.cmd = 0x38;
  t.command.u.diseqc.numParams = 1;
  t.command.u.diseqc.params[0] = static_cast<uint8_t>(0xF0 | ((lnb.diseqc_port * 4) & 0x0C) |
                                                      (polarisation == 0 ? 2 : 0) | (high ? 1 : 0));
  t.sequence.voltage = polarisation ? SEC_VOLTAGE_13 : SEC_VOLTAGE_18;
  t.sequence.miniCommand = SEC_MINI_NONE;
  t.sequence.continuousTone = high ? SEC_TONE_ON : SEC_TONE_OFF;
  t.sequence.numCommands = 1;
  t.sequence.commands = &t.command;
  t.sec_result = ::ioctl(sec_, SEC_SEND_SEQUENCE, &t.sequence);
  t.parameters.u.qpsk.SymbolRate = static_cast<uint32_t>(ksps) * 1000;
  t.parameters.u.qpsk.FEC_inner = FEC_NONE;
  t.set_result = ::ioctl(fe_, FE_SET_FRONTEND, &t.parameters);
  t.set_errno = t.set_result < 0 ? errno : 0;
  return t;
}

uint32_t FrontendClient::status() {
  uint32_t s = 0;
  if (::ioctl(fe_, FE_READ_STATUS, &s) < 0) return 0;
  return s;
}

uint32_t FrontendClient::waitStatus(int max_reads) {
  for (int i = 0; i < max_reads; ++i)
    if (uint32_t s = status()) return s;
  return 0;
}

uint16_t FrontendClient::strength() {
  uint16_t v = 0;
  ::ioctl(fe_, FE_READ_SIGNAL_STRENGTH, &v);
  return v;
}

uint16_t FrontendClient::snr() {
  uint16_t v = 0;
  ::ioctl(fe_, FE_READ_SNR, &v);
  return v;
}

uint32_t FrontendClient::ber() {
  uint32_t v = 0;
  ::ioctl(fe_, FE_READ_BER, &v);
  return v;
}

int FrontendClient::mean(int n, bool want_snr) {
  long sum = 0;
  for (int i = 0; i < n; ++i) sum += want_snr ? snr() : strength();
  return static_cast<int>(sum / n);
}

}  // namespace testsupport
