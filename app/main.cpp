// Entry of the program until the main window lands.
#include <cstdio>

int main() {
  std::puts("Visual C++ Kesmora: the window is not built yet.");
  return 0;
}
