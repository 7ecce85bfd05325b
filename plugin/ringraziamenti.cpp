// The texts of the acknowledgements window, top to bottom.
#include <plugin/elenco.h>

void elenco::popolaVettoreRingraziamenti() {
  testiRingraziamenti[0] = "Version 1.0.1 - 2025-06-01\n";
  testiRingraziamenti[1] = "Host release build by the Scrutafasci developers\n"
                           "http://www.example.org/scrutafasci";
  testiRingraziamenti[2] = "";
  testiRingraziamenti[3] = "------------------------------------------\n"
                           "Credits of the development:";
  testiRingraziamenti[4] = "";
  testiRingraziamenti[5] = "The Scrutafasci developers\n"
                           " ---->for the development";
  testiRingraziamenti[6] = "The testers and contributors\n"
                           " ---->for their suggestions and support";
  testiRingraziamenti[7] = "Our families\n"
                           " ---->for their patience";
  testiRingraziamenti[8] = "The example.org satellite forum\n"
                           " ---->for their forums";
  testiRingraziamenti[9] = "And all of you to have tried Scrutafasci";
  testiRingraziamenti[10] = "scrutateam";
}
