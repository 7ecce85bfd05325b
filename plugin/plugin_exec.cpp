#include <plugin/plugin_exec.h>

#include <plugin/scrutafasci.h>

// The host's arguments are not needed: everything comes from the DVB services.
extern "C" int plugin_exec(void*) {
  eScrutafasci finestra;
  finestra.show();
  finestra.exec();
  finestra.hide();
  return 0;
}
