// veloria: the show.

#include <cstdio>

int main() {
  std::puts("veloria " VELORIA_VERSION);
  return 0;
}
