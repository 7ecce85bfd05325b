#include "frontend_di_prova.h"

#include <dlfcn.h>
#include <mutex>

namespace {

// The receiver's reader of the same name, for frontends that are not ours.
template <class R>
R (*reale(const char* simbolo))(eFrontend*) {
  return reinterpret_cast<R (*)(eFrontend*)>(dlsym(RTLD_NEXT, simbolo));
}

std::mutex guardia;

template <class R>
R leggi(eFrontend* fe, const char* nome, const char* simbolo, R prova::frontendDiProva::*campo) {
  if (auto* p = dynamic_cast<prova::frontendDiProva*>(fe)) {
    std::lock_guard<std::mutex> g(guardia);
    p->letture.push_back(nome);
    return p->*campo;
  }
  static auto f = reale<R>(simbolo);
  return f ? f(fe) : R();
}

}  // namespace

int eFrontend::SNR() { return leggi(this, "SNR", "_ZN9eFrontend3SNREv", &prova::frontendDiProva::snr); }
int eFrontend::SignalStrength() {
  return leggi(this, "SignalStrength", "_ZN9eFrontend14SignalStrengthEv", &prova::frontendDiProva::agc);
}
uint32_t eFrontend::BER() { return leggi(this, "BER", "_ZN9eFrontend3BEREv", &prova::frontendDiProva::ber); }
int eFrontend::Status() {
  return leggi(this, "Status", "_ZN9eFrontend6StatusEv", &prova::frontendDiProva::status);
}
