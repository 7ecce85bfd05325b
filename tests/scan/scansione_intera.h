// A whole scan on a small band for the fault and close-request campaigns: old
// contents in the plug-in's files, a person answering every box, and the checks
// that the receiver is back on its service and every file is old or new whole.
#pragma once
#include <map>
#include <random>
#include <regex>
#include <set>

#include "scan_fixture.h"
#include "host/dvb/service.h"

namespace scantest {

const char* const kSrVecchio = "22000\n27500\n";
const char* const kSkipVecchio = "#130\n11000 V\n#192\n11800 H\n";
const char* const kLogVecchio = "[NT] Vecchio | RAI\n";
const char* const kFineTesto = "Scansione terminata...have fun!";

const char* const kDomanda = "Interruzione scansione / skip frequenza";

struct Esito {
  std::vector<std::string> messaggi;   // "caption: text" of every box met
  bool chiusa = false;                 // Exec returned
  bool finito = false;                 // the closing message showed
  bool fermata = false;                // the interruption question was answered "stop" (green)
  std::string traccia;                 // what the person did and saw, for a failure's message
};

class ScansioneIntera : public ScanTest {
protected:
  void SetUp() override {
    ScanTest::SetUp();
    emu::Scenario s = banda().carrier(11005, Polarisation::Horizontal, 27500, 3, 12).build();
    for (emu::Carrier& c : s.satellites[0].carriers) {
      emu::Service x;
      x.name = c.polarisation == Polarisation::Vertical ? "Rai Uno" : "Uno";
      x.provider = "RAI";
      x.service_type = 1;
      x.service_id = c.polarisation == Polarisation::Vertical ? 7 : 8;
      // The receiver has the transponder it watches in its lists, as a loaded scenario says.
      x.known = c.known = c.polarisation == Polarisation::Vertical;
      c.services = {x};
    }
    s.tuned.playing = "Rai Uno";
    carica(s);
    servizio_ = eServiceInterface::getInstance()->service;
    sintonia_ = emu::box().tuner().state();
    scriveFileVecchi();
  }

  void scriveFileVecchi() {
    std::ofstream(file("scrutafasci.sr"), std::ios::binary) << kSrVecchio;
    std::ofstream(file("scrutafasci.skip"), std::ios::binary) << kSkipVecchio;
    std::ofstream(file("scrutafasci.scan"), std::ios::binary) << kLogVecchio;
  }

  // A standard scan over a few steps, with a lockable carrier the host then scans.
  static Parametri breve() {
    Parametri p;
    p.freqStart = 10999;
    p.freqEnd = 11012;
    return p;
  }

  // Runs the window to its end, answering every box as a person in a hurry would: the
  // closing message and the end with exit, the interruption question with "stop",
  // notices with OK. With chiusuraDopoUs >= 0 the person asks to close once, that
  // many microseconds of wall time after the start.
  Esito scansione(const Parametri& p = breve(), long chiusuraDopoUs = -1) {
    scan4transp& w = finestra(p);
    Esito e;
    std::atomic<bool> finito{false};
    std::thread persona([&] {
      auto inizio = std::chrono::steady_clock::now();
      auto limite = inizio + std::chrono::seconds(30);
      auto chiusura = inizio + std::chrono::microseconds(chiusuraDopoUs);
      bool fineVista = false, chiesta = chiusuraDopoUs < 0;
      while (!finito && std::chrono::steady_clock::now() < limite) {
        auto ora = [&] {
          return std::to_string(std::chrono::duration_cast<std::chrono::microseconds>(
                                    std::chrono::steady_clock::now() - inizio).count()) + " us: ";
        };
        if (!chiesta && std::chrono::steady_clock::now() >= chiusura) {
          chiesta = true;
          e.traccia += ora() + "exit (scanning " + std::to_string(w.inScansione) + ", ending " +
                       std::to_string(w.fineInCorso) + ", worker " + std::to_string(w.thread_running()) + ")\n";
          premi("exit");
        }
        emu::MessageBoxInfo m = emu::currentMessageBox();
        if (m.open) {
          std::string riga = m.caption + ": " + m.text;
          e.traccia += ora() + riga + "\n";
          if (e.messaggi.empty() || e.messaggi.back() != riga) e.messaggi.push_back(riga);
          e.finito = e.finito || m.caption == "Finito";
          e.fermata = e.fermata || m.caption == kDomanda;
          premi(m.caption == "Finito" ? "exit" : m.caption == kDomanda ? "green" : "ok");
          emu::waitUntil([&] {   // the box takes the key before the next look
            emu::MessageBoxInfo n = emu::currentMessageBox();
            return !n.open || n.caption + ": " + n.text != riga;
          }, 2000);
        } else if (!fineVista && emu::textVisible(kFineTesto)) {
          // Shown only after the closing message, which a close request may have answered
          // before the person saw it.
          fineVista = e.finito = true;
          e.traccia += ora() + "end text\n";
          premi("exit");
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
      }
      for (int i = 0; i < 200 && !finito; ++i) {
        premi("exit");
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
      }
    });
    w.Exec();
    finito = true;
    persona.join();
    e.traccia += "end: closed " + std::to_string(w.finestraChiusa) + ", ending " + std::to_string(w.fineInCorso) +
                 ", freq " + std::to_string(w.freqCorrente) + "\n";
    e.chiusa = !w.isInExec();
    EXPECT_EQ(w.thread_running(), 0);
    finestra_.reset();
    return e;
  }

  static std::string descrive(const eServiceReference& r) {
    std::string s = "type " + std::to_string(r.type) + " flags " + std::to_string(r.flags) + " data";
    for (int d : r.data) s += " " + std::to_string(d);
    return s + " path '" + r.path + "' descr '" + r.descr + "'";
  }

  // The receiver watches what it watched before, in viewing mode.
  void ricevitoreRipristinato() {
    EXPECT_EQ(emu::receiver().mode(), 2) << "viewing again";
    EXPECT_TRUE(eServiceInterface::getInstance()->service == servizio_)
        << "the service that was playing: " << descrive(servizio_) << ", now "
        << descrive(eServiceInterface::getInstance()->service);
    emu::TunerState t = emu::box().tuner().state();
    EXPECT_EQ(t.if_khz, sintonia_.if_khz);
    EXPECT_EQ(t.voltage, sintonia_.voltage);
    EXPECT_EQ(t.tone, sintonia_.tone);
    EXPECT_EQ(t.symbol_rate, sintonia_.symbol_rate);
  }

  // Each file is the old content or a whole new one, and no temporary is left.
  void fileInteri() {
    std::string sr = leggeFile(file("scrutafasci.sr"));
    EXPECT_EQ(sr.rfind(kSrVecchio, 0), 0u) << "the known rates keep the old ones first: " << sr;
    EXPECT_TRUE(std::regex_match(sr, std::regex("([0-9]+\n)*"))) << sr;
    std::string skip = leggeFile(file("scrutafasci.skip"));
    EXPECT_EQ(skip.rfind("#130\n11000 V\n#192\n", 0), 0u) << "the other satellite is kept: " << skip;
    EXPECT_TRUE(std::regex_match(skip, std::regex("((#[0-9]+|[0-9]+ [HV])\n)*"))) << skip;
    std::string log = leggeFile(file("scrutafasci.scan"));
    EXPECT_TRUE(std::regex_match(log, std::regex("(\\[[A-Z]*\\] [^\n]* \\| [^\n]*\n)*"))) << log;
    for (const char* t : {"scrutafasci.sr1", "scrutafasci.skip1"}) EXPECT_FALSE(esiste(file(t))) << t;
  }

  // The scan came to one of its ends: the closing text, or the warning that it could not start.
  static bool finitaORifiutata(const Esito& e) {
    for (const auto& m : e.messaggi)
      if (m == "Finito: Scansione terminata. Premere annulla per uscire" ||
          m == "Avviso: Impossibile avviare la scansione a causa di un errore!")
        return true;
    return false;
  }

  static std::string elenco(const Esito& e) {
    std::string s;
    for (const auto& m : e.messaggi) s += "[" + m + "] ";
    return s;
  }

  eServiceReference servizio_;
  emu::TunerState sintonia_{};
};

}  // namespace scantest
