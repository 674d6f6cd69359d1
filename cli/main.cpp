// kesmora-cli: the command-line front end on the same core as the window.
#include "cli/Options.h"
#include "cli/Platform.h"
#include "cli/Run.h"
#include "walk/DirReader.h"

int main(int argc, char** argv) {
    cli::CliOptions options;
    const auto args = cli::StartProgram(argc, argv);
    if (const auto exitCode = cli::ParseCommandLine(args, options)) return *exitCode;
    RaiseDescriptorLimit();
    return cli::Run(options);
}
