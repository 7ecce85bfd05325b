#include <cstdio>
int main() {
  std::puts("scrutafasci-emu: not built yet");
  return 1;
}
