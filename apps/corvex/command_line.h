#pragma once

namespace corvex::host {

// corvex's command line: parses it, runs the command and returns the exit status. Every
// problem is reported on stderr as one line starting with "corvex: ".
int RunCommandLine(int argc, char** argv);

}  // namespace corvex::host
