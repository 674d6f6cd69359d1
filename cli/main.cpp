// kesmora-cli: the command-line front end on the same core as the window.
#include "cli/Options.h"
#include "cli/Run.h"

int main(int argc, char** argv) {
    cli::CliOptions options;
    if (const auto exitCode = cli::ParseCommandLine(argc, argv, options)) return *exitCode;
    return cli::Run(options);
}
