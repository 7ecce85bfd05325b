// Runs the built emulator as a child process, for the tests that look at its screen.
#pragma once
#include <string>
#include <vector>

namespace prova {

struct Esecuzione {
  int stato = -1;           // exit status; 128 + signal when it had to be killed
  std::string uscita;       // standard output and error
};

// SCRUTA_EMU_PATH with args, HOME and XDG_STATE_HOME inside casa; killed after secondi.
Esecuzione eseguiEmulatore(const std::vector<std::string>& args, const std::string& casa,
                           int secondi = 240);

// A fresh temporary folder, and its removal with everything in it.
std::string cartellaTemporanea();
void rimuoviCartella(const std::string& cartella);
std::string leggiFile(const std::string& percorso);

}  // namespace prova
