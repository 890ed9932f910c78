// The exit statuses of the disk author's tools, setup-inf-check and setup-medium.
#pragma once

namespace authoring {

// Done: the checker found nothing to report, the medium is built.
constexpr int kExitClean = 0;
// The script or its medium has faults: the checker's warnings, file records that a medium cannot
// be laid out for, a medium too large for its floppy.
constexpr int kExitFaults = 1;
// The tool could not do its work: an input that cannot be read, an output that cannot be made or
// written, a missing tool, or bad usage.
constexpr int kExitCannotRun = 2;

} // namespace authoring
