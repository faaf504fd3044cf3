// The names of the temporary files that OutputFile gives a replacement before it takes the
// target's name, and the removal of those that a killed process left behind.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

namespace qv {

// The name of temporary file `number` of process `process`: ".quorvanel-PID-N.tmp". The dot
// keeps it out of file lists while it exists.
std::string TemporaryFileName(pid_t process, unsigned number);

// The process that named a temporary file `name`; 0 when `name` is not such a name.
pid_t TemporaryFileOwner(std::string_view name);

// Removes from `directory` (a descriptor, O_PATH is enough) every regular file with a
// temporary file name whose process no longer exists. Files it may not remove, or cannot
// see because the directory is unreadable, are left; nothing is reported.
void RemoveStaleTemporaryFiles(int directory);

}  // namespace qv
