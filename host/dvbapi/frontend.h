// DVB API version 1: the QPSK frontend device (/dev/dvb/card0/frontend0).
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <sys/ioctl.h>

typedef uint32_t FrontendStatus;

#define FE_HAS_POWER       0x01
#define FE_HAS_SIGNAL      0x02
#define FE_SPECTRUM_INV    0x04
#define FE_HAS_LOCK        0x08
#define FE_HAS_CARRIER     0x10
#define FE_HAS_VITERBI     0x20
#define FE_HAS_SYNC        0x40
#define FE_TUNER_HAS_LOCK  0x80

typedef enum { INVERSION_OFF = 0, INVERSION_ON = 1, INVERSION_AUTO = 2 } SpectralInversion;

typedef enum {
  FEC_NONE = 0, FEC_1_2, FEC_2_3, FEC_3_4, FEC_4_5, FEC_5_6, FEC_6_7, FEC_7_8, FEC_8_9, FEC_AUTO
} CodeRate;

typedef struct {
  uint32_t SymbolRate;   // symbols per second
  CodeRate FEC_inner;
} QPSKParameters;

typedef struct {
  uint32_t SymbolRate;
  CodeRate FEC_inner;
  int32_t QAM;
} QAMParameters;

typedef struct {
  int32_t bandWidth, HP_CodeRate, LP_CodeRate, Constellation, TransmissionMode, guardInterval, HierarchyInformation;
} OFDMParameters;

typedef struct {
  uint32_t Frequency;             // intermediate frequency, kHz (QPSK)
  SpectralInversion Inversion;
  union {
    QPSKParameters qpsk;
    QAMParameters qam;
    OFDMParameters ofdm;
  } u;
} FrontendParameters;

static_assert(sizeof(FrontendStatus) == 4, "status word");
static_assert(sizeof(FrontendParameters) == 36, "parameter block");
static_assert(offsetof(FrontendParameters, Frequency) == 0, "frequency");
static_assert(offsetof(FrontendParameters, Inversion) == 4, "inversion");
static_assert(offsetof(FrontendParameters, u.qpsk.SymbolRate) == 8, "symbol rate");
static_assert(offsetof(FrontendParameters, u.qpsk.FEC_inner) == 12, "inner FEC");
static_assert(sizeof(((FrontendParameters*)0)->u) == 28, "parameter union");

// Readings are 16-bit on this frontend (0..65535); the BER is a 32-bit count.
#define FE_READ_STATUS            _IOR('o', 64, FrontendStatus)
#define FE_READ_BER               _IOR('o', 65, uint32_t)
#define FE_READ_SIGNAL_STRENGTH   _IOR('o', 66, uint16_t)
#define FE_READ_SNR               _IOR('o', 67, uint16_t)
#define FE_READ_UNCORRECTED_BLOCKS _IOR('o', 68, uint32_t)
#define FE_GET_NEXT_FREQUENCY     _IOWR('o', 69, uint32_t)
#define FE_GET_NEXT_SYMBOL_RATE   _IOWR('o', 70, uint32_t)
#define FE_SET_FRONTEND           _IOW('o', 71, FrontendParameters)
#define FE_GET_FRONTEND           _IOR('o', 72, FrontendParameters)
#define FE_GET_INFO               _IOR('o', 73, uint32_t[8])
#define FE_GET_EVENT              _IOR('o', 74, uint32_t[10])

static_assert(_IOC_TYPE(FE_READ_STATUS) == 'o' && _IOC_NR(FE_READ_STATUS) == 64 && _IOC_SIZE(FE_READ_STATUS) == 4, "");
static_assert(_IOC_NR(FE_READ_SIGNAL_STRENGTH) == 66 && _IOC_SIZE(FE_READ_SIGNAL_STRENGTH) == 2, "");
static_assert(_IOC_NR(FE_READ_SNR) == 67 && _IOC_SIZE(FE_READ_SNR) == 2, "");
static_assert(_IOC_NR(FE_SET_FRONTEND) == 71 && _IOC_SIZE(FE_SET_FRONTEND) == 36 && _IOC_DIR(FE_SET_FRONTEND) == _IOC_WRITE, "");
static_assert(_IOC_NR(FE_GET_FRONTEND) == 72 && _IOC_SIZE(FE_GET_FRONTEND) == 36 && _IOC_DIR(FE_GET_FRONTEND) == _IOC_READ, "");
