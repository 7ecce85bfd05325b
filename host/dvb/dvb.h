// Everything of the DVB services in one include.
#pragma once
#include <host/dvb/service.h>
#include <host/dvb/transponder.h>
#include <host/dvb/edvb.h>
#include <host/dvb/frontend.h>
#include <host/dvb/decoder.h>
