#include "command_line.h"

int main(int argc, char** argv) { return corvex::host::RunCommandLine(argc, argv); }
