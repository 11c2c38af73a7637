// The one installation run, shared by the silent command line and the wizard.
#pragma once
#include "install_options.h"
#include "install_reporter.h"
#include "install_result.h"

// Installs with `o` (its bSilent and partner choices are not read here: the reporter decides
// how a person is reached, and the wizard runs the partner installers after a successful run).
// Every message, and the question before file types are associated, goes through `reporter`.
//
// Stops, reported as an error, at an invalid folder, a folder that cannot be created or an
// incomplete payload (the destination then holds what it held before). Past the payload every
// row is attempted; the rows that could not be written are listed in the result and reported
// in one warning, and the outcome is kInstalledWithErrors.
InstallResult RunInstallation(const InstallOptions& o, InstallReporter& reporter);

// Reports "invalid destination folder" for a destination that cannot be used ("%s: %s", message then folder, in
// the log) and returns the outcome kInvalidFolder. Nothing is written.
InstallResult RejectFolder(const char* folder, InstallReporter& reporter);

// Reports an install log file that was named unusably (a "/log=" value cut off) as "%s: %s",
// message then path, and returns kInvalidFolder like an unusable destination. Nothing is written.
InstallResult RejectLogFile(const char* path, InstallReporter& reporter);
