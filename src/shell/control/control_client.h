#pragma once

// `alvore COMMAND ...`: carries one command to the running app over the session bus and prints
// the outcome. Builds no GUI, so it is quick and works without a display. Returns the exit
// status: 0 done, 1 the app is not running or the action failed, 2 a usage error.
namespace ControlClient {
int run(int argc, char* argv[]);
}
