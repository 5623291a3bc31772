// zor-cnc: the machine controller's window. With --simulate it drives the built-in virtual
// machine instead of the system's parallel ports.
#include <cstdio>
#include <cstring>
#include <memory>

#include "application.h"
#include "port/system_port_api.h"
#include "port/virtual_machine.h"
#include "program.h"

int main(int argc, char** argv) {
  // Checked before the application object exists, so a wrong call needs no display.
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("zor-cnc %s\n", ZOR_VERSION);
    return 0;
  }
  const bool simulate = argc == 2 && std::strcmp(argv[1], "--simulate") == 0;
  if (argc > 2 || (argc == 2 && !simulate)) {
    std::fprintf(stderr, "usage: zor-cnc [--simulate | --version]\n");
    return 2;
  }
  zor::Application app(argc, argv);
  if (simulate) {
    zor::VirtualMachine machine;
    zor::VirtualPortApi os(machine);
    return zor::run_program(app, os);
  }
  const std::unique_ptr<zor::OsPortApi> os = zor::make_system_port_api();
  return zor::run_program(app, *os);
}
