// The program's run: the windows in the order of start-up, the message loop, the end.
#pragma once

namespace zor {

class Application;
class OsPortApi;

// Creates the main window (its creation handler opens the port connection over `os`), then
// the confirmation, preview and path windows hidden, and runs the message loop until the main
// window closes. When the connection fails, the "ERROR" box is shown and the program ends
// without entering the loop: the result is 1.
int run_program(Application& app, OsPortApi& os);

}  // namespace zor
