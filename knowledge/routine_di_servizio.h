// What scans remember for later scans: the known symbol rates and the
// frequencies to skip, as small text files next to the plug-in.
#pragma once

class routineDiServizio {
public:
  // Known symbol-rate file: one rate (kS/s) per line, "%d\n".
  int leggeFileSRconosciuti(char* percorso, int* numSR, int* sr);
  int scriveFileSRconosciuti(char* percorso, int numSR, int* sr);
  int aggiungeSRconosciuti(int* sr, int* numSR, int nuovoSR);
  // Index of the pair with the greatest first element (the first of equals; 0 when none is above 0).
  int findMaxSNR(int (*campioni)[2], int numCampioni);

  // Skip file: "#<orbital position>" headers, then "<MHz> V" / "<MHz> H" entries.
  int leggeFileFreqToSkip(char* percorso, int polarita, int posizioneOrbitale, int* numFreq, int* freq, int maxFreq);
  int scriveFileFreqToSkip(char* percorso, int polarita, int posizioneOrbitale, int numFreq, int* freq);
};
