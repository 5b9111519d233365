#pragma once

// delvix-cli render: argv[0] is "render", the subcommand's own arguments follow. Returns the
// exit status of the process. Draws only in the Qt build; elsewhere it says so.
int runRender(int argc, char** argv);
