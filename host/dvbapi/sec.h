// DVB API version 1: satellite equipment control (/dev/dvb/card0/sec0).
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <sys/ioctl.h>

typedef enum {
  SEC_VOLTAGE_OFF = 0, SEC_VOLTAGE_LT = 1, SEC_VOLTAGE_13 = 2, SEC_VOLTAGE_13_5 = 3,
  SEC_VOLTAGE_18 = 4, SEC_VOLTAGE_18_5 = 5
} secVoltage;

typedef enum { SEC_TONE_ON = 0, SEC_TONE_OFF = 1 } secToneMode;

typedef enum { SEC_MINI_NONE = 0, SEC_MINI_A = 1, SEC_MINI_B = 2 } secMiniCmd;

#define SEC_MAX_DISEQC_PARAMS 3

// One DiSEqC message: the framing byte, then address, command and parameters.
struct secDiseqcCmd {
  uint8_t framing;   // the driver sends 0xE0 (master command, no reply) whatever is here
  uint8_t addr;
  uint8_t cmd;
  uint8_t numParams;
  uint8_t params[SEC_MAX_DISEQC_PARAMS];
};

#define SEC_CMDTYPE_DISEQC     0
#define SEC_CMDTYPE_VSEC       1
#define SEC_CMDTYPE_PAUSE      2
#define SEC_CMDTYPE_DISEQC_RAW 3

struct secCommand {
  int32_t type;
  union {
    struct secDiseqcCmd diseqc;
    uint8_t vsec;
    uint32_t pause;   // ms
  } u;
};

struct secCmdSequence {
  secVoltage voltage;
  secMiniCmd miniCommand;
  secToneMode continuousTone;
  int32_t numCommands;
  struct secCommand* commands;
};

static_assert(sizeof(secVoltage) == 4 && sizeof(secToneMode) == 4 && sizeof(secMiniCmd) == 4, "");
static_assert(offsetof(struct secDiseqcCmd, addr) == 1 && offsetof(struct secDiseqcCmd, cmd) == 2, "");
static_assert(offsetof(struct secDiseqcCmd, numParams) == 3 && offsetof(struct secDiseqcCmd, params) == 4, "");
static_assert(offsetof(struct secCommand, u) == 4 && sizeof(struct secCommand) == 12, "");
static_assert(offsetof(struct secCmdSequence, voltage) == 0, "");
static_assert(offsetof(struct secCmdSequence, miniCommand) == 4, "");
static_assert(offsetof(struct secCmdSequence, continuousTone) == 8, "");
static_assert(offsetof(struct secCmdSequence, numCommands) == 12, "");
static_assert(offsetof(struct secCmdSequence, commands) == 16, "");

#define SEC_GET_STATUS     _IOR('o', 91, uint32_t)
#define SEC_RESET_OVERLOAD _IO('o', 92)
#define SEC_SEND_SEQUENCE  _IOW('o', 93, struct secCmdSequence)
#define SEC_SET_TONE       _IOW('o', 94, secToneMode)
#define SEC_SET_VOLTAGE    _IOW('o', 95, secVoltage)

static_assert(_IOC_TYPE(SEC_SEND_SEQUENCE) == 'o' && _IOC_NR(SEC_SEND_SEQUENCE) == 93, "");
static_assert(_IOC_SIZE(SEC_SEND_SEQUENCE) == sizeof(struct secCmdSequence), "");
