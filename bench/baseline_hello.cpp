// The floor under the program's start-up: a C++ program that writes one line.
#include <iostream>

int main() {
  std::cout << "Hello, world!" << std::endl;
}
