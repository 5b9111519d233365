#pragma once

// delvix-cli dump: argv[0] is "dump", the subcommand's own arguments follow. Returns the exit
// status of the process.
int runDump(int argc, char** argv);
