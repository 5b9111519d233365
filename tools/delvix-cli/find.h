#pragma once

// delvix-cli find: argv[0] is "find", the subcommand's own arguments follow. Returns the exit
// status of the process.
int runFind(int argc, char** argv);
