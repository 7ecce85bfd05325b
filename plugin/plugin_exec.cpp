#include <plugin/plugin_exec.h>

#include <plugin/scrutafasci.h>

// Takes nothing from the host: where the receiver is tuned comes from the DVB services.
extern "C" int plugin_exec() {
  eScrutafasci finestra;
  finestra.show();
  finestra.exec();
  finestra.hide();
  return 0;
}
